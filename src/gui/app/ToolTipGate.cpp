#include "gui/app/ToolTipGate.h"

#include <QCoreApplication>
#include <QEvent>
#include <QToolTip>

namespace vorkel::gui {

ToolTipGate::ToolTipGate(QObject* parent) : QObject(parent) {
    if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
}

ToolTipGate::~ToolTipGate() {
    if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
}

void ToolTipGate::setShown(bool shown) {
    m_shown = shown;
    if (!shown) QToolTip::hideText();
}

bool ToolTipGate::eventFilter(QObject* watched, QEvent* event) {
    if (!m_shown && event->type() == QEvent::ToolTip) return true;
    return QObject::eventFilter(watched, event);
}

}  // namespace vorkel::gui
