#include "core/session/WindowRules.h"

#include <algorithm>

namespace vorkel {

ScreenRect presetGeometry(SizePreset preset, const ScreenRect& current, const ScreenRect& screen) {
    auto sized = [&](int w, int h) { return ScreenRect{current.left, current.top, w, h}; };
    switch (preset) {
        case SizePreset::Default:
            return sized(820, 600);
        case SizePreset::Small:
            return sized(650, 400);
        case SizePreset::Medium:
            return sized(900, 700);
        case SizePreset::Large:
            return sized(1024, 768);
        case SizePreset::FullScreen:
            return {1, 1, screen.width, screen.height};
    }
    return current;
}

namespace {
bool intersects(const ScreenRect& a, const ScreenRect& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}
}  // namespace

ScreenRect placeOnScreen(const ScreenRect& window, const std::vector<ScreenRect>& screens,
                         const ScreenRect& primary) {
    for (const auto& s : screens)
        if (intersects(window, s)) return window;
    ScreenRect placed = window;
    placed.width = std::min(std::max(window.width, 1), primary.width);
    placed.height = std::min(std::max(window.height, 1), primary.height);
    placed.left = primary.left + (primary.width - placed.width) / 2;
    placed.top = primary.top + (primary.height - placed.height) / 2;
    return placed;
}

EditorFieldLayout editorFieldLayout(int logoLeft, int fieldsLeft) {
    const int w = logoLeft - fieldsLeft - 15;
    return {w, w - 30, w - 74, fieldsLeft + w - 30 + 7, fieldsLeft + w - 74 + 7};
}

}  // namespace vorkel
