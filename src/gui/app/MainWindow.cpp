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

#include "core/session/Messages.h"
#include "gui/app/IdleLock.h"
#include "gui/app/MainCommands.h"
#include "gui/app/ToolTipGate.h"
#include "gui/app/WindowPlacement.h"
#include "gui/entries/EditorPane.h"
#include "gui/entries/ListPane.h"
#include "gui/logon/LogonDialog.h"
#include "gui/ui/MessageService.h"
#include "gui/ui/QtText.h"
#include "gui/ui/SecretClipboard.h"

namespace vorkel::gui {

using vorkel::Options;

MainWindow::MainWindow(vorkel::Session& session, MessageService& messages, LinkOpener& links,
                       QWidget* parent)
    : QMainWindow(parent), m_session(session), m_ui(messages), m_run(session, messages) {
    setObjectName("TfmMain");
    setWindowTitle(toQString(vorkel::msg::kMainCaption));
    QPalette ground = palette();
    ground.setColor(QPalette::Window, QColor(176, 204, 247));
    setPalette(ground);
    setFont(QFont("Tahoma", 8));

    buildRegions();
    m_commands = std::make_unique<MainCommands>(*this, session, messages, links);
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
            [this](std::optional<std::size_t> row) { guarded([&] { ShowEntry(row); }); });
    connect(m_list, &ListPane::shownEntryGone, m_editor, &EditorPane::ClearEditor);
    connect(m_editor, &EditorPane::fieldKeyReleased, this, &MainWindow::StoreEntry);
    connect(m_editor, &EditorPane::typePicked, this, &MainWindow::StoreEntry);
}

void MainWindow::guarded(const std::function<void()>& command) {
    m_ui.guarded(command);
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
    guarded([this] { LoadWorkspace(); });
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
    guarded([this] { m_session.StoreEntry(m_list->selectedRow(), m_editor->fields()); });
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

void MainWindow::saveAll() {
    rememberGeometry();
    m_run.saveAll();
}

void MainWindow::newDataStore() {
    if (!m_run.newDataStore()) return;
    m_list->showRebuiltRows();
    // The window stays in view behind the first-run logon but takes no commands until it is
    // done: nothing may be saved under a pair nobody has confirmed.
    setCommandsEnabled(false);
    showLogon(true);
}

void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange) {
        const bool was =
            static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowMinimized;
        const bool now = windowState() & Qt::WindowMinimized;
        if (!was && now) guarded([this] { windowMinimised(); });
        if (was && !now) guarded([this] { windowRestored(); });
    }
    QMainWindow::changeEvent(event);
}

void MainWindow::windowMinimised() {
    if (!m_run.minimiseLocks()) return;
    m_commands->cancelAutoFill();
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
    m_commands->cancelAutoFill();
    if (m_ended) return;
    bool closeSequence = false;
    guarded([&] {
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
