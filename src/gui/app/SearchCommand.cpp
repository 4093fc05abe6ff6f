// The advanced search window, made at the first opening and kept.
#include "gui/app/MainCommands.h"
#include "gui/app/MainWindow.h"
#include "gui/entries/ListPane.h"
#include "gui/tools/AdvancedSearchWindow.h"

namespace vorkel::gui {

void MainCommands::btnSearchClick() {
    if (!m_searchWindow)
        m_searchWindow = new AdvancedSearchWindow(m_window, m_session.workspace(),
                                                  m_window.listPane(), m_window.runState(), m_ui);
    m_searchWindow->clearForOpening();
    m_searchWindow->ResetSearch();
    m_searchWindow->show();
    m_searchWindow->raise();
    m_searchWindow->activateWindow();
}

}  // namespace vorkel::gui
