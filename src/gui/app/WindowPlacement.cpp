#include "app/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <vector>

namespace {

vorkel::ScreenRect toRect(const QRect& r) {
    return {r.x(), r.y(), r.width(), r.height()};
}

vorkel::ScreenRect screenOf(const QWidget& window) {
    const QScreen* screen = window.screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? toRect(screen->geometry()) : vorkel::ScreenRect{};
}

}  // namespace

vorkel::ScreenRect WindowPlacement::outerRect(const QWidget& window) {
    return toRect(window.frameGeometry());
}

void WindowPlacement::setOuterRect(QWidget& window, const vorkel::ScreenRect& rect) {
    // Qt sizes the client area; the frame's share is whatever the window manager added.
    const QSize frame = window.frameGeometry().size() - window.size();
    window.move(rect.left, rect.top);
    window.resize(std::max(rect.width - frame.width(), 1),
                  std::max(rect.height - frame.height(), 1));
}

void WindowPlacement::applySaved(QWidget& window, const vorkel::WindowGeometry& saved) {
    if (!saved.known) return;
    std::vector<vorkel::ScreenRect> screens;
    for (const QScreen* s : QGuiApplication::screens()) screens.push_back(toRect(s->geometry()));
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary || screens.empty()) return;
    // A store made without a window (the command-line tool) carries no size: keep the built-in.
    const vorkel::ScreenRect current = outerRect(window);
    const vorkel::ScreenRect wanted{saved.left, saved.top,
                                    saved.width > 0 ? saved.width : current.width,
                                    saved.height > 0 ? saved.height : current.height};
    setOuterRect(window, vorkel::placeOnScreen(wanted, screens, toRect(primary->geometry())));
}

vorkel::WindowGeometry WindowPlacement::capture(const QWidget& window) {
    const vorkel::ScreenRect r = outerRect(window);
    return {r.left, r.top, r.width, r.height, true};
}

void WindowPlacement::applyPreset(QWidget& window, vorkel::SizePreset preset) {
    setOuterRect(window, vorkel::presetGeometry(preset, outerRect(window), screenOf(window)));
}
