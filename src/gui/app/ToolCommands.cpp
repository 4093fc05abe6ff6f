#include "gui/app/ToolCommands.h"

#include "core/session/Session.h"
#include "gui/logon/PasswordChangeDialog.h"
#include "gui/tools/AdvancedSearchWindow.h"
#include "gui/tools/GeneratePasswordDialog.h"
#include "gui/tools/OptionsDialog.h"
#include "gui/tools/ScreenKeyboard.h"

namespace vorkel::gui {

ToolCommands::ToolCommands(vorkel::Session& session, const vorkel::RunState& run,
                           MessageService& messages, ListPane& list, QWidget& window)
    : m_session(session), m_run(run), m_ui(messages), m_list(list), m_window(window) {}

void ToolCommands::ChangeMasterPassword1Click() {
    PasswordChangeDialog dialog(m_session, m_ui, &m_window);
    dialog.exec();
}

void ToolCommands::btnGenPasswordClick() {
    GeneratePasswordDialog dialog(m_session, &m_window);
    dialog.exec();
}

void ToolCommands::itemOnscreenKeyboardClick() {
    ScreenKeyboard keyboard(&m_window);
    keyboard.exec();
}

void ToolCommands::btnOptions1Click() {
    OptionsDialog dialog(m_session.options(), &m_window);
    if (dialog.exec() == QDialog::Accepted) emit displayOptionsChanged();
}

void ToolCommands::btnSearchClick() {
    if (!m_searchWindow)
        m_searchWindow =
            new AdvancedSearchWindow(m_window, m_session.workspace(), m_list, m_run, m_ui);
    m_searchWindow->clearForOpening();
    m_searchWindow->ResetSearch();
    m_searchWindow->show();
    m_searchWindow->raise();
    m_searchWindow->activateWindow();
}

}  // namespace vorkel::gui
