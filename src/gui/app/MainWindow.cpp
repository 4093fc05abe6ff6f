#include "gui/app/MainWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QWindow>
#include <QWindowStateChangeEvent>
#include <utility>

#include "core/Product.h"
#include "core/session/Messages.h"
#include "gui/app/AutoFillController.h"
#include "gui/app/ClipboardCommands.h"
#include "gui/app/CommandBars.h"
#include "gui/app/EntryCommands.h"
#include "gui/app/FileCommands.h"
#include "gui/app/HelpCommands.h"
#include "gui/app/IdleLock.h"
#include "gui/app/ToolCommands.h"
#include "gui/app/ToolTipGate.h"
#include "gui/app/WindowPlacement.h"
#include "gui/app/WindowPresets.h"
#include "gui/entries/EditorPane.h"
#include "gui/entries/ListPane.h"
#include "gui/logon/LogonDialog.h"
#include "gui/ui/LinkOpener.h"
#include "gui/ui/MessageService.h"
#include "gui/ui/QtText.h"
#include "gui/ui/SecretClipboard.h"

namespace vorkel::gui {

using vorkel::Options;

MainWindow::MainWindow(vorkel::Session& session, MessageService& messages, LinkOpener& links,
                       QWidget* parent)
    : QMainWindow(parent),
      m_session(session),
      m_ui(messages),
      m_run(session, messages),
      m_links(links) {
    setObjectName("TfmMain");
    setWindowTitle(toQString(vorkel::msg::kMainCaption));
    QPalette ground = palette();
    ground.setColor(QPalette::Window, QColor(176, 204, 247));
    setPalette(ground);
    setFont(QFont("Tahoma", 8));

    buildRegions();
    buildCommands();
    m_idle = std::make_unique<IdleLock>(*this);
    connect(m_idle.get(), &IdleLock::idle, this, &MainWindow::tmrMinimiseTimer);
    connect(m_idle.get(), &IdleLock::keyReleased, this, &MainWindow::RestartIdleTimer);
    m_toolTips = std::make_unique<ToolTipGate>();

    // One dialog for every logon of the run; as a child window it has no taskbar entry.
    m_logon = new LogonDialog(m_run, messages, this);
    connect(m_logon, &LogonDialog::entered, this, &MainWindow::CompleteLogon);
    connect(m_logon, &LogonDialog::programEnd, this, &MainWindow::logonClosed);

    move(0, 0);
    resize(784, 718);
}

MainWindow::~MainWindow() {
    // The children outlive this part of the object; none may call back into it.
    disconnect(m_logon, nullptr, this, nullptr);
    // The search window watches this window's events (the Hide that QWidget's destructor sends
    // included) and asks it whether it is locked: by then there is no run state to ask.
    for (QObject* watcher : findChildren<QObject*>()) removeEventFilter(watcher);
    m_idle.reset();
}

void MainWindow::buildRegions() {
    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_list = new ListPane(m_session, central);
    m_list->setFixedWidth(249);  // only the right pane follows the window's width
    m_editor = new EditorPane(central);
    layout->addWidget(m_list);
    layout->addWidget(m_editor, 1);
    // The "Small" preset is 400 pixels high, less than the editor's natural height: the panes
    // then clip rather than the window refusing the size.
    central->setMinimumHeight(1);
    setCentralWidget(central);

    auto* status = new QStatusBar(this);
    status->setObjectName("StatusBar1");
    auto* panel = new QLabel(status);
    panel->setFixedWidth(100);
    status->addWidget(panel);
    setStatusBar(status);

    connect(m_list, &ListPane::rowSelected, this,
            [this](std::optional<std::size_t> row) { m_ui.guarded([&] { ShowEntry(row); }); });
    connect(m_list, &ListPane::shownEntryGone, m_editor, &EditorPane::ClearEditor);
    connect(m_editor, &EditorPane::fieldKeyReleased, this, &MainWindow::StoreEntry);
    connect(m_editor, &EditorPane::typePicked, this, &MainWindow::StoreEntry);
}

void MainWindow::buildCommands() {
    m_clipboard = std::make_unique<ClipboardCommands>(*m_editor);
    m_entries = std::make_unique<EntryCommands>(m_session, m_ui, *m_list, *m_editor, *this);
    m_files = std::make_unique<FileCommands>(m_session, m_run, m_ui, *m_list);
    m_tools = std::make_unique<ToolCommands>(m_session, m_run, m_ui, *m_list, *this);
    m_presets = std::make_unique<WindowPresets>(*this);
    m_help = std::make_unique<HelpCommands>(m_session, m_links, *this);
    m_autoFill = std::make_unique<AutoFillController>(*m_editor, m_ui, *this);
    connect(m_files.get(), &FileCommands::aboutToSave, this, &MainWindow::rememberGeometry);
    connect(m_files.get(), &FileCommands::newDataStoreBegun, this, [this] {
        // The window stays in view behind the first-run logon but takes no commands until it
        // is done: nothing may be saved under a pair nobody has confirmed.
        setCommandsEnabled(false);
        showLogon(true);
    });
    connect(m_tools.get(), &ToolCommands::displayOptionsChanged, this,
            &MainWindow::ApplyDisplayOptions);

    auto on = [](auto* object, auto method) -> CommandBars::Command {
        return [object, method] { (object->*method)(); };
    };
    CommandBars bars(*this, [this](const CommandBars::Command& command) { runCommand(command); });
    menuBar()->setObjectName("MainMenu1");
    QMenu* file = bars.menu("File", "File1");
    EntryCommands* entries = m_entries.get();
    FileCommands* files = m_files.get();
    bars.item(file, "Add Password...", "AddPassword1",
              on(entries, &EntryCommands::btnAddTitleClick));
    bars.item(file, "Delete Password...", "DeletePassword1",
              on(entries, &EntryCommands::btnDeleteTitleClick));
    bars.item(file, "Save All", "itemSave", on(files, &FileCommands::btnSaveAllClick));
    file->addSeparator();
    bars.item(file, "New Data Store...", "NewDataStore1",
              on(files, &FileCommands::NewDataStore1Click));
    file->addSeparator();
    bars.item(file, "Backup Data...", "Backup", on(files, &FileCommands::BackupClick));
    bars.item(file, "Restore Data...", "Restore", on(files, &FileCommands::RestoreClick));
    file->addSeparator();
    bars.item(file, "Exit", "Exit1", [this] { close(); });

    QMenu* edit = bars.menu("Edit", "Edit1");
    ClipboardCommands* clip = m_clipboard.get();
    bars.item(edit, "Cut", "Cut1", on(clip, &ClipboardCommands::Cut1Click));
    bars.item(edit, "Copy", "Copy1", on(clip, &ClipboardCommands::Copy1Click));
    bars.item(edit, "Paste", "Paste1", on(clip, &ClipboardCommands::Paste1Click));
    edit->addSeparator();
    bars.item(edit, "Copy Web site URL", "CopyWebsiteURL1",
              on(clip, &ClipboardCommands::CopyWebsiteURL1Click));
    bars.item(edit, "Copy Username", "CopyUsername1",
              on(clip, &ClipboardCommands::CopyUsername1Click));
    bars.item(edit, "Copy Email", "CopyEmail1", on(clip, &ClipboardCommands::CopyEmail1Click));
    bars.item(edit, "Copy Password", "CopyPassword1",
              on(clip, &ClipboardCommands::CopyPassword1Click));
    bars.item(edit, "Copy Passphrase", "CopyPassphrase1",
              on(clip, &ClipboardCommands::CopyPassphrase1Click));
    edit->addSeparator();
    ToolCommands* tools = m_tools.get();
    bars.item(edit, "Advanced Search...", "Find1", on(tools, &ToolCommands::btnSearchClick));
    edit->addSeparator();
    bars.item(edit, "Clear Clipboard", "ClearClipboard1",
              on(clip, &ClipboardCommands::ClearClipboard1Click));

    QMenu* view = bars.menu("View", "View1");
    bars.item(view, "Password Details", "PasswordDetails1",
              on(entries, &EntryCommands::btnDetailsClick));

    QMenu* toolsMenu = bars.menu("Tools", "Tools1");
    bars.item(toolsMenu, "Change Master Password...", "ChangeMasterPassword1",
              on(tools, &ToolCommands::ChangeMasterPassword1Click));
    bars.item(toolsMenu, "Generate Password...", "GeneratePassword1",
              on(tools, &ToolCommands::btnGenPasswordClick));
    bars.item(toolsMenu, "Onscreen Keyboard...", "itemOnscreenKeyboard",
              on(tools, &ToolCommands::itemOnscreenKeyboardClick));
    toolsMenu->addSeparator();
    bars.item(toolsMenu, "Options...", "Options1", on(tools, &ToolCommands::btnOptions1Click));
    bars.item(toolsMenu, "Password Types...", "PasswordTypes1",
              on(entries, &EntryCommands::btnEditTypeClick));

    QMenu* windowMenu = bars.menu("Window", "Window1");
    WindowPresets* presets = m_presets.get();
    bars.item(windowMenu, "Default", "Default1", on(presets, &WindowPresets::Default1Click));
    bars.item(windowMenu, "Small", "Small1", on(presets, &WindowPresets::Small1Click));
    bars.item(windowMenu, "Medium", "Medium1", on(presets, &WindowPresets::Medium1Click));
    bars.item(windowMenu, "Large", "Large1", on(presets, &WindowPresets::Large1Click));
    bars.item(windowMenu, "Full Screen", "FullScreen1",
              on(presets, &WindowPresets::FullScreen1Click));

    QMenu* help = bars.menu("Help", "Help1");
    HelpCommands* helpCommands = m_help.get();
    bars.item(help, "Contents", "Contents1", on(helpCommands, &HelpCommands::Contents1Click));
    bars.item(help, "Support", "Support1", on(helpCommands, &HelpCommands::Support1Click));
    help->addSeparator();
    bars.item(help, "About...", "About1", on(helpCommands, &HelpCommands::About1Click));

    QToolBar* bar = bars.toolBar("Password Maintenance", "ToolBar1");
    bars.button(bar, "Add", "btnAddTitleV", QStyle::SP_FileIcon,
                on(entries, &EntryCommands::btnAddTitleClick));
    bars.button(bar, "Details", "btnDetailsV", QStyle::SP_FileDialogDetailedView,
                on(entries, &EntryCommands::btnDetailsClick));
    bars.button(bar, "Save", "btnSaveV", QStyle::SP_DialogSaveButton,
                on(files, &FileCommands::btnSaveAllClick));
    bars.button(bar, "Options", "btnOptions1", QStyle::SP_ComputerIcon,
                on(tools, &ToolCommands::btnOptions1Click));
    bars.button(bar, "Delete ", "btnDeleteTitle", QStyle::SP_TrashIcon,
                on(entries, &EntryCommands::btnDeleteTitleClick));
    bars.button(bar, "Onscreen Keyboard", "btnRefresh", QStyle::SP_DesktopIcon,
                on(tools, &ToolCommands::itemOnscreenKeyboardClick));
    bars.button(bar, "Advanced Search", "btnSearch", QStyle::SP_FileDialogContentsView,
                on(tools, &ToolCommands::btnSearchClick));
    bars.button(bar, "Generate Password", "btnGenPassword", QStyle::SP_BrowserReload,
                on(tools, &ToolCommands::btnGenPasswordClick));
    bars.captionStrip(bar, "ToolBar1Caption",
                      {{toQString(vorkel::kProductWebSite), "lblVorkelURL",
                        on(helpCommands, &HelpCommands::lblVorkelURLClick)},
                       {QStringLiteral("Tell a Friend"), "lblTellFriend",
                        on(helpCommands, &HelpCommands::lblTellFriendClick)}});

    connect(m_editor, &EditorPane::linkRequested, this,
            [this](const QString& text) { m_links.OpenLink(text); });
    auto button = [&](auto signal, CommandBars::Command command) {
        connect(m_editor, signal, this, bars.bound(std::move(command)));
    };
    button(&EditorPane::generateClicked, on(entries, &EntryCommands::btnGenPassword1Click));
    button(&EditorPane::editTypesClicked, on(entries, &EntryCommands::btnEditTypeClick));
    button(&EditorPane::pickDateClicked, on(entries, &EntryCommands::btnDateClick));
    button(&EditorPane::autoFillClicked,
           on(m_autoFill.get(), &AutoFillController::btnAutoEnterClick));
    // Keys typed into the editor are stored into the selected row's entry: with no row
    // selected they would go nowhere, so the editor takes none until a row is selected.
    connect(m_list, &ListPane::selectionPresenceChanged, m_editor, &EditorPane::setTypingEnabled);
}

void MainWindow::runCommand(const std::function<void()>& command) {
    // Locked, or a new account pending: the window takes no commands, whatever reaches it.
    if (m_run.takesCommands()) m_ui.guarded(command);
}

void MainWindow::start() {
    m_run.start();
    showLogon(true);
}

void MainWindow::showLogon(bool setPrompt) {
    if (setPrompt) m_logon->SetLogonPrompt();
    m_logon->clearFields();
    m_logon->show();
    m_logon->raise();
    m_logon->activateWindow();
    m_logon->clearFields();  // the focus lands in the user name once the dialog is shown
}

void MainWindow::CompleteLogon() {
    m_ui.guarded([this] { LoadWorkspace(); });
    setCommandsEnabled(true);
    // A window the program minimised itself keeps the window manager's "iconic" start state,
    // and a hidden one would come back minimised at its next showing: its native window is
    // made anew, in the normal state.
    if (!isVisible() && windowHandle()) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
        windowHandle()->destroy();
    }
    show();
    RestoreMainWindow();
    m_logon->hide();
    if (const auto notice = m_run.takeNoticeAfterEntry())
        m_ui.tell(vorkel::UserInterface::Kind::Error, *notice);
}

void MainWindow::LoadWorkspace() {
    // The session has loaded the entries and ordered them A to Z; the box only shows that.
    m_list->fillOrderBox(false);
    WindowPlacement::applySaved(*this, m_session.settings().window);
    m_editor->setPassTypes(m_session.settings().passTypes);
    ApplyDisplayOptions();
    m_list->showRebuiltRows();
}

void MainWindow::ShowEntry(std::optional<std::size_t> row) {
    if (!row) return;
    const vorkel::EntryPtr entry = m_session.workspace().entryOfRow(*row);
    if (!entry) return;
    // The details panel follows the selection by itself.
    m_editor->ShowEntry(*entry);
}

void MainWindow::StoreEntry() {
    m_ui.guarded([this] { m_entries->StoreEntry(); });
}

void MainWindow::ApplyDisplayOptions() {
    const Options& options = m_session.options();
    m_editor->ApplyDisplayOptions(options);
    m_toolTips->setShown(Options::on(options.ShowToolTips));
    const bool onTop = Options::on(options.AlwaysOnTop);
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) != onTop) {
        // A new window flag re-creates the native window, which hides it; bring it back as it
        // was, in the same place.
        const bool wasVisible = isVisible();
        const QRect placed = geometry();
        setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
        setGeometry(placed);
        if (wasVisible) {
            show();
            raise();
            activateWindow();
        }
    }
    RestartIdleTimer();
}

void MainWindow::RestartIdleTimer() {
    if (!m_ended) m_idle->restart(m_session.options());
}

void MainWindow::RestoreMainWindow() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void MainWindow::tmrMinimiseTimer() {
    if (!m_run.idleTimerFired() || !isVisible() || isMinimized()) return;
    setWindowState(windowState() | Qt::WindowMinimized);
}

void MainWindow::bringForward() {
    if (m_ended) return;
    if (m_run.takesCommands() || m_run.phase() == vorkel::RunState::Phase::LockDue) {
        // The same path as the window's own restore, so a due lock happens here too.
        if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
        if (m_run.takesCommands()) {
            show();
            raise();
            activateWindow();
        }
    }
    if (m_logon->isVisible()) {
        m_logon->raise();
        m_logon->activateWindow();
    }
}

void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange) {
        const bool was =
            static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowMinimized;
        const bool now = windowState() & Qt::WindowMinimized;
        if (!was && now) m_ui.guarded([this] { windowMinimised(); });
        if (was && !now) m_ui.guarded([this] { windowRestored(); });
    }
    QMainWindow::changeEvent(event);
}

void MainWindow::windowMinimised() {
    if (!m_run.minimiseLocks()) return;
    m_autoFill->cancelAutoFill();
    closeOtherWindows();
    // The restore asks for the logon and reloads from disk, so what the user has goes to disk
    // now, as at close, without questions.
    rememberGeometry();
    m_run.minimised();
    if (Options::on(m_session.options().EmptyClipboard)) SecretClipboard::clearIfOurs();
}

void MainWindow::windowRestored() {
    if (m_run.restored()) enterLock();
}

void MainWindow::enterLock() {
    closeOtherWindows();
    // Hidden rather than minimised: a dialog owned by a minimised window may be minimised with
    // it, and either way the window must not be usable until the logon.
    hide();
    showLogon(true);
}

void MainWindow::setCommandsEnabled(bool enabled) {
    // Not the window itself: that would disable the logon dialog it owns along with it.
    centralWidget()->setEnabled(enabled);
    menuBar()->setEnabled(enabled);
    for (QToolBar* bar : findChildren<QToolBar*>()) bar->setEnabled(enabled);
}

void MainWindow::closeOtherWindows() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget == this || widget == m_logon || !widget->isVisible()) continue;
        if (auto* dialog = qobject_cast<QDialog*>(widget))
            dialog->done(QDialog::Rejected);
        else
            widget->hide();
    }
}

void MainWindow::logonClosed() {
    if (m_ended) return;
    m_run.logonClosed();
    if (m_run.phase() == vorkel::RunState::Phase::Ended) endProgram();
}

void MainWindow::endProgram() {
    if (m_ended) return;
    m_ended = true;
    m_idle->stop();
    emit programEnd();
}

void MainWindow::rememberGeometry() {
    m_session.settings().window = WindowPlacement::capture(*this);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    m_autoFill->cancelAutoFill();
    if (m_ended) return;
    bool closeSequence = false;
    m_ui.guarded([&] {
        if (m_run.takesCommands()) rememberGeometry();
        closeSequence = m_run.closeRequested();
    });
    if (m_run.phase() != vorkel::RunState::Phase::Ended) return;
    m_logon->close();
    endProgram();
    if (closeSequence && Options::on(m_session.options().EmptyClipboard))
        QGuiApplication::clipboard()->clear();
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    m_editor->pnlRightBaseResize();
    RestartIdleTimer();
}

}  // namespace vorkel::gui
