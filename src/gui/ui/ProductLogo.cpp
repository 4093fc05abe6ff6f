#include "gui/ui/ProductLogo.h"

#include <QPainter>
#include <QPainterPath>

#include "gui/ui/DrawnPicture.h"

namespace vorkel::gui {

QPixmap productLogo(int size) {
    return drawnPicture(size, [](QPainter& painter, qreal s) {
        // The shackle: a thick arc over the body.
        QPen shackle(QColor(90, 139, 227), s * 0.1, Qt::SolidLine, Qt::FlatCap);
        painter.setPen(shackle);
        painter.setBrush(Qt::NoBrush);
        const QRectF arc(s * 0.28, s * 0.1, s * 0.44, s * 0.5);
        painter.drawArc(arc, 0, 180 * 16);
        painter.drawLine(QPointF(s * 0.28, s * 0.35), QPointF(s * 0.28, s * 0.48));
        painter.drawLine(QPointF(s * 0.72, s * 0.35), QPointF(s * 0.72, s * 0.48));

        // The body with its keyhole.
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(176, 204, 247));
        painter.drawRoundedRect(QRectF(s * 0.16, s * 0.45, s * 0.68, s * 0.48), s * 0.06, s * 0.06);
        painter.setBrush(QColor(40, 70, 140));
        painter.drawEllipse(QPointF(s * 0.5, s * 0.64), s * 0.06, s * 0.06);
        QPainterPath slot;
        slot.addRect(QRectF(s * 0.475, s * 0.64, s * 0.05, s * 0.16));
        painter.drawPath(slot);
    });
}

}  // namespace vorkel::gui
