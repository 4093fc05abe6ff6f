#include "gui/app/EntryCommands.h"

#include "core/session/Messages.h"
#include "core/session/Session.h"
#include "core/tools/PasswordGenerator.h"
#include "gui/entries/DatePickDialog.h"
#include "gui/entries/EditorPane.h"
#include "gui/entries/ListPane.h"
#include "gui/entries/PasswordDetailDialog.h"
#include "gui/entries/TypeEditDialog.h"
#include "gui/ui/MessageService.h"
#include "gui/ui/QtText.h"

namespace vorkel::gui {

using Kind = vorkel::UserInterface::Kind;

namespace {

// The editor's "Generate" always writes this many characters.
constexpr std::size_t kEditorPasswordLength = 8;

}  // namespace

EntryCommands::EntryCommands(vorkel::Session& session, MessageService& messages, ListPane& list,
                             EditorPane& editor, QWidget& dialogParent)
    : m_session(session),
      m_ui(messages),
      m_list(list),
      m_editor(editor),
      m_dialogParent(dialogParent) {}

void EntryCommands::StoreEntry() {
    m_session.StoreEntry(m_list.selectedRow(), m_editor.fields());
}

void EntryCommands::btnAddTitleClick() {
    PromptNewEntry();
}

void EntryCommands::PromptNewEntry() {
    const auto title = m_ui.inputText(std::string(vorkel::msg::kNewEntryCaption),
                                      std::string(vorkel::msg::kNewEntryPrompt), "");
    if (!title) return;
    m_list.changeRows([&]() -> std::optional<std::size_t> { return m_session.AddEntry(*title); });
}

void EntryCommands::btnDeleteTitleClick() {
    const auto row = m_list.selectedRow();
    if (!row) return;
    const vorkel::EntryPtr entry = m_session.workspace().entryOfRow(*row);
    if (!entry) return;
    const std::string question =
        std::string(vorkel::msg::kDeleteQuestionStart) + std::string(entry->title()) + "?";
    if (!m_ui.askOkCancel(Kind::Confirm, question)) return;
    m_list.changeRows([&] { return m_session.workspace().DeleteEntry(*row); });
}

void EntryCommands::btnDetailsClick() {
    const auto row = m_list.selectedRow();
    if (!row) return;
    // The row alone takes the editor's title and notes; the entry waits for StoreEntry.
    const vorkel::EntryPtr shown = m_session.workspace().CopyEditorIntoRow(*row, m_editor.fields());
    if (!shown) return;
    m_list.refreshRow(*row);
    PasswordDetailDialog dialog(&m_dialogParent);
    dialog.FillEntryProperties(*shown);
    dialog.exec();
}

void EntryCommands::btnEditTypeClick() {
    TypeEditDialog dialog(m_session.settings().passTypes, m_ui, &m_dialogParent);
    if (dialog.exec() != QDialog::Accepted) return;
    // The settings carry the list to the file at close; the type box offers it meanwhile.
    m_session.settings().passTypes = dialog.types();
    m_editor.setPassTypes(m_session.settings().passTypes);
}

void EntryCommands::btnDateClick() {
    DatePickDialog dialog(m_session.clock().now(), &m_dialogParent);
    if (dialog.exec() != QDialog::Accepted) return;
    m_editor.setExpiresText(toQString(vorkel::formatDate(dialog.pickedDate())));
    StoreEntry();
}

void EntryCommands::btnGenPassword1Click() {
    if (m_session.workspace().master().empty()) PromptNewEntry();
    if (m_session.workspace().master().empty()) return;
    const std::string password =
        vorkel::cutPassword(m_session.GeneratePassword(), kEditorPasswordLength);
    m_editor.setPasswordText(toQString(password));
    StoreEntry();
}

}  // namespace vorkel::gui
