// The advanced search window, made at the first opening and kept.
#include "app/MainCommands.h"
#include "app/MainWindow.h"
#include "tools/AdvancedSearchWindow.h"

void MainCommands::btnSearchClick() {
    if (!m_searchWindow) m_searchWindow = new AdvancedSearchWindow(m_window);
    m_searchWindow->clearForOpening();
    m_searchWindow->ResetSearch();
    m_searchWindow->show();
    m_searchWindow->raise();
    m_searchWindow->activateWindow();
}
