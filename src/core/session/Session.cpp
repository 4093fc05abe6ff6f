#include "core/session/Session.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "core/Error.h"
#include "core/entries/SampleContent.h"
#include "core/session/Messages.h"
#include "core/storage/AtomicFile.h"
#include "core/storage/ConstantTime.h"
#include "core/storage/Container.h"
#include "core/storage/DataStoreDocument.h"
#include "core/storage/FileHandle.h"
#include "core/storage/PassString.h"
#include "core/storage/SettingsDocument.h"
#include "core/storage/XmlCharacters.h"
#include "core/storage/XmlDocument.h"
#include "core/tools/PasswordGenerator.h"

namespace vorkel {

Session::Session(const std::string& programFile, RandomSource& random, const Clock& clock)
    : m_programFile(programFile), m_random(random), m_clock(clock), m_workspace(clock) {
    std::string folder = std::filesystem::path(programFile).parent_path().string();
    if (folder.empty() || folder.back() != '/') folder += '/';
    m_programFolder = folder;
}

SecureBytes Session::passString() const {
    return passStringBytes(m_userName, m_masterPassword);
}

bool Session::settingsFileExists() const {
    return fileExists(settingsPath()) || fileExists(stagedFilePath(settingsPath()));
}

std::optional<std::string_view> Session::storablePairProblem(std::string_view user,
                                                             std::string_view password) {
    // Both go into the settings document; one that cannot carry them could never be read back.
    if (!xmlchars::isValue(user)) return msg::kUsernameNotStorable;
    if (!xmlchars::isValue(password)) return msg::kPasswordNotStorable;
    return std::nullopt;
}

std::optional<std::string_view> Session::logonFieldsProblem(std::string_view user,
                                                            std::string_view password) {
    if (user.empty()) return msg::kEnterUsername;
    if (password.empty()) return msg::kEnterPassword;
    return std::nullopt;
}

void Session::SetLogon(std::string_view user, std::string_view password) {
    m_userName = user;
    m_masterPassword.assign(password.begin(), password.end());
}

bool Session::opensSettings(const std::string& path) const {
    try {
        // A document that parses is the whole check: the database element is not required.
        (void)XmlDocument::LoadFromBuffer(container::DecryptFromFile(path, passString()));
        return true;
    } catch (const std::exception&) {
        // Every failure, a wrong pair included, is the same answer: the logon is refused.
        return false;
    }
}

bool Session::VerifyLogon() const {
    return opensSettings(settingsPath());
}

Session::LogonCheck Session::CheckLogon() {
    LogonCheck check;
    const std::string store = dataStorePath();
    const std::string settings = settingsPath();
    switch (filePairState(store, settings)) {
        case FilePairState::Settled:
            break;
        case FilePairState::FirstStaged:
            // The new pair never got its settings file: only the previous pair is whole.
            settleFilePair(store, settings, false);
            break;
        case FilePairState::BothStaged:
        case FilePairState::FirstPlaced: {
            const bool opensNew = opensSettings(stagedFilePath(settings));
            const bool opensOld = opensSettings(settings);
            if (opensNew) {
                settleFilePair(store, settings, true);
                check.notice =
                    std::string(opensOld ? msg::kSaveCompleted : msg::kPasswordChangeCompleted);
            } else if (opensOld) {
                try {
                    settleFilePair(store, settings, false);
                } catch (const Error&) {
                    check.refusal = std::string(msg::kPasswordChangeCannotUndo);
                    return check;
                }
                check.notice = std::string(msg::kPasswordChangeUndone);
            } else {
                return check;
            }
            break;
        }
    }
    check.accepted = VerifyLogon();
    // Links to the previous pair that a finished commit did not get to remove.
    if (check.accepted) settleFilePair(store, settings, true);
    return check;
}

bool Session::isWorkspacePair(std::string_view user, std::string_view password) const {
    if (!m_workspacePairKnown) return false;
    const SecureBytes typed = passStringBytes(user, password);
    const SecureBytes known = passStringBytes(m_workspaceUser, m_workspacePassword);
    return constantTimeEquals(
        std::string_view(reinterpret_cast<const char*>(typed.data()), typed.size()),
        std::string_view(reinterpret_cast<const char*>(known.data()), known.size()));
}

bool Session::ConfirmNewAccount(std::string_view confirmation) {
    if (!constantTimeEquals(confirmation, m_masterPassword)) return false;
    if (fileExists(dataStorePath())) removeFile(dataStorePath());
    return true;
}

std::vector<EntryPtr> Session::readDataStore(const std::string& path, double dataVersion) const {
    return datastore::parse(container::DecryptFromFile(path, passString()), dataVersion);
}

Settings Session::defaultSettings() const {
    Settings defaults = m_settings;
    defaults.options.ResetOptions();
    defaults.passTypes = defaultPasswordTypes();
    defaults.options.DataVersion = kCurrentDataVersion;
    return defaults;
}

Settings Session::readSettings() const {
    Settings loaded = m_settings;
    if (!settingsFileExists()) return defaultSettings();
    loaded.options.ResetOptions();
    settingsdoc::parse(container::DecryptFromFile(settingsPath(), passString()), loaded);
    return loaded;
}

void Session::loadFiles() {
    Settings loaded = readSettings();
    std::vector<EntryPtr> entries;
    if (fileExists(dataStorePath())) {
        // A file that cannot be opened or read is reported as it is; one that reads but does not
        // parse under the pair that opened the settings file is damaged.
        SecureBytes plain = container::DecryptFromFile(dataStorePath(), passString());
        try {
            entries = datastore::parse(std::move(plain), loaded.options.DataVersion);
        } catch (const Error& e) {
            // The logon opened the settings file, so the pair is right: this file is damaged.
            throw StoreUnreadable(std::string(msg::kStoreUnreadableStart) + dataStorePath() +
                                  std::string(msg::kStoreUnreadableMiddle) + e.what() +
                                  std::string(msg::kStoreUnreadableEnd));
        }
    }
    install(std::move(loaded), std::move(entries));
}

void Session::install(Settings settings, std::vector<EntryPtr> entries) {
    m_settings = std::move(settings);
    m_workspace.ReplaceEntries(std::move(entries));
    keepWorkspacePair();
    rememberStore();
}

std::string Session::RestoreDamagedStore(const std::string& backupPath) {
    Settings loaded = readSettings();
    std::vector<EntryPtr> entries = readDataStore(backupPath, loaded.options.DataVersion);
    const LocalDateTime t = m_clock.now();
    char name[64];
    std::snprintf(name, sizeof name, "Vorkel4-damaged-%04d%02d%02d-%02d%02d%02d.xdb", t.year,
                  t.month, t.day, t.hour, t.minute, t.second);
    const std::string aside = m_programFolder + name;
    // Kept as it is, under a name nothing else writes: it may still hold something worth having.
    if (fileExists(aside) || ::rename(dataStorePath().c_str(), aside.c_str()) != 0)
        throw Error(fileErrorText("Cannot rename file", dataStorePath(),
                                  fileExists(aside) ? EEXIST : errno));
    install(std::move(loaded), std::move(entries));
    if (m_workspace.master().empty()) AddSampleEntries(m_workspace, m_userName);
    m_workspace.ApplyOrder(ListOrder::AtoZ);
    // Written at once, so that the folder holds a store that opens again.
    commitBoth();
    return aside;
}

Session::FileIdentity Session::identityOf(const std::string& path) {
    struct stat st {};
    // Something that is no file at all is no rival's store: the write itself will say why it
    // cannot replace it.
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
    return {true, static_cast<unsigned long long>(st.st_dev),
            static_cast<unsigned long long>(st.st_ino), static_cast<unsigned long long>(st.st_size),
            static_cast<unsigned long long>(st.st_mtim.tv_sec) * 1000000000ull +
                static_cast<unsigned long long>(st.st_mtim.tv_nsec)};
}

void Session::rememberStore() {
    m_storeSeen = identityOf(dataStorePath());
}

void Session::checkStoreUnchanged() const {
    if (!m_storeSeen) return;
    const FileIdentity now = identityOf(dataStorePath());
    // A vanished store is the close sequence's storage problem, not a rival's change.
    if (!now.exists) return;
    if (now != *m_storeSeen)
        throw StoreChanged(std::string(msg::kStoreChangedStart) + dataStorePath() +
                           std::string(msg::kStoreChangedEnd));
}

void Session::seedIfEmpty() {
    if (!m_workspace.master().empty()) return;
    m_freshStore = true;
    AddSampleEntries(m_workspace, m_userName);
}

void Session::LoadWorkspace() {
    loadFiles();
    seedIfEmpty();
    m_workspace.ApplyOrder(ListOrder::AtoZ);
}

void Session::LoadForTool() {
    loadFiles();
}

void Session::keepWorkspacePair() {
    m_workspaceUser = m_userName;
    m_workspacePassword = m_masterPassword;
    m_workspacePairKnown = true;
}

std::optional<std::string> Session::FinalWrites() {
    if (!m_workspacePairKnown) return std::string("No workspace is loaded.");
    SetLogon(m_workspaceUser, m_workspacePassword);
    return writeBoth();
}

std::optional<std::string> Session::InitAccount(bool setOldStoreAside) {
    // An existing settings file is an account; replacing it would lock its owner out.
    if (settingsFileExists())
        throw Error("An account exists already: \"" + settingsPath() + "\" is present.");
    if (auto problem = storablePairProblem(m_userName, m_masterPassword))
        throw Error(std::string(*problem));
    std::optional<std::string> setAside;
    if (fileExists(dataStorePath())) {
        if (!setOldStoreAside)
            throw Error("A data store exists already: \"" + dataStorePath() +
                        "\" is present. Add --force to keep it under a dated name and start "
                        "a new one.");
        const LocalDateTime t = m_clock.now();
        char name[64];
        std::snprintf(name, sizeof name, "Vorkel4-%04d%02d%02d-%02d%02d%02d.xdb", t.year, t.month,
                      t.day, t.hour, t.minute, t.second);
        setAside = m_programFolder + name;
        // Never over another kept store: a second --force in the same second is refused.
        if (fileExists(*setAside) || ::rename(dataStorePath().c_str(), setAside->c_str()) != 0)
            throw Error(fileErrorText("Cannot rename file", dataStorePath(),
                                      fileExists(*setAside) ? EEXIST : errno));
    }
    m_settings = defaultSettings();
    m_workspace.ClearEntryList();
    seedIfEmpty();
    keepWorkspacePair();
    m_storeSeen = identityOf(dataStorePath());
    SaveAll();
    return setAside;
}

void Session::SaveDataStore(const std::string& path) const {
    container::EncryptToFile(datastore::serialize(m_workspace.master(), m_programFile), path,
                             passString(), m_random);
}

void Session::SaveSettings() const {
    container::EncryptToFile(
        settingsdoc::serialize(m_settings, m_programFile, m_userName, m_masterPassword),
        settingsPath(), passString(), m_random);
}

void Session::SaveAll() {
    commitBoth();
}

void Session::commitBoth() {
    // Both documents are built and enciphered before any file is touched, so a value a document
    // cannot carry stops the save with nothing written.
    const SecureBytes key = passString();
    SecureBytes store = datastore::serialize(m_workspace.master(), m_programFile);
    SecureBytes settings =
        settingsdoc::serialize(m_settings, m_programFile, m_userName, m_masterPassword);
    const container::Salt storeSalt = container::Seal(store, key, m_random);
    const container::Salt settingsSalt = container::Seal(settings, key, m_random);
    checkStoreUnchanged();
    // A commit of this session's that failed half way is finished first: its files are ours.
    if (filePairState(dataStorePath(), settingsPath()) != FilePairState::Settled)
        settleFilePair(
            dataStorePath(), settingsPath(),
            filePairState(dataStorePath(), settingsPath()) != FilePairState::FirstStaged);
    const FilePart storeParts[] = {storeSalt, store};
    const FilePart settingsParts[] = {settingsSalt, settings};
    try {
        writeFilePairAtomically(dataStorePath(), storeParts, settingsPath(), settingsParts);
    } catch (...) {
        // Whatever the failed commit left, the next check compares with what is there now.
        rememberStore();
        throw;
    }
    rememberStore();
}

std::optional<std::string> Session::writeBoth() {
    try {
        commitBoth();
    } catch (const std::exception& e) {
        return std::string(e.what());
    }
    return std::nullopt;
}

std::optional<std::string> Session::LockWrites() {
    return writeBoth();
}

void Session::CloseSequence(UserInterface& ui) {
    const bool vanished = !fileExists(dataStorePath()) && !m_freshStore;
    std::optional<std::string> question;
    try {
        commitBoth();
    } catch (const StoreChanged& e) {
        // Not a device problem: say what happened, and still offer to keep the user's work.
        question = e.what() + std::string(msg::kOfferBackup);
    } catch (const std::exception&) {
        question = std::string(msg::kStorageProblem);
    }
    if (!question && vanished) question = std::string(msg::kStorageProblem);
    if (question && ui.askYesNo(UserInterface::Kind::Confirm, *question)) Backup(ui);
}

std::string Session::defaultBackupName() const {
    LocalDateTime t = m_clock.now();
    char buf[32];
    std::snprintf(buf, sizeof buf, "Vorkel%02d-%02d-%02d.xdb", t.year % 100, t.month, t.day);
    return buf;
}

void Session::BackupTo(const std::string& path) const {
    SaveDataStore(path);
}

void Session::Backup(UserInterface& ui) {
    auto path = ui.chooseSaveFile(defaultBackupName());
    if (!path) return;
    try {
        BackupTo(*path);
    } catch (const Error& e) {
        ui.tell(UserInterface::Kind::Error, e.what());
    }
}

void Session::RestoreFrom(const std::string& path) {
    RestoreEntries(ReadBackup(path));
}

std::vector<EntryPtr> Session::ReadBackup(const std::string& path) const {
    return readDataStore(path, m_settings.options.DataVersion);
}

void Session::RestoreEntries(std::vector<EntryPtr> entries) {
    m_workspace.ReplaceEntries(std::move(entries));
    if (m_workspace.master().empty()) AddSampleEntries(m_workspace, m_userName);
}

void Session::NewDataStore() {
    // The settings file goes first: if it cannot be deleted, nothing has changed yet.
    if (settingsFileExists()) removeFile(settingsPath());
    m_workspace.ClearEntryList();
    m_freshStore = true;
    AddSampleEntries(m_workspace, m_userName);
}

std::optional<std::string_view> Session::newPasswordProblem(std::string_view password,
                                                            std::string_view confirmation) {
    if (password.empty()) return msg::kNewPasswordEmpty;
    if (!constantTimeEquals(password, confirmation)) return msg::kNewPasswordsDiffer;
    // Judged before anything is written: the settings file must be able to carry it.
    if (!xmlchars::isValue(password)) return msg::kPasswordNotStorable;
    return std::nullopt;
}

bool Session::isCurrentMasterPassword(std::string_view typed) const {
    return constantTimeEquals(typed, m_masterPassword);
}

void Session::SetMasterPassword(std::string_view password) {
    m_masterPassword.assign(password.begin(), password.end());
    if (m_workspacePairKnown) m_workspacePassword = m_masterPassword;
}

void Session::ChangeMasterPassword(std::string_view password) {
    if (auto problem = storablePairProblem(m_userName, password))
        throw Error(std::string(*problem));
    const SecureString previous = m_masterPassword;
    SetMasterPassword(password);
    try {
        commitBoth();
    } catch (...) {
        SetMasterPassword(previous);
        throw;
    }
}

std::size_t Session::AddEntry(std::string_view title) {
    return m_workspace.AddEntry(title, "", "", "", "", "", m_userName);
}

void Session::StoreEntry(std::optional<std::size_t> row, const EditorFields& fields) {
    m_workspace.StoreEntry(row, fields, m_userName);
}

std::string Session::GeneratePassword() {
    return vorkel::GeneratePassword(m_random, m_clock, m_masterPassword);
}

}  // namespace vorkel
