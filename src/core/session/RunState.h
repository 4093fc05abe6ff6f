#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/session/Session.h"
#include "core/session/UserInterface.h"
#include "core/storage/FolderLock.h"
#include "core/storage/SecureBytes.h"

namespace vorkel {

/// The states of one run of the desktop program and every transition between them, driven by
/// the windows' events. It decides what each transition writes and who may unlock; windows
/// render phase() and forward events, and keep no flags of their own.
class RunState {
public:
    enum class Phase {
        AwaitingLogon,  // the logon dialog gates the program (first run or logon)
        Working,        // the main window is in use
        LockDue,        // minimised with the lock on: both files written, the restore locks
        Locked,         // the logon dialog asks for the workspace's own pair
        NewAccount,     // New Data Store: the first-run logon is pending over a window that
                        // takes no commands
        Ended,
    };

    /// What the logon dialog does after an attempt.
    enum class LogonOutcome {
        FocusUsername,  // a warning was shown; the user name field takes the focus
        FocusPassword,  // the same for the password field
        Stay,           // the dialog stays as it is (cancelled confirmation, failed load)
        Entered,        // the main window is in use: show it, hide the dialog
        Ended,          // the program ends
    };

    /// Asks for the first-run confirmation; nullopt when the user cancels it.
    using ConfirmPassword = std::function<std::optional<SecureString>()>;

    /// `lockPatience` is how long a logon waits for a command-line tool holding the folder.
    RunState(Session& session, UserInterface& ui,
             std::chrono::milliseconds lockPatience = std::chrono::seconds(5));

    Phase phase() const { return m_phase; }
    /// The logon dialog's mode: a new account (first run, New Data Store) or a logon.
    bool firstRunMode() const { return m_firstRun; }
    /// Decides the mode anew as the logon prompt is set up: while nobody is logged on it follows
    /// whether an account exists; a lock never offers a new account.
    bool refreshLogonMode();
    /// True while the logon dialog must be on screen.
    bool logonShown() const;
    /// True from the restore of a locked window until the next logon.
    bool locked() const { return m_phase == Phase::Locked; }
    /// True while the main window may run commands.
    bool takesCommands() const { return m_phase == Phase::Working; }
    /// True when a minimise now would lock (so the windows close their dialogs first).
    bool minimiseLocks() const;
    /// The lock's write failed: the workspace in memory is the only copy of the user's work.
    const std::optional<std::string>& lockFailure() const { return m_lockFailure; }
    /// What the user must be told once the window is back after an unlock (why the workspace
    /// in memory was kept), handed out once.
    std::optional<std::string> takeNoticeAfterEntry();

    /// The run starts: the logon dialog in first-run mode when no account exists.
    void start();
    /// The logon dialog's Logon (button or Enter).
    LogonOutcome submitLogon(std::string_view user, std::string_view password,
                             const ConfirmPassword& confirm);
    /// The main window was minimised (by the user or the idle timer).
    void minimised();
    /// The main window came back from minimised; true when that locked it.
    bool restored();
    /// The idle timer fired; true when the window must minimise now.
    bool idleTimerFired() const { return m_phase == Phase::Working; }
    /// The logon dialog was closed (Cancel, close box): the program ends, writing only what a
    /// failed lock write would otherwise lose.
    void logonClosed();
    /// The main window's close: the close sequence when working; true when it ran (the
    /// clipboard rule then applies).
    bool closeRequested();
    /// "New Data Store...": after the user's Yes, the samples replace the list and the first-run
    /// logon is pending. False when the user declined.
    bool newDataStore();
    /// "Save All"; a data store another program changed is not written over: the user is told
    /// and offered the backup. Other failures propagate.
    void saveAll();

private:
    LogonOutcome firstRunLogon(std::string_view password, const ConfirmPassword& confirm);
    LogonOutcome logon();
    LogonOutcome unlock(std::string_view user, std::string_view password);
    /// Takes the folder's lock once for the rest of the run; false (the user told) when busy.
    bool holdFolder();
    /// Loads the workspace for a new logon; false (reported) when it failed.
    bool load();
    /// The store is damaged: offers to restore a backup in its place; true when that worked.
    bool offerRestore(const std::string& problem);
    void end();
    void tell(UserInterface::Kind kind, std::string_view text);

    Session& m_session;
    UserInterface& m_ui;
    std::chrono::milliseconds m_lockPatience;
    Phase m_phase = Phase::AwaitingLogon;
    bool m_firstRun = false;
    std::optional<std::string> m_lockFailure;
    std::optional<std::string> m_noticeAfterEntry;
    std::optional<FolderLock> m_folderLock;
};

}  // namespace vorkel
