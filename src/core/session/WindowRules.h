#pragma once

#include <vector>

namespace vorkel {

/// A rectangle in screen pixels (outer window geometry or a screen's area).
struct ScreenRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const ScreenRect&) const = default;
};

/// The "Window" menu's size presets.
enum class SizePreset { Default, Small, Medium, Large, FullScreen };

/// The geometry a preset gives: the four fixed sizes keep the position; "Full Screen" is left 1,
/// top 1 and the screen's full size.
ScreenRect presetGeometry(SizePreset preset, const ScreenRect& current, const ScreenRect& screen);

/// A window that lies wholly outside every screen is moved onto the primary screen, keeping its
/// size where it fits (a store carried from a larger monitor must not leave the program
/// invisible). A window that touches any screen is left as it is.
ScreenRect placeOnScreen(const ScreenRect& window, const std::vector<ScreenRect>& screens,
                         const ScreenRect& primary);

/// Widths and positions of the editor's fields for the right pane's current size.
struct EditorFieldLayout {
    int fullWidth;    // editTitle, editUsername, editEmail, editPassPhrase
    int urlWidth;     // editURL
    int shortWidth;   // editPassword, cmbPassType, editExpires
    int goLeft;       // btnURLGo
    int buttonsLeft;  // btnGenPassword1, btnEditType, btnDate
};

/// The field width rule: W is the logo panel's left edge minus the fields' left edge minus 15;
/// the web address is 30 narrower, the password, type and expiry 74 narrower, and the buttons
/// stand 7 pixels right of the field they follow.
EditorFieldLayout editorFieldLayout(int logoLeft, int fieldsLeft);

}  // namespace vorkel
