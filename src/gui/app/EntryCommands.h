#pragma once

class QWidget;

namespace vorkel {
class Session;
}

namespace vorkel::gui {

class EditorPane;
class ListPane;
class MessageService;

/// The commands on entries: add and delete, the properties dialog, and the editor's buttons
/// that fill a field (password types, date picker, generated password).
class EntryCommands {
public:
    /// Commands over `session`'s entries as `list` and `editor` show them; their dialogs are
    /// owned by `dialogParent`. All must outlive the commands.
    EntryCommands(vorkel::Session& session, MessageService& messages, ListPane& list,
                  EditorPane& editor, QWidget& dialogParent);

    /// "Add" / "Add Password...": PromptNewEntry.
    void btnAddTitleClick();
    /// Asks for a description and adds an entry with it, selected as the last row.
    void PromptNewEntry();
    /// "Delete " / "Delete Password...": after an OK, removes the selected row's entry, shows
    /// every entry and selects the row before it.
    void btnDeleteTitleClick();
    /// The entry properties dialog for the selected row, modal.
    void btnDetailsClick();
    /// The password types editor; the type box offers the edited list.
    void btnEditTypeClick();
    /// The date picker; the picked date goes into the expiry field and is stored.
    void btnDateClick();
    /// The editor's "Generate": an eight-character password into the entry (a new entry first
    /// when there is none).
    void btnGenPassword1Click();
    /// Writes the editor into the entry of the selected row (nothing without one).
    void StoreEntry();

private:
    vorkel::Session& m_session;
    MessageService& m_ui;
    ListPane& m_list;
    EditorPane& m_editor;
    QWidget& m_dialogParent;
};

}  // namespace vorkel::gui
