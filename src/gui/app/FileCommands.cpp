#include "gui/app/FileCommands.h"

#include "core/session/Messages.h"
#include "core/session/RunState.h"
#include "core/session/Session.h"
#include "gui/entries/ListPane.h"
#include "gui/ui/MessageService.h"

namespace vorkel::gui {

using Kind = vorkel::UserInterface::Kind;

FileCommands::FileCommands(vorkel::Session& session, vorkel::RunState& run,
                           MessageService& messages, ListPane& list)
    : m_session(session), m_run(run), m_ui(messages), m_list(list) {}

void FileCommands::btnSaveAllClick() {
    emit aboutToSave();
    m_run.saveAll();
}

void FileCommands::NewDataStore1Click() {
    if (!m_run.newDataStore()) return;
    m_list.showRebuiltRows();
    emit newDataStoreBegun();
}

void FileCommands::BackupClick() {
    m_session.Backup(m_ui);
}

void FileCommands::RestoreClick() {
    const auto path = m_ui.chooseOpenFile();
    if (!path) return;
    if (!m_ui.askYesNo(Kind::Warning, std::string(vorkel::msg::kRestoreOverwrite))) return;
    // Loaded first: a file that does not open leaves the list and the editor as they were,
    // rather than an empty list that the next save would write over the data store.
    auto entries = m_session.ReadBackup(*path);
    m_list.changeRows([&]() -> std::optional<std::size_t> {
        m_session.RestoreEntries(std::move(entries));
        return 0;  // a restore always leaves entries: the samples at least
    });
}

}  // namespace vorkel::gui
