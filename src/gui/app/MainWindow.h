#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/session/RunState.h"
#include "core/session/Session.h"

namespace vorkel::gui {

class AutoFillController;
class ClipboardCommands;
class EditorPane;
class EntryCommands;
class FileCommands;
class HelpCommands;
class IdleLock;
class LinkOpener;
class ListPane;
class LogonDialog;
class MessageService;
class ToolCommands;
class ToolTipGate;
class WindowPresets;

/// The main window TfmMain: the entry list on the left, the editor on the right, the commands
/// above, the status bar below. It owns the logon dialog for the whole run and carries the
/// start-up, the workspace load, the close sequence and the idle lock.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    /// Built hidden, with the logon dialog created and the idle timer stopped.
    MainWindow(vorkel::Session& session, MessageService& messages, LinkOpener& links,
               QWidget* parent = nullptr);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    /// Start-up: sets up the logon prompt and shows the logon dialog; the main window appears
    /// only after a logon.
    void start();
    /// After a logon, a new account or an unlock: shows the session's workspace (options
    /// applied, first row), then the window restored and active, and hides the logon dialog.
    void CompleteLogon();
    /// Shows the session's freshly loaded workspace: order box, rows, first row selected.
    void LoadWorkspace();
    /// Shows the entry a visible row stands for in the editor and the details panel.
    void ShowEntry(std::optional<std::size_t> row);
    /// Writes the editor into the entry of the selected row (nothing without one).
    void StoreEntry();
    /// Applies the masking and notes-link options to the editor, keeps the window on top or not,
    /// shows or hides the controls' hints, then RestartIdleTimer.
    void ApplyDisplayOptions();
    /// Re-arms the idle timer from the options, or stops it.
    void RestartIdleTimer();
    /// Brings the window back from minimised and to the front.
    void RestoreMainWindow();
    /// The idle timer fired: minimises the window (no visible effect while locked).
    void tmrMinimiseTimer();
    /// A second start asked this instance to come forward: the logon dialog when it is what
    /// shows, otherwise the window, restored through the same path as the window's own restore.
    void bringForward();
    /// Shows the logon dialog without making it modal, fields empty and the focus in the user
    /// name; `setPrompt` runs SetLogonPrompt first.
    void showLogon(bool setPrompt);
    /// Puts the window's outer geometry into the settings, ahead of a write of the settings file.
    void rememberGeometry();

    /// True from the restore of a locked window until the next logon.
    bool isLocked() const { return m_run.locked(); }
    ListPane& listPane() { return *m_list; }
    EditorPane& editorPane() { return *m_editor; }
    LogonDialog& logonDialog() { return *m_logon; }
    /// Web auto-fill and the browser it drives.
    AutoFillController& autoFill() { return *m_autoFill; }

signals:
    /// The program is over: the logon dialog was closed, or the close sequence finished.
    void programEnd();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildRegions();
    /// The command objects, and the menus, toolbar and editor buttons that run them.
    void buildCommands();
    /// A command from a menu, the toolbar or a button: none while the window takes no commands,
    /// and an unexpected failure is shown.
    void runCommand(const std::function<void()>& command);
    /// The window went to minimised (by the user or the idle timer).
    void windowMinimised();
    /// The window came back from minimised.
    void windowRestored();
    /// Both restore paths end here while the lock is due: window hidden, logon dialog shown.
    void enterLock();
    /// Every window of the program but this and the logon dialog: dialogs cancelled (nothing
    /// is stored from them), the rest hidden, so nothing of an entry stays on screen.
    void closeOtherWindows();
    /// The list, the editor, the menus and the toolbar take input or not.
    void setCommandsEnabled(bool enabled);
    void logonClosed();
    void endProgram();

    vorkel::Session& m_session;
    MessageService& m_ui;
    vorkel::RunState m_run;
    ListPane* m_list = nullptr;
    EditorPane* m_editor = nullptr;
    LogonDialog* m_logon = nullptr;
    LinkOpener& m_links;
    std::unique_ptr<ClipboardCommands> m_clipboard;
    std::unique_ptr<EntryCommands> m_entries;
    std::unique_ptr<FileCommands> m_files;
    std::unique_ptr<ToolCommands> m_tools;
    std::unique_ptr<WindowPresets> m_presets;
    std::unique_ptr<HelpCommands> m_help;
    std::unique_ptr<AutoFillController> m_autoFill;
    std::unique_ptr<IdleLock> m_idle;
    std::unique_ptr<ToolTipGate> m_toolTips;

    bool m_ended = false;  // programEnd was emitted
};

}  // namespace vorkel::gui
