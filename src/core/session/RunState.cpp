#include "core/session/RunState.h"

#include "core/Error.h"
#include "core/session/Messages.h"
#include "core/storage/AtomicFile.h"

namespace vorkel {

using Kind = UserInterface::Kind;

RunState::RunState(Session& session, UserInterface& ui, std::chrono::milliseconds lockPatience)
    : m_session(session), m_ui(ui), m_lockPatience(lockPatience) {}

bool RunState::logonShown() const {
    return m_phase == Phase::AwaitingLogon || m_phase == Phase::Locked ||
           m_phase == Phase::NewAccount;
}

bool RunState::minimiseLocks() const {
    return m_phase == Phase::Working && Options::on(m_session.options().PromptMasterPass);
}

void RunState::tell(Kind kind, std::string_view text) {
    m_ui.tell(kind, std::string(text));
}

void RunState::start() {
    m_phase = Phase::AwaitingLogon;
    refreshLogonMode();
}

bool RunState::refreshLogonMode() {
    if (m_phase == Phase::AwaitingLogon) m_firstRun = !m_session.settingsFileExists();
    if (m_phase == Phase::Locked) m_firstRun = false;
    return m_firstRun;
}

RunState::LogonOutcome RunState::submitLogon(std::string_view user, std::string_view password,
                                             const ConfirmPassword& confirm) {
    if (!logonShown()) return LogonOutcome::Stay;
    if (const auto problem = Session::logonFieldsProblem(user, password)) {
        tell(Kind::Warning, *problem);
        return user.empty() ? LogonOutcome::FocusUsername : LogonOutcome::FocusPassword;
    }
    if (m_phase == Phase::Locked) return unlock(user, password);
    m_session.SetLogon(user, password);
    return m_firstRun ? firstRunLogon(password, confirm) : logon();
}

bool RunState::holdFolder() {
    if (m_folderLock) return true;
    try {
        m_folderLock =
            FolderLock::acquire(m_session.ProgramFolder(), LockHolder::Window, m_lockPatience);
    } catch (const Error& e) {
        tell(Kind::Error, e.what());
        return false;
    }
    // Under the lock nobody else writes here: what killed saves left behind can go.
    removeStaleTemporaries(m_session.ProgramFolder());
    return true;
}

bool RunState::load() {
    try {
        m_session.LoadWorkspace();
    } catch (const StoreUnreadable& e) {
        return offerRestore(e.what());
    } catch (const std::exception& e) {
        m_ui.reportUnexpected(e.what());
        return false;
    }
    return true;
}

bool RunState::offerRestore(const std::string& problem) {
    // A damaged store is no dead end: a backup under the same pair takes its place, and the
    // damaged file stays as it is under another name.
    if (!m_ui.askYesNo(Kind::Error, problem + std::string(msg::kOfferRestore))) return false;
    const auto backup = m_ui.chooseOpenFile();
    if (!backup) return false;
    try {
        const std::string aside = m_session.RestoreDamagedStore(*backup);
        tell(Kind::Information, std::string(msg::kRestoredFromBackupStart) + *backup +
                                    std::string(msg::kRestoredFromBackupMiddle) + aside + "\".");
    } catch (const std::exception& e) {
        m_ui.reportUnexpected(e.what());
        return false;
    }
    return true;
}

RunState::LogonOutcome RunState::firstRunLogon(std::string_view password,
                                               const ConfirmPassword& confirm) {
    if (const auto problem = Session::storablePairProblem(m_session.LogonUserName(), password)) {
        tell(Kind::Warning, *problem);
        return LogonOutcome::FocusPassword;
    }
    std::optional<SecureString> confirmation = confirm ? confirm() : std::nullopt;
    if (!confirmation) return LogonOutcome::Stay;
    if (!m_session.isCurrentMasterPassword(*confirmation)) {
        tell(Kind::Warning, msg::kConfirmationMismatch);
        return LogonOutcome::FocusPassword;
    }
    if (!holdFolder()) return LogonOutcome::Stay;
    try {
        // Deletes a data store left in the folder, and only on a match.
        if (!m_session.ConfirmNewAccount(*confirmation)) return LogonOutcome::Stay;
    } catch (const std::exception& e) {
        m_ui.reportUnexpected(e.what());
        return LogonOutcome::Stay;
    }
    if (!load()) return LogonOutcome::Stay;
    m_phase = Phase::Working;
    return LogonOutcome::Entered;
}

RunState::LogonOutcome RunState::logon() {
    if (!holdFolder()) return LogonOutcome::Stay;
    Session::LogonCheck check;
    try {
        check = m_session.CheckLogon();
    } catch (const std::exception& e) {
        // Settling an interrupted save failed (a device gone): nothing was decided.
        m_ui.tell(Kind::Error, e.what());
        return LogonOutcome::Stay;
    }
    if (!check.accepted) {
        tell(Kind::Error, check.refusal ? *check.refusal : std::string(msg::kLogonIncorrect));
        end();
        return LogonOutcome::Ended;
    }
    if (check.notice) tell(Kind::Information, *check.notice);
    if (!load()) return LogonOutcome::Stay;
    m_phase = Phase::Working;
    return LogonOutcome::Entered;
}

RunState::LogonOutcome RunState::unlock(std::string_view user, std::string_view password) {
    // Only the pair the workspace in memory belongs to opens it again, whatever the folder now
    // holds: files that went missing or were replaced must not let anybody else in.
    if (!m_session.isWorkspacePair(user, password)) {
        tell(Kind::Error, msg::kLogonIncorrect);
        end();
        return LogonOutcome::Ended;
    }
    m_session.SetLogon(user, password);
    std::optional<std::string> kept = m_lockFailure;
    m_lockFailure.reset();
    if (!kept) {
        // The files hold exactly what the lock wrote; reading them back is the unlock's reload,
        // and a reload that fails keeps the workspace in memory.
        try {
            m_session.LoadWorkspace();
        } catch (const std::exception& e) {
            m_phase = Phase::Working;
            m_session.workspace().ShowAllEntries();
            m_session.workspace().ApplyOrder(ListOrder::AtoZ);
            m_noticeAfterEntry = std::string(msg::kUnlockKeptWorkspace) + e.what();
            return LogonOutcome::Entered;
        }
    }
    m_phase = Phase::Working;
    if (kept) {
        // As a reload would leave it.
        m_session.workspace().ShowAllEntries();
        m_session.workspace().ApplyOrder(ListOrder::AtoZ);
        m_noticeAfterEntry = std::string(msg::kLockSaveFailed) + *kept;
    }
    return LogonOutcome::Entered;
}

std::optional<std::string> RunState::takeNoticeAfterEntry() {
    std::optional<std::string> notice;
    notice.swap(m_noticeAfterEntry);
    return notice;
}

void RunState::minimised() {
    if (!minimiseLocks()) return;
    // The restore asks for the logon, so what the user has goes to disk now, as at close,
    // without questions.
    m_lockFailure = m_session.LockWrites();
    m_phase = Phase::LockDue;
}

bool RunState::restored() {
    if (m_phase != Phase::LockDue) return false;
    m_phase = Phase::Locked;
    // A lock never offers a new account, whatever the folder holds now.
    m_firstRun = false;
    return true;
}

void RunState::logonClosed() {
    if (m_phase == Phase::Ended || m_phase == Phase::Working || m_phase == Phase::LockDue) return;
    end();
}

void RunState::end() {
    // Only a lock whose write failed still holds the user's work; ending now would lose it.
    // It goes out under the pair the workspace was loaded with, silently: nobody is left to
    // tell.
    if (m_phase == Phase::Locked && m_lockFailure) (void)m_session.FinalWrites();
    m_phase = Phase::Ended;
    m_folderLock.reset();
}

bool RunState::closeRequested() {
    switch (m_phase) {
        case Phase::Working:
        case Phase::LockDue:
            m_session.CloseSequence(m_ui);
            m_phase = Phase::Ended;
            m_folderLock.reset();
            return true;
        case Phase::Ended:
            return false;
        default:
            // Nobody is logged on (or a new account is pending under a pair nobody confirmed):
            // end as the logon dialog's close does.
            end();
            return false;
    }
}

bool RunState::newDataStore() {
    if (m_phase != Phase::Working) return false;
    if (!m_ui.askYesNo(Kind::Confirm, std::string(msg::kNewDataStore))) return false;
    m_session.NewDataStore();
    m_phase = Phase::NewAccount;
    m_firstRun = true;
    return true;
}

void RunState::saveAll() {
    if (m_phase != Phase::Working) return;
    try {
        m_session.SaveAll();
    } catch (const StoreChanged& e) {
        if (m_ui.askYesNo(Kind::Warning, e.what() + std::string(msg::kOfferBackup)))
            m_session.Backup(m_ui);
    }
}

}  // namespace vorkel
