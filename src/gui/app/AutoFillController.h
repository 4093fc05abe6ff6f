#pragma once

#include <memory>

class QWidget;

namespace vorkel::gui {

class BrowserBridge;
class EditorPane;
class MessageService;

/// Web auto-fill into a browser the program started itself: "Auto Fill" starts the browser on
/// the entry's address, and a later click fills the open pages of the entry's site.
class AutoFillController {
public:
    /// Fills from `editor`'s fields; `dialogParent` owns the progress dialog. Both must outlive
    /// the controller.
    AutoFillController(EditorPane& editor, MessageService& messages, QWidget& dialogParent);
    /// Closes the browser it started, and its profile goes with it.
    ~AutoFillController();
    AutoFillController(const AutoFillController&) = delete;
    AutoFillController& operator=(const AutoFillController&) = delete;

    /// "Auto Fill" (btnAutoEnterClick).
    void btnAutoEnterClick();
    /// Stops a running auto-fill at once (the lock and the close call it); nothing when none runs.
    void cancelAutoFill();
    /// The browser auto-fill drives, made on first use; its profiles are throw-away.
    BrowserBridge& browser();

private:
    EditorPane& m_editor;
    MessageService& m_ui;
    QWidget& m_dialogParent;
    std::unique_ptr<BrowserBridge> m_browser;
};

}  // namespace vorkel::gui
