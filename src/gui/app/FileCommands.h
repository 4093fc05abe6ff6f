#pragma once

#include <QObject>

namespace vorkel {
class RunState;
class Session;
}  // namespace vorkel

namespace vorkel::gui {

class ListPane;
class MessageService;

/// The "File" menu's commands on the data store and its copies: save, a new data store, backup
/// and restore.
class FileCommands : public QObject {
    Q_OBJECT
public:
    /// Commands over `session`, through `run` for the transitions it decides; `list` shows the
    /// rows they change. All must outlive the commands.
    FileCommands(vorkel::Session& session, vorkel::RunState& run, MessageService& messages,
                 ListPane& list);

    /// "Save" / "Save All": writes the data store and the settings file.
    void btnSaveAllClick();
    /// After a Yes, replaces the store with the samples and asks for a new account.
    void NewDataStore1Click();
    /// Writes the entries to a file the user names (dated default name).
    void BackupClick();
    /// After a Yes, replaces the entries with a backup's, first row selected.
    void RestoreClick();

signals:
    /// A save is about to write the settings file: whatever the window keeps there goes in now.
    void aboutToSave();
    /// The samples replaced the store: the window waits for the new account's logon.
    void newDataStoreBegun();

private:
    vorkel::Session& m_session;
    vorkel::RunState& m_run;
    MessageService& m_ui;
    ListPane& m_list;
};

}  // namespace vorkel::gui
