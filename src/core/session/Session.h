#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/Error.h"
#include "core/entries/Clock.h"
#include "core/entries/Workspace.h"
#include "core/session/UserInterface.h"
#include "core/storage/RandomSource.h"
#include "core/storage/SecureBytes.h"
#include "core/storage/Settings.h"

namespace vorkel {

/// The data store on disk changed behind the session's back; what() says so.
class StoreChanged : public Error {
public:
    using Error::Error;
};

/// The data store does not decipher into a readable document although the logon opened the
/// settings file: it is damaged. what() names the file.
class StoreUnreadable : public Error {
public:
    using Error::Error;
};

/// The run state and every operation that crosses files, logon and the entry list: logon
/// check, workspace load, saving, the close sequence, backup, restore, new data store and the
/// master password change. Loads are transactional: state changes only when a whole load worked.
class Session {
public:
    /// `programFile` is the full path of the running program; its folder is ProgramFolder.
    Session(const std::string& programFile, RandomSource& random, const Clock& clock);

    const std::string& ProgramFolder() const { return m_programFolder; }
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
    /// True when the settings file exists, or waits staged by an interrupted save, so the logon
    /// is a logon rather than a first run.
    bool settingsFileExists() const;
    /// The warning for empty logon fields, if any (blanks count as content).
    static std::optional<std::string_view> logonFieldsProblem(std::string_view user,
                                                              std::string_view password);
    /// Sets LogonUserName and LogonMasterPassword (before they are verified).
    void SetLogon(std::string_view user, std::string_view password);
    /// The warning for a new account's pair that the settings document could not carry (invalid
    /// UTF-8, control characters), if any: checked before anything is written.
    static std::optional<std::string_view> storablePairProblem(std::string_view user,
                                                               std::string_view password);
    /// True when the settings file deciphers under the current pair into well-formed XML.
    bool VerifyLogon() const;
    /// What a logon found besides its verdict.
    struct LogonCheck {
        bool accepted = false;
        std::optional<std::string> notice;   // an interrupted save finished or undone
        std::optional<std::string> refusal;  // why the pair is refused, when not the usual text
    };
    /// The logon check under the folder's lock: a save that an earlier run left half done is
    /// finished when the typed pair opens its new settings file, or undone when the pair opens
    /// the previous one, and the notice says which; then VerifyLogon.
    LogonCheck CheckLogon();
    /// True when `user` + `password` make the pass string of the workspace in memory (constant
    /// time): only that pair may unlock a locked window, whatever the folder holds.
    bool isWorkspacePair(std::string_view user, std::string_view password) const;
    /// First run: true when `confirmation` equals the master password; only then an old data
    /// store is deleted.
    bool ConfirmNewAccount(std::string_view confirmation);
    /// Reads settings and data store (seeding the samples into an empty list), shows all
    /// entries and orders them A to Z. On failure nothing changes and the error propagates.
    void LoadWorkspace();
    /// After a logon whose data store is damaged (StoreUnreadable): reads the settings and the
    /// backup at `backupPath` under the logon pair, keeps the damaged store untouched under a
    /// dated name beside it (returned), installs the backup's entries ordered A to Z and commits
    /// both files. On failure nothing changes.
    std::string RestoreDamagedStore(const std::string& backupPath);
    /// Reads settings and data store as LoadWorkspace does, but seeds nothing and keeps the
    /// document order (for the command-line tool). On failure nothing changes.
    void LoadForTool();
    /// A first-run account without the logon dialog: refuses (Error) when a settings file
    /// exists, and when a data store exists unless `setOldStoreAside`, which first renames it to
    /// a dated name beside it (returned); then default settings, the sample entries, SaveAll.
    std::optional<std::string> InitAccount(bool setOldStoreAside = false);

    // --- Saving ---
    /// Writes the entry list enciphered to `path`.
    void SaveDataStore(const std::string& path) const;
    /// Writes the settings file.
    void SaveSettings() const;
    /// "Save All": the data store and the settings file committed together, so both always open
    /// with one pair. Refused (StoreChanged) when another program replaced the data store since
    /// this session read or wrote it.
    void SaveAll();
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
    /// RestoreFrom's read alone: the backup's entries, nothing changed yet.
    std::vector<EntryPtr> ReadBackup(const std::string& path) const;
    /// RestoreFrom's change alone: installs entries ReadBackup read (samples for none).
    void RestoreEntries(std::vector<EntryPtr> entries);
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
    /// Replaces the master password and commits both files under it at once; on failure the
    /// previous password stays current and both files keep opening with it.
    void ChangeMasterPassword(std::string_view password);

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
    Settings readSettings() const;
    void install(Settings settings, std::vector<EntryPtr> entries);
    /// Both files committed together under the current pair, checked first.
    void commitBoth();
    std::optional<std::string> writeBoth();
    /// Throws StoreChanged when the data store on disk is not the one this session last read or
    /// wrote (it may have vanished: the close sequence reports that on its own).
    void checkStoreUnchanged() const;
    void rememberStore();
    bool opensSettings(const std::string& path) const;
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
    // What the data store on disk was when this session last read or wrote it.
    struct FileIdentity {
        bool exists = false;
        unsigned long long device = 0, inode = 0, size = 0, modified = 0;
        bool operator==(const FileIdentity&) const = default;
    };
    static FileIdentity identityOf(const std::string& path);
    std::optional<FileIdentity> m_storeSeen;
    Settings m_settings;
    Workspace m_workspace;
};

}  // namespace vorkel
