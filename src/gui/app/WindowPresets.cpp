#include "gui/app/WindowPresets.h"

#include "gui/app/WindowPlacement.h"

namespace vorkel::gui {

void WindowPresets::Default1Click() {
    WindowPlacement::applyPreset(m_window, vorkel::SizePreset::Default);
}

void WindowPresets::Small1Click() {
    WindowPlacement::applyPreset(m_window, vorkel::SizePreset::Small);
}

void WindowPresets::Medium1Click() {
    WindowPlacement::applyPreset(m_window, vorkel::SizePreset::Medium);
}

void WindowPresets::Large1Click() {
    WindowPlacement::applyPreset(m_window, vorkel::SizePreset::Large);
}

void WindowPresets::FullScreen1Click() {
    WindowPlacement::applyPreset(m_window, vorkel::SizePreset::FullScreen);
}

}  // namespace vorkel::gui
