#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "entries/Clock.h"
#include "entries/Workspace.h"
#include "session/UserInterface.h"
#include "storage/RandomSource.h"
#include "storage/SecureBytes.h"
#include "storage/Settings.h"

namespace vorkel {

/// The run state and every operation that crosses files, logon and the entry list: logon
/// check, workspace load, saving, the close sequence, backup, restore, new data store and the
/// master password change. Loads are transactional: state changes only when a whole load worked.
class Session {
public:
    /// `programFile` is the full path of the running program; its folder is ProgramFolder.
    Session(const std::string& programFile, RandomSource& random, const Clock& clock);

    const std::string& ProgramFolder() const { return m_programFolder; }
    const std::string& ProgramFile() const { return m_programFile; }
    std::string dataStorePath() const { return m_programFolder + "Vorkel4.xdb"; }
    std::string settingsPath() const { return m_programFolder + "Vorkel4.vfg"; }

    const std::string& LogonUserName() const { return m_userName; }
    bool FreshStore() const { return m_freshStore; }
    Settings& settings() { return m_settings; }
    const Settings& settings() const { return m_settings; }
    Options& options() { return m_settings.options; }
    Workspace& workspace() { return m_workspace; }
    const Workspace& workspace() const { return m_workspace; }

    // --- Logon ---
    /// True when the settings file exists, so the logon is a logon rather than a first run.
    bool settingsFileExists() const;
    /// The warning for empty logon fields, if any (blanks count as content).
    static std::optional<std::string_view> logonFieldsProblem(std::string_view user,
                                                              std::string_view password);
    /// Sets LogonUserName and LogonMasterPassword (before they are verified).
    void SetLogon(std::string_view user, std::string_view password);
    /// True when the settings file deciphers under the current pair into well-formed XML.
    bool VerifyLogon() const;
    /// First run: true when `confirmation` equals the master password; only then an old data
    /// store is deleted.
    bool ConfirmNewAccount(std::string_view confirmation);
    /// Reads settings and data store (seeding the samples into an empty list), shows all
    /// entries and orders them A to Z. On failure nothing changes and the error propagates.
    void LoadWorkspace();
    /// Reads settings and data store as LoadWorkspace does, but seeds nothing and keeps the
    /// document order (for the command-line tool). On failure nothing changes.
    void LoadForTool();
    /// A first-run account without the logon dialog: refuses (Error) when a settings file
    /// exists; otherwise default settings, the sample entries, then SaveAll.
    void InitAccount();

    // --- Saving ---
    /// Writes the entry list enciphered to `path`.
    void SaveDataStore(const std::string& path) const;
    /// Writes the settings file.
    void SaveSettings() const;
    /// "Save All": the data store, then the settings file, so both always open with one pair.
    void SaveAll();
    /// The close sequence's writes: both files attempted; true when there was a storage problem
    /// (a write failed, or the loaded store vanished).
    bool CloseWrites();
    /// Before the window locks: both files written as at close, without questions, so the
    /// unlock's reload shows exactly what the user had. Returns the failure's text, if any.
    std::optional<std::string> LockWrites();
    /// The last write of a lock whose write failed, before the program ends: both files, under
    /// the pair the workspace was loaded with (a failed re-logon has already replaced the
    /// session's pair with the mistyped one). Returns the failure's text, if any.
    std::optional<std::string> FinalWrites();
    /// The close sequence: CloseWrites, then on a problem the backup question and backup.
    void CloseSequence(UserInterface& ui);

    // --- Backup, restore, new store ---
    /// "Vorkel" + yy-mm-dd + ".xdb" for today.
    std::string defaultBackupName() const;
    /// Writes the entry list to `path`; Vorkel4.xdb is untouched.
    void BackupTo(const std::string& path) const;
    /// The backup command: asks for a file and writes it, reporting a failure.
    void Backup(UserInterface& ui);
    /// Replaces the list with a backup's entries (samples when it has none); on failure the
    /// list keeps what it held.
    void RestoreFrom(const std::string& path);
    /// Deletes the settings file and replaces the list with the samples.
    void NewDataStore();

    // --- Master password ---
    /// The warning for a new password and its confirmation, if any.
    static std::optional<std::string_view> newPasswordProblem(std::string_view password,
                                                              std::string_view confirmation);
    /// True when `typed` is the current master password (constant time).
    bool isCurrentMasterPassword(std::string_view typed) const;
    /// Replaces the master password in memory; files take it at their next write.
    void SetMasterPassword(std::string_view password);

    // --- Entries and tools, audited as the logon user ---
    std::size_t AddEntry(std::string_view title);
    void StoreEntry(std::optional<std::size_t> row, const EditorFields& fields);
    /// The whole generated Base64 text for now.
    std::string GeneratePassword();
    RandomSource& random() { return m_random; }
    const Clock& clock() const { return m_clock; }

private:
    SecureBytes passString() const;
    /// The settings and entries of the two files (defaults for a missing settings file, no
    /// entries for a missing store), installed only when both reads worked; all entries shown.
    void loadFiles();
    std::optional<std::string> writeBoth();
    void keepWorkspacePair();
    /// Seeds the samples into an empty list and marks the store fresh.
    void seedIfEmpty();
    /// The settings a run without a settings file starts from.
    Settings defaultSettings() const;
    std::vector<EntryPtr> readDataStore(const std::string& path, double dataVersion) const;

    std::string m_programFile;
    std::string m_programFolder;
    RandomSource& m_random;
    const Clock& m_clock;
    std::string m_userName;
    SecureString m_masterPassword;
    // The pair the workspace in memory belongs to.
    std::string m_workspaceUser;
    SecureString m_workspacePassword;
    bool m_workspacePairKnown = false;
    bool m_freshStore = false;
    Settings m_settings;
    Workspace m_workspace;
};

}  // namespace vorkel
