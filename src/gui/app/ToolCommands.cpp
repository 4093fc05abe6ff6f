// The password generator (dialog and the editor's button), the on-screen keyboard and the
// options dialog.
#include "core/tools/PasswordGenerator.h"
#include "gui/app/MainCommands.h"
#include "gui/app/MainWindow.h"
#include "gui/entries/EditorPane.h"
#include "gui/tools/GeneratePasswordDialog.h"
#include "gui/tools/OptionsDialog.h"
#include "gui/tools/ScreenKeyboard.h"
#include "gui/ui/QtText.h"

namespace vorkel::gui {

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

}  // namespace vorkel::gui
