// The "Edit" menu's clipboard commands, the properties dialog, the types editor and the date
// picker.
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>

#include "gui/app/MainCommands.h"
#include "gui/app/MainWindow.h"
#include "gui/entries/DatePickDialog.h"
#include "gui/entries/EditorPane.h"
#include "gui/entries/ListPane.h"
#include "gui/entries/PasswordDetailDialog.h"
#include "gui/entries/TypeEditDialog.h"
#include "gui/ui/QtText.h"
#include "gui/ui/SecretClipboard.h"

namespace vorkel::gui {

namespace {

// The one-line fields that "Cut", "Copy" and "Paste" act on, in the order they are tried.
constexpr const char* kClipboardFields[] = {"editTitle",  "editUsername", "editEmail",
                                            "editURL",    "editPassword", "editPassPhrase",
                                            "editExpires"};

QLineEdit* editorField(MainWindow& window, const char* name) {
    // Looked up in the editor only: the logon dialog, also a child of the window, has fields
    // of the same names.
    return window.editorPane().findChild<QLineEdit*>(QString::fromLatin1(name));
}

/// The editor field that has the keyboard focus, or null when the focus is elsewhere.
QLineEdit* clipboardTarget(MainWindow& window) {
    // The window's own focus widget: it stays the field while a menu is open or the window is
    // inactive, and a toolbar click does not take it.
    QWidget* focused = window.focusWidget();
    if (!focused) return nullptr;
    for (const char* name : kClipboardFields)
        if (QLineEdit* field = editorField(window, name); field == focused) return field;
    return nullptr;
}

// Fields whose text is a secret on the clipboard: marked so clipboard histories skip it.
bool holdsSecret(const QLineEdit* field) {
    const QString name = field->objectName();
    return name == QLatin1String("editPassword") || name == QLatin1String("editPassPhrase") ||
           name == QLatin1String("editUsername");
}

void copyFrom(const QLineEdit* field, const QString& text) {
    if (holdsSecret(field))
        SecretClipboard::copySecret(text);
    else
        SecretClipboard::copyText(text);
}

/// Selects the whole field and puts its text on the clipboard.
void copyWholeField(MainWindow& window, const char* name) {
    QLineEdit* field = editorField(window, name);
    if (!field) return;
    field->selectAll();
    // A masked field refuses to copy, yet these commands exist to hand over the secret. An
    // empty field empties the clipboard rather than leave another entry's secret there.
    copyFrom(field, field->text());
}

// Cut and copy of the selection, through the program's clipboard. A masked field copies its
// clear text too: QLineEdit's own cut would delete it without copying. True once the clipboard
// holds the text.
bool copySelection(QLineEdit* field) {
    if (!field || !field->hasSelectedText()) return false;
    const QString selected = field->selectedText();
    copyFrom(field, selected);
    return QGuiApplication::clipboard()->text() == selected;
}

}  // namespace

void MainCommands::Cut1Click() {
    QLineEdit* field = clipboardTarget(m_window);
    // Deleted only once the clipboard holds it: a cut never loses the text.
    if (copySelection(field) && !field->isReadOnly()) field->del();
}

void MainCommands::Copy1Click() {
    copySelection(clipboardTarget(m_window));
}

void MainCommands::Paste1Click() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasText()) return;
    QLineEdit* field = clipboardTarget(m_window);
    // Nothing at a bare caret: only a selection is replaced.
    if (!field || field->selectionLength() == 0) return;
    // insert() replaces exactly the selection, keeps the undo history and works while masked.
    field->insert(data->text());
}

void MainCommands::CopyWebsiteURL1Click() {
    copyWholeField(m_window, "editURL");
}

void MainCommands::CopyUsername1Click() {
    copyWholeField(m_window, "editUsername");
}

void MainCommands::CopyEmail1Click() {
    copyWholeField(m_window, "editEmail");
}

void MainCommands::CopyPassword1Click() {
    copyWholeField(m_window, "editPassword");
}

void MainCommands::CopyPassphrase1Click() {
    copyWholeField(m_window, "editPassPhrase");
}

void MainCommands::ClearClipboard1Click() {
    SecretClipboard::clear();
}

void MainCommands::btnDetailsClick() {
    ListPane& list = m_window.listPane();
    const auto row = list.selectedRow();
    if (!row) return;
    // The row alone takes the editor's title and notes; the entry waits for StoreEntry.
    const vorkel::EntryPtr shown =
        m_session.workspace().CopyEditorIntoRow(*row, m_window.editorPane().fields());
    if (!shown) return;
    list.refreshRow(*row);
    PasswordDetailDialog dialog(&m_window);
    dialog.FillEntryProperties(*shown);
    dialog.exec();
}

void MainCommands::btnEditTypeClick() {
    TypeEditDialog dialog(m_session.settings().passTypes, m_ui, &m_window);
    if (dialog.exec() != QDialog::Accepted) return;
    // The settings carry the list to the file at close; the type box offers it meanwhile.
    m_session.settings().passTypes = dialog.types();
    m_window.editorPane().setPassTypes(m_session.settings().passTypes);
}

void MainCommands::btnDateClick() {
    DatePickDialog dialog(m_session.clock().now(), &m_window);
    if (dialog.exec() != QDialog::Accepted) return;
    m_window.editorPane().setExpiresText(toQString(vorkel::formatDate(dialog.pickedDate())));
    m_window.StoreEntry();
}

}  // namespace vorkel::gui
