#include "gui/app/MainCommands.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

#include "core/Product.h"
#include "core/session/Messages.h"
#include "gui/app/MainWindow.h"
#include "gui/app/WindowPlacement.h"
#include "gui/entries/EditorPane.h"
#include "gui/entries/ListPane.h"
#include "gui/logon/PasswordChangeDialog.h"
#include "gui/ui/AboutBox.h"
#include "gui/ui/LinkLabel.h"
#include "gui/ui/LinkOpener.h"
#include "gui/ui/MessageService.h"
#include "gui/ui/QtText.h"

namespace vorkel::gui {

using Kind = vorkel::UserInterface::Kind;

namespace {

// The three pieces of the "Tell a Friend" mail, the site's address between them.
constexpr const char* kTellFriendStart =
    "mailto:?subject=Vorkel&body=Hi,%0A%0AYou may be interested in Vorkel.%0A%0ACheck it out "
    "from the following URL: ";
constexpr const char* kTellFriendEnd = "%0A%0AThanks!";

}  // namespace

MainCommands::MainCommands(MainWindow& window, vorkel::Session& session, MessageService& messages,
                           LinkOpener& links)
    : QObject(&window), m_window(window), m_session(session), m_ui(messages), m_links(links) {
    buildMenus();
    buildToolBar();

    EditorPane& editor = window.editorPane();
    connect(&editor, &EditorPane::linkRequested, this,
            [this](const QString& text) { m_links.OpenLink(text); });
    connect(&editor, &EditorPane::generateClicked, this,
            [this] { run(&MainCommands::btnGenPassword1Click); });
    connect(&editor, &EditorPane::editTypesClicked, this,
            [this] { run(&MainCommands::btnEditTypeClick); });
    connect(&editor, &EditorPane::pickDateClicked, this,
            [this] { run(&MainCommands::btnDateClick); });
    connect(&editor, &EditorPane::autoFillClicked, this,
            [this] { run(&MainCommands::btnAutoEnterClick); });
    // Keys typed into the editor are stored into the selected row's entry: with no row
    // selected they would go nowhere, so the editor takes none until a row is selected.
    connect(&window.listPane(), &ListPane::selectionPresenceChanged, &editor,
            &EditorPane::setTypingEnabled);
}

void MainCommands::run(Handler handler) {
    // Locked, or a new account pending: the window takes no commands, whatever reaches it.
    if (!m_window.runState().takesCommands()) return;
    m_window.guarded([this, handler] { (this->*handler)(); });
}

QMenu* MainCommands::menu(const char* caption, const char* name) {
    QMenu* m = m_window.menuBar()->addMenu(QString::fromUtf8(caption));
    m->setObjectName(name);
    return m;
}

void MainCommands::item(QMenu* menu, const char* caption, const char* name, Handler handler) {
    QAction* action = menu->addAction(QString::fromUtf8(caption));
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, [this, handler] { run(handler); });
}

void MainCommands::buildMenus() {
    m_window.menuBar()->setObjectName("MainMenu1");
    QMenu* file = menu("File", "File1");
    item(file, "Add Password...", "AddPassword1", &MainCommands::btnAddTitleClick);
    item(file, "Delete Password...", "DeletePassword1", &MainCommands::btnDeleteTitleClick);
    item(file, "Save All", "itemSave", &MainCommands::btnSaveAllClick);
    file->addSeparator();
    item(file, "New Data Store...", "NewDataStore1", &MainCommands::NewDataStore1Click);
    file->addSeparator();
    item(file, "Backup Data...", "Backup", &MainCommands::BackupClick);
    item(file, "Restore Data...", "Restore", &MainCommands::RestoreClick);
    file->addSeparator();
    item(file, "Exit", "Exit1", &MainCommands::Exit1Click);

    QMenu* edit = menu("Edit", "Edit1");
    item(edit, "Cut", "Cut1", &MainCommands::Cut1Click);
    item(edit, "Copy", "Copy1", &MainCommands::Copy1Click);
    item(edit, "Paste", "Paste1", &MainCommands::Paste1Click);
    edit->addSeparator();
    item(edit, "Copy Web site URL", "CopyWebsiteURL1", &MainCommands::CopyWebsiteURL1Click);
    item(edit, "Copy Username", "CopyUsername1", &MainCommands::CopyUsername1Click);
    item(edit, "Copy Email", "CopyEmail1", &MainCommands::CopyEmail1Click);
    item(edit, "Copy Password", "CopyPassword1", &MainCommands::CopyPassword1Click);
    item(edit, "Copy Passphrase", "CopyPassphrase1", &MainCommands::CopyPassphrase1Click);
    edit->addSeparator();
    item(edit, "Advanced Search...", "Find1", &MainCommands::btnSearchClick);
    edit->addSeparator();
    item(edit, "Clear Clipboard", "ClearClipboard1", &MainCommands::ClearClipboard1Click);

    QMenu* view = menu("View", "View1");
    item(view, "Password Details", "PasswordDetails1", &MainCommands::btnDetailsClick);

    QMenu* tools = menu("Tools", "Tools1");
    item(tools, "Change Master Password...", "ChangeMasterPassword1",
         &MainCommands::ChangeMasterPassword1Click);
    item(tools, "Generate Password...", "GeneratePassword1", &MainCommands::btnGenPasswordClick);
    item(tools, "Onscreen Keyboard...", "itemOnscreenKeyboard",
         &MainCommands::itemOnscreenKeyboardClick);
    tools->addSeparator();
    item(tools, "Options...", "Options1", &MainCommands::btnOptions1Click);
    item(tools, "Password Types...", "PasswordTypes1", &MainCommands::btnEditTypeClick);

    QMenu* windowMenu = menu("Window", "Window1");
    item(windowMenu, "Default", "Default1", &MainCommands::Default1Click);
    item(windowMenu, "Small", "Small1", &MainCommands::Small1Click);
    item(windowMenu, "Medium", "Medium1", &MainCommands::Medium1Click);
    item(windowMenu, "Large", "Large1", &MainCommands::Large1Click);
    item(windowMenu, "Full Screen", "FullScreen1", &MainCommands::FullScreen1Click);

    QMenu* help = menu("Help", "Help1");
    item(help, "Contents", "Contents1", &MainCommands::Contents1Click);
    item(help, "Support", "Support1", &MainCommands::Support1Click);
    help->addSeparator();
    item(help, "About...", "About1", &MainCommands::About1Click);
}

void MainCommands::button(QToolBar* bar, const char* caption, const char* name, int icon,
                          Handler handler) {
    auto* b = new QToolButton(bar);
    b->setObjectName(name);
    b->setText(QString::fromUtf8(caption));
    b->setIcon(m_window.style()->standardIcon(static_cast<QStyle::StandardPixmap>(icon)));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    connect(b, &QToolButton::clicked, this, [this, handler] { run(handler); });
    bar->addWidget(b);
}

void MainCommands::buildToolBar() {
    auto* bar = new QToolBar("Password Maintenance", &m_window);
    bar->setObjectName("ToolBar1");
    bar->setMovable(false);
    bar->setIconSize(QSize(32, 32));
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_window.addToolBar(Qt::TopToolBarArea, bar);
    button(bar, "Add", "btnAddTitleV", QStyle::SP_FileIcon, &MainCommands::btnAddTitleClick);
    button(bar, "Details", "btnDetailsV", QStyle::SP_FileDialogDetailedView,
           &MainCommands::btnDetailsClick);
    button(bar, "Save", "btnSaveV", QStyle::SP_DialogSaveButton, &MainCommands::btnSaveAllClick);
    button(bar, "Options", "btnOptions1", QStyle::SP_ComputerIcon, &MainCommands::btnOptions1Click);
    button(bar, "Delete ", "btnDeleteTitle", QStyle::SP_TrashIcon,
           &MainCommands::btnDeleteTitleClick);
    button(bar, "Onscreen Keyboard", "btnRefresh", QStyle::SP_DesktopIcon,
           &MainCommands::itemOnscreenKeyboardClick);
    button(bar, "Advanced Search", "btnSearch", QStyle::SP_FileDialogContentsView,
           &MainCommands::btnSearchClick);
    button(bar, "Generate Password", "btnGenPassword", QStyle::SP_BrowserReload,
           &MainCommands::btnGenPasswordClick);

    // Below the buttons, a strip with the toolbar's caption and, at the right, the two links.
    // Beside the buttons they would not fit the window's width and would go to the toolbar's
    // overflow menu, out of sight.
    m_window.addToolBarBreak(Qt::TopToolBarArea);
    auto* strip = new QToolBar(QStringLiteral("Password Maintenance links"), &m_window);
    strip->setObjectName("ToolBar1Caption");
    strip->setMovable(false);
    strip->toggleViewAction()->setVisible(false);
    auto* row = new QWidget(strip);
    row->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto* rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(6, 0, 6, 0);
    auto* caption = new QLabel(bar->windowTitle(), row);
    caption->setObjectName("lblToolBarCaption");
    auto* site = new LinkLabel(toQString(vorkel::kProductWebSite), "lblVorkelURL", row);
    auto* friendLink = new LinkLabel("Tell a Friend", "lblTellFriend", row);
    rowLayout->addWidget(caption);
    rowLayout->addStretch(1);
    rowLayout->addWidget(site);
    rowLayout->addSpacing(16);
    rowLayout->addWidget(friendLink);
    strip->addWidget(row);
    m_window.addToolBar(Qt::TopToolBarArea, strip);
    connect(site, &LinkLabel::clicked, this, [this] { run(&MainCommands::lblVorkelURLClick); });
    connect(friendLink, &LinkLabel::clicked, this,
            [this] { run(&MainCommands::lblTellFriendClick); });
}

void MainCommands::btnAddTitleClick() {
    PromptNewEntry();
}

void MainCommands::PromptNewEntry() {
    const auto title = m_ui.inputText(std::string(vorkel::msg::kNewEntryCaption),
                                      std::string(vorkel::msg::kNewEntryPrompt), "");
    if (!title) return;
    m_window.listPane().changeRows(
        [&]() -> std::optional<std::size_t> { return m_session.AddEntry(*title); });
}

void MainCommands::btnDeleteTitleClick() {
    ListPane& list = m_window.listPane();
    const auto row = list.selectedRow();
    if (!row) return;
    const vorkel::EntryPtr entry = m_session.workspace().entryOfRow(*row);
    if (!entry) return;
    const std::string question =
        std::string(vorkel::msg::kDeleteQuestionStart) + std::string(entry->title()) + "?";
    if (!m_ui.askOkCancel(Kind::Confirm, question)) return;
    list.changeRows([&] { return m_session.workspace().DeleteEntry(*row); });
}

void MainCommands::btnSaveAllClick() {
    m_window.saveAll();
}

void MainCommands::NewDataStore1Click() {
    m_window.newDataStore();
}

void MainCommands::BackupClick() {
    m_session.Backup(m_ui);
}

void MainCommands::RestoreClick() {
    const auto path = m_ui.chooseOpenFile();
    if (!path) return;
    if (!m_ui.askYesNo(Kind::Warning, std::string(vorkel::msg::kRestoreOverwrite))) return;
    // Loaded first: a file that does not open leaves the list and the editor as they were,
    // rather than an empty list that the next save would write over the data store.
    auto entries = m_session.ReadBackup(*path);
    m_window.listPane().changeRows([&]() -> std::optional<std::size_t> {
        m_session.RestoreEntries(std::move(entries));
        return 0;  // a restore always leaves entries: the samples at least
    });
}

void MainCommands::Exit1Click() {
    m_window.close();
}

void MainCommands::ChangeMasterPassword1Click() {
    PasswordChangeDialog dialog(m_session, m_ui, &m_window);
    dialog.exec();
}

void MainCommands::Default1Click() {
    WindowPlacement::applyPreset(m_window, vorkel::SizePreset::Default);
}
void MainCommands::Small1Click() {
    WindowPlacement::applyPreset(m_window, vorkel::SizePreset::Small);
}
void MainCommands::Medium1Click() {
    WindowPlacement::applyPreset(m_window, vorkel::SizePreset::Medium);
}
void MainCommands::Large1Click() {
    WindowPlacement::applyPreset(m_window, vorkel::SizePreset::Large);
}
void MainCommands::FullScreen1Click() {
    WindowPlacement::applyPreset(m_window, vorkel::SizePreset::FullScreen);
}

void MainCommands::Contents1Click() {
    // The help page stands where the help file would, beside the program.
    m_links.OpenFile(toQString(m_session.ProgramFolder()) + "Vorkel.html");
}

void MainCommands::Support1Click() {
    m_links.OpenLink(toQString(vorkel::kProductWebSite) + "support");
}

void MainCommands::About1Click() {
    AboutBox box(m_links, &m_window);
    box.exec();
}

void MainCommands::lblVorkelURLClick() {
    m_links.OpenLink(m_window.findChild<LinkLabel*>("lblVorkelURL")->text());
}

void MainCommands::lblTellFriendClick() {
    const QString site = m_window.findChild<LinkLabel*>("lblVorkelURL")->text();
    m_links.OpenLink(QString::fromUtf8(kTellFriendStart) + site +
                     QString::fromUtf8(kTellFriendEnd));
}

}  // namespace vorkel::gui
