#include "session/Session.h"

#include <cstdio>
#include <filesystem>

#include "Error.h"
#include "session/Messages.h"
#include "storage/AtomicFile.h"
#include "storage/ConstantTime.h"
#include "storage/Container.h"
#include "storage/DataStoreDocument.h"
#include "storage/PassString.h"
#include "storage/SampleContent.h"
#include "storage/SettingsDocument.h"
#include "storage/XmlDocument.h"
#include "tools/PasswordGenerator.h"

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
    return fileExists(settingsPath());
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

bool Session::VerifyLogon() const {
    try {
        XmlDocument doc =
            XmlDocument::LoadFromBuffer(container::DecryptFromFile(settingsPath(), passString()));
        (void)doc.DocumentElement().ChildByName("database");
        return true;
    } catch (const std::exception&) {
        // Every failure, a wrong pair included, is the same answer: the logon is refused.
        return false;
    }
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

void Session::loadFiles() {
    Settings loaded = m_settings;
    if (!settingsFileExists()) {
        loaded = defaultSettings();
    } else {
        loaded.options.ResetOptions();
        settingsdoc::parse(container::DecryptFromFile(settingsPath(), passString()), loaded);
    }
    std::vector<EntryPtr> entries;
    if (fileExists(dataStorePath()))
        entries = readDataStore(dataStorePath(), loaded.options.DataVersion);

    m_settings = std::move(loaded);
    m_workspace.master().assign(std::move(entries));
    m_workspace.ShowAllEntries();
    keepWorkspacePair();
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

void Session::InitAccount() {
    // An existing settings file is an account; replacing it would lock its owner out.
    if (settingsFileExists())
        throw Error("An account exists already: \"" + settingsPath() + "\" is present.");
    m_settings = defaultSettings();
    m_workspace.ClearEntryList();
    seedIfEmpty();
    keepWorkspacePair();
    SaveAll();
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
    SaveDataStore(dataStorePath());
    SaveSettings();
}

std::optional<std::string> Session::writeBoth() {
    std::optional<std::string> failure;
    // Both writes are attempted: a failed settings write must not cost the user's entries.
    try {
        SaveSettings();
    } catch (const std::exception& e) {
        failure = e.what();
    }
    try {
        SaveDataStore(dataStorePath());
    } catch (const std::exception& e) {
        if (!failure) failure = e.what();
    }
    return failure;
}

bool Session::CloseWrites() {
    const bool vanished = !fileExists(dataStorePath()) && !m_freshStore;
    return writeBoth().has_value() || vanished;
}

std::optional<std::string> Session::LockWrites() {
    return writeBoth();
}

void Session::CloseSequence(UserInterface& ui) {
    if (CloseWrites() &&
        ui.askYesNo(UserInterface::Kind::Confirm, std::string(msg::kStorageProblem)))
        Backup(ui);
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
    auto entries = readDataStore(path, m_settings.options.DataVersion);
    m_workspace.master().assign(std::move(entries));
    m_workspace.ShowAllEntries();
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
    return std::nullopt;
}

bool Session::isCurrentMasterPassword(std::string_view typed) const {
    return constantTimeEquals(typed, m_masterPassword);
}

void Session::SetMasterPassword(std::string_view password) {
    m_masterPassword.assign(password.begin(), password.end());
    if (m_workspacePairKnown) m_workspacePassword = m_masterPassword;
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
