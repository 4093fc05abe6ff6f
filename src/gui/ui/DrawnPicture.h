#pragma once

#include <QPixmap>
#include <functional>

class QPainter;

namespace vorkel::gui {

/// A transparent picture `size` pixels square, painted by `paint` with antialiasing on; `paint`
/// gets the painter and the size. Pictures are drawn at run time so no image file has to travel
/// beside the program.
QPixmap drawnPicture(int size, const std::function<void(QPainter&, qreal)>& paint);

}  // namespace vorkel::gui
