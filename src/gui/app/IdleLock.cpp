#include "gui/app/IdleLock.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

#include "core/session/IdleInterval.h"

namespace vorkel::gui {

IdleLock::IdleLock(QWidget& window) : m_window(window), m_timer(new QTimer(&window)) {
    m_timer->setObjectName("tmrMinimise");
    // The timer keeps running after it fires: without a key press it fires again one interval
    // later.
    m_timer->setSingleShot(false);
    // A coarse timer of minutes rounds to whole seconds; "five minutes" should be five minutes.
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &IdleLock::idle);
    // The application sees a key release before the control with the focus does, which is how
    // the window sees every key of its controls.
    qApp->installEventFilter(this);
}

IdleLock::~IdleLock() {
    qApp->removeEventFilter(this);
}

void IdleLock::restart(const vorkel::Options& options) {
    m_timer->stop();
    if (auto interval = vorkel::idleIntervalMs(options)) {
        m_timer->setInterval(*interval);
        m_timer->start();
    }
}

void IdleLock::stop() {
    m_timer->stop();
}

bool IdleLock::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == &m_window)
        emit keyReleased();
    return false;
}

}  // namespace vorkel::gui
