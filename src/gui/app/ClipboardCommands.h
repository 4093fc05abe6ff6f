#pragma once

namespace vorkel::gui {

class EditorPane;

/// The "Edit" menu's clipboard commands over the editor's one-line fields: cut, copy and paste
/// of the selection in the focused field, whole-field copies, and clearing the clipboard.
class ClipboardCommands {
public:
    /// Commands over `editor`'s fields; the editor must outlive them.
    explicit ClipboardCommands(EditorPane& editor) : m_editor(editor) {}

    /// Copies the focused field's selection, then deletes it from the field.
    void Cut1Click();
    /// Copies the focused field's selection.
    void Copy1Click();
    /// Replaces the focused field's selection with the clipboard's text.
    void Paste1Click();
    /// Whole-field copies: the field selected and its text on the clipboard.
    void CopyWebsiteURL1Click();
    void CopyUsername1Click();
    void CopyEmail1Click();
    void CopyPassword1Click();
    void CopyPassphrase1Click();
    /// Empties the clipboard.
    void ClearClipboard1Click();

private:
    EditorPane& m_editor;
};

}  // namespace vorkel::gui
