#include "gui/app/ClipboardCommands.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>

#include "gui/entries/EditorPane.h"
#include "gui/ui/SecretClipboard.h"

namespace vorkel::gui {

namespace {

using Field = EditorPane::Field;

/// The editor field that has the keyboard focus, or null when the focus is elsewhere.
QLineEdit* clipboardTarget(const EditorPane& editor) {
    // The window's own focus widget: it stays the field while a menu is open or the window is
    // inactive, and a toolbar click does not take it.
    const QWidget* focused = editor.window()->focusWidget();
    if (!focused) return nullptr;
    for (const Field field : EditorPane::kLineFields)
        if (QLineEdit& edit = editor.lineField(field); &edit == focused) return &edit;
    return nullptr;
}

// Fields whose text is a secret on the clipboard: marked so clipboard histories skip it.
bool holdsSecret(const EditorPane& editor, const QLineEdit* field) {
    return field == &editor.lineField(Field::Password) ||
           field == &editor.lineField(Field::Passphrase) ||
           field == &editor.lineField(Field::Username);
}

void copyFrom(const EditorPane& editor, const QLineEdit* field, const QString& text) {
    if (holdsSecret(editor, field))
        SecretClipboard::copySecret(text);
    else
        SecretClipboard::copyText(text);
}

/// Selects the whole field and puts its text on the clipboard.
void copyWholeField(const EditorPane& editor, Field which) {
    QLineEdit& field = editor.lineField(which);
    field.selectAll();
    // A masked field refuses to copy, yet these commands exist to hand over the secret. An
    // empty field empties the clipboard rather than leave another entry's secret there.
    copyFrom(editor, &field, field.text());
}

// Cut and copy of the selection, through the program's clipboard. A masked field copies its
// clear text too: QLineEdit's own cut would delete it without copying. True once the clipboard
// holds the text.
bool copySelection(const EditorPane& editor, QLineEdit* field) {
    if (!field || !field->hasSelectedText()) return false;
    const QString selected = field->selectedText();
    copyFrom(editor, field, selected);
    return QGuiApplication::clipboard()->text() == selected;
}

}  // namespace

void ClipboardCommands::Cut1Click() {
    QLineEdit* field = clipboardTarget(m_editor);
    // Deleted only once the clipboard holds it: a cut never loses the text.
    if (copySelection(m_editor, field) && !field->isReadOnly()) field->del();
}

void ClipboardCommands::Copy1Click() {
    copySelection(m_editor, clipboardTarget(m_editor));
}

void ClipboardCommands::Paste1Click() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasText()) return;
    QLineEdit* field = clipboardTarget(m_editor);
    // Nothing at a bare caret: only a selection is replaced.
    if (!field || field->selectionLength() == 0) return;
    // insert() replaces exactly the selection, keeps the undo history and works while masked.
    field->insert(data->text());
}

void ClipboardCommands::CopyWebsiteURL1Click() {
    copyWholeField(m_editor, Field::Url);
}

void ClipboardCommands::CopyUsername1Click() {
    copyWholeField(m_editor, Field::Username);
}

void ClipboardCommands::CopyEmail1Click() {
    copyWholeField(m_editor, Field::Email);
}

void ClipboardCommands::CopyPassword1Click() {
    copyWholeField(m_editor, Field::Password);
}

void ClipboardCommands::CopyPassphrase1Click() {
    copyWholeField(m_editor, Field::Passphrase);
}

void ClipboardCommands::ClearClipboard1Click() {
    SecretClipboard::clear();
}

}  // namespace vorkel::gui
