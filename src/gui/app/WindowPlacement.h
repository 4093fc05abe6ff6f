#pragma once

#include <QWidget>

#include "core/session/WindowRules.h"
#include "core/storage/Settings.h"

namespace vorkel::gui {

/// The main window's outer geometry (frame included), as the settings file and the "Window"
/// menu's presets count it, applied through the core's window rules.
class WindowPlacement {
public:
    /// The window's outer rectangle: frame position and frame size.
    static vorkel::ScreenRect outerRect(const QWidget& window);
    /// Moves and sizes the window so that its outer rectangle becomes `rect`.
    static void setOuterRect(QWidget& window, const vorkel::ScreenRect& rect);
    /// Applies a geometry read from the settings file; one lying wholly off every screen is
    /// brought onto the primary screen. An unknown geometry leaves the window as it is.
    static void applySaved(QWidget& window, const vorkel::WindowGeometry& saved);
    /// The geometry to write into the settings file.
    static vorkel::WindowGeometry capture(const QWidget& window);
    /// A "Window" menu preset; "Full Screen" takes the size of the window's screen.
    static void applyPreset(QWidget& window, vorkel::SizePreset preset);
};

}  // namespace vorkel::gui
