#include "gui/ui/DrawnPicture.h"

#include <QPainter>

namespace vorkel::gui {

QPixmap drawnPicture(int size, const std::function<void(QPainter&, qreal)>& paint) {
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    // The painter must end before the picture is handed out.
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        paint(painter, qreal(size));
    }
    return picture;
}

}  // namespace vorkel::gui
