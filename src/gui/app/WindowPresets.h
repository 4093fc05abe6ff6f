#pragma once

class QWidget;

namespace vorkel::gui {

/// The "Window" menu: preset outer sizes for the main window, 820 x 600, 650 x 400, 900 x 700,
/// 1024 x 768 and the whole screen.
class WindowPresets {
public:
    /// Presets for `window`, which must outlive them.
    explicit WindowPresets(QWidget& window) : m_window(window) {}

    void Default1Click();
    void Small1Click();
    void Medium1Click();
    void Large1Click();
    void FullScreen1Click();

private:
    QWidget& m_window;
};

}  // namespace vorkel::gui
