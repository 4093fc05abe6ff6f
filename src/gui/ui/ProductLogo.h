#pragma once

#include <QPixmap>

namespace vorkel::gui {

/// The product's padlock picture, `size` pixels square, drawn at run time so no image file has
/// to travel beside the program.
QPixmap productLogo(int size);

}  // namespace vorkel::gui
