#include "gui/ui/LinkLabel.h"

#include <QMouseEvent>

namespace vorkel::gui {

LinkLabel::LinkLabel(const QString& text, const QString& objectName, QWidget* parent, Weight weight)
    : QLabel(text, parent) {
    setObjectName(objectName);
    // An address is never markup, whatever it holds.
    setTextFormat(Qt::PlainText);
    // A style sheet rather than font and palette: a toolbar's style repaints its widgets'
    // text in its own colour.
    setStyleSheet(
        weight == Weight::Bold
            ? QStringLiteral("color: blue; font-weight: bold; text-decoration: underline;")
            : QStringLiteral("color: blue; text-decoration: underline;"));
    // Qt swaps the pointer back itself when it leaves the label.
    setCursor(Qt::PointingHandCursor);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

}  // namespace vorkel::gui
