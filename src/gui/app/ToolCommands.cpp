// The password generator (dialog and the editor's button), the on-screen keyboard and the
// options dialog.
#include "app/MainCommands.h"
#include "app/MainWindow.h"
#include "entries/EditorPane.h"
#include "tools/GeneratePasswordDialog.h"
#include "tools/OptionsDialog.h"
#include "tools/PasswordGenerator.h"
#include "tools/ScreenKeyboard.h"
#include "ui/QtText.h"

namespace {

// The editor's "Generate" always writes this many characters.
constexpr std::size_t kEditorPasswordLength = 8;

}  // namespace

void MainCommands::btnGenPasswordClick() {
    GeneratePasswordDialog dialog(m_session, &m_window);
    dialog.exec();
}

void MainCommands::btnGenPassword1Click() {
    if (m_session.workspace().master().empty()) PromptNewEntry();
    if (m_session.workspace().master().empty()) return;
    const std::string password =
        vorkel::cutPassword(m_session.GeneratePassword(), kEditorPasswordLength);
    m_window.editorPane().setPasswordText(toQString(password));
    m_window.StoreEntry();
}

void MainCommands::itemOnscreenKeyboardClick() {
    ScreenKeyboard keyboard(&m_window);
    keyboard.exec();
}

void MainCommands::btnOptions1Click() {
    OptionsDialog dialog(m_session.options(), &m_window);
    if (dialog.exec() == QDialog::Accepted) m_window.ApplyDisplayOptions();
}
