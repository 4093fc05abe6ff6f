#pragma once

#include <Qt>

namespace vorkel::gui {

/// The window flags of a fixed-size dialog whose title bar holds only a close box: no minimise,
/// no maximise, no window menu.
inline Qt::WindowFlags closeBoxOnly() {
    return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
           Qt::MSWindowsFixedSizeDialogHint;
}

}  // namespace vorkel::gui
