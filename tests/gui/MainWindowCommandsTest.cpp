// The menu bar and the toolbar: every item where it belongs, and every command that works
// already doing its work from either place.

#include <string_view>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>
#include <filesystem>

#include "MainWindowHarness.h"
#include "core/Product.h"
#include "core/session/Messages.h"
#include "gui/entries/ListPane.h"
#include "gui/ui/QtText.h"

using namespace vorkel;
using namespace vorkel::gui;
using namespace vorkel::test;
using Prompt = ScriptedMessageService::Prompt;
using Kind = UserInterface::Kind;

namespace {

const QStringList kSamplesAtoZ = {"A Sample Entry", "Google Email (Gmail)",
                                  "Windows Live (Hotmail)", "Yahoo!"};

/// "caption=name" for each item of a menu, "-" for a separator.
QStringList itemsOf(QMenu* menu) {
    QStringList items;
    for (QAction* a : menu->actions())
        items << (a->isSeparator() ? QString("-") : a->text() + "=" + a->objectName());
    return items;
}

/// A window logged on as bob, with the sample entries saved.
using LoggedOn = LoggedOnWindow;

}  // namespace

class MainWindowCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void theMenusHoldEveryItemInOrder();
    void theToolbarHoldsEveryButtonInOrder();
    void saveFromToolbarAndMenuWritesBothFiles();
    void aFailedSaveIsShownAndTheProgramGoesOn();
    void addFromMenuAndToolbarMakesTheSameEntry();
    void addWithAFilterInForceShowsEveryEntry();
    void deleteWithAFilterInForceRemovesTheNamedEntry();
    void deleteOfTheFirstRowLeavesNoRowSelected();
    void deletingTheLastEntryEmptiesTheEditor();
    void backupOffersTheDatedNameAndWritesOnlyThere();
    void restoreBringsBackTheBackupInItsOrder();
    void restoreThatFailsLeavesTheListAlone();
    void newDataStoreStartsAFirstRunOverTheWindow();
    void exitRunsTheCloseSequence();
    void aboutShowsTheModalBox();
    void theLinksOpenTheirAddresses();
    void theSizePresets();
    void laterCommandsAreConnectedAndQuiet();
};

void MainWindowCommandsTest::theMenusHoldEveryItemInOrder() {
    LoggedOn w;
    QStringList menus;
    for (QAction* a : w->window->menuBar()->actions()) menus << a->text();
    QCOMPARE(menus, QStringList({"File", "Edit", "View", "Tools", "Window", "Help"}));

    QCOMPARE(itemsOf(w->child<QMenu>("File1")),
             QStringList({"Add Password...=AddPassword1", "Delete Password...=DeletePassword1",
                          "Save All=itemSave", "-", "New Data Store...=NewDataStore1", "-",
                          "Backup Data...=Backup", "Restore Data...=Restore", "-", "Exit=Exit1"}));
    QCOMPARE(itemsOf(w->child<QMenu>("Edit1")),
             QStringList({"Cut=Cut1", "Copy=Copy1", "Paste=Paste1", "-",
                          "Copy Web site URL=CopyWebsiteURL1", "Copy Username=CopyUsername1",
                          "Copy Email=CopyEmail1", "Copy Password=CopyPassword1",
                          "Copy Passphrase=CopyPassphrase1", "-", "Advanced Search...=Find1", "-",
                          "Clear Clipboard=ClearClipboard1"}));
    QCOMPARE(itemsOf(w->child<QMenu>("View1")), QStringList({"Password Details=PasswordDetails1"}));
    QCOMPARE(itemsOf(w->child<QMenu>("Tools1")),
             QStringList({"Change Master Password...=ChangeMasterPassword1",
                          "Generate Password...=GeneratePassword1",
                          "Onscreen Keyboard...=itemOnscreenKeyboard", "-", "Options...=Options1",
                          "Password Types...=PasswordTypes1"}));
    QCOMPARE(itemsOf(w->child<QMenu>("Window1")),
             QStringList({"Default=Default1", "Small=Small1", "Medium=Medium1", "Large=Large1",
                          "Full Screen=FullScreen1"}));
    QCOMPARE(itemsOf(w->child<QMenu>("Help1")),
             QStringList({"Contents=Contents1", "Support=Support1", "-", "About...=About1"}));

    for (QAction* a : w->window->findChildren<QAction*>())
        QVERIFY2(a->shortcut().isEmpty(), qPrintable(a->objectName()));
}

void MainWindowCommandsTest::theToolbarHoldsEveryButtonInOrder() {
    LoggedOn w;
    auto* bar = w->child<QToolBar>("ToolBar1");
    QVERIFY(bar);
    QCOMPARE(bar->windowTitle(), QString("Password Maintenance"));
    QStringList buttons;
    for (QAction* a : bar->actions())
        if (auto* b = qobject_cast<QToolButton*>(bar->widgetForAction(a))) {
            buttons << b->objectName() + "=" + b->text();
            QCOMPARE(b->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
            QVERIFY(!b->icon().isNull());
        }
    QCOMPARE(buttons, QStringList({"btnAddTitleV=Add", "btnDetailsV=Details", "btnSaveV=Save",
                                   "btnOptions1=Options", "btnDeleteTitle=Delete ",
                                   "btnRefresh=Onscreen Keyboard", "btnSearch=Advanced Search",
                                   "btnGenPassword=Generate Password"}));
    QCOMPARE(w->child<QLabel>("lblVorkelURL")->text(), toQString(kProductWebSite));
    QCOMPARE(w->child<QLabel>("lblTellFriend")->text(), QString("Tell a Friend"));
    QCOMPARE(w->child<QLabel>("lblTellFriend")->cursor().shape(), Qt::PointingHandCursor);
    QVERIFY(w->child<QWidget>("StatusBar1"));
    QCOMPARE(w->child<QWidget>("pnlLeft")->width(), 249);
}

void MainWindowCommandsTest::saveFromToolbarAndMenuWritesBothFiles() {
    LoggedOn w;
    QTest::keyClicks(w->field("editTitle"), " saved");
    std::filesystem::remove(w->session.dataStorePath());
    std::filesystem::remove(w->session.settingsPath());
    w.button("btnSaveV");
    QVERIFY(exists(w->session.dataStorePath()));
    QVERIFY(exists(w->session.settingsPath()));
    QCOMPARE(storedTitles(w.dir.path(), "bob", "pw")[0], std::string("A Sample Entry saved"));

    std::filesystem::remove(w->session.dataStorePath());
    std::filesystem::remove(w->session.settingsPath());
    w.menu("itemSave");
    QVERIFY(exists(w->session.dataStorePath()));
    QVERIFY(exists(w->session.settingsPath()));
    QVERIFY(w->ui.said.empty());
}

void MainWindowCommandsTest::aFailedSaveIsShownAndTheProgramGoesOn() {
    LoggedOn w;
    std::filesystem::remove(w->session.dataStorePath());
    std::filesystem::create_directory(w->session.dataStorePath());
    w.button("btnSaveV");
    QCOMPARE(w->ui.said.size(), std::size_t(1));
    QCOMPARE(w->ui.said[0].prompt, Prompt::Unexpected);
    QVERIFY(w->window->isVisible());
    QCOMPARE(w->rowCount(), 4);
}

void MainWindowCommandsTest::addFromMenuAndToolbarMakesTheSameEntry() {
    LoggedOn w;
    w->clock.set({2011, 1, 2, 3, 4, 5});
    w->ui.inputs = {std::string("From the menu"), std::string("From the toolbar"), std::nullopt,
                    std::string("")};
    w.menu("AddPassword1");
    QCOMPARE(w->ui.said[0].prompt, Prompt::Input);
    QCOMPARE(w->ui.said[0].caption, std::string(msg::kNewEntryCaption));
    QCOMPARE(w->ui.said[0].text, std::string(msg::kNewEntryPrompt));
    QCOMPARE(w->ui.said[0].initial, std::string());
    QCOMPARE(w->titles().last(), QString("From the menu"));
    QCOMPARE(w->selectedRow(), std::optional<int>(4));
    QCOMPARE(w->field("editTitle")->text(), QString("From the menu"));

    w.button("btnAddTitleV");
    QCOMPARE(w->titles().last(), QString("From the toolbar"));
    QCOMPARE(w->selectedRow(), std::optional<int>(5));

    for (const char* title : {"From the menu", "From the toolbar"}) {
        const EntryPtr e = w->entryTitled(title);
        QVERIFY(e);
        for (Field f : {Field::Detail, Field::Password, Field::Passphrase, Field::Type,
                        Field::Expires, Field::Username, Field::Email, Field::WebURL})
            QCOMPARE(e->get(f), std::string_view());
        for (Field f : {Field::ModifyCount, Field::AccessCount})
            QCOMPARE(e->get(f), std::string_view("1"));
        for (Field f : {Field::CreatedBy, Field::ModifiedBy, Field::AccessedBy})
            QCOMPARE(e->get(f), std::string_view("bob"));
        QCOMPARE(e->get(Field::AllowedAccess), std::string_view("Private"));
        QCOMPARE(e->get(Field::CreateDate), std::string_view("02/01/2011 03:04:05"));
    }

    // Cancel adds nothing; an empty description is accepted.
    w.menu("AddPassword1");
    QCOMPARE(w->rowCount(), 6);
    w.menu("AddPassword1");
    QCOMPARE(w->rowCount(), 7);
    QCOMPARE(w->titles().last(), QString());
    QCOMPARE(w->selectedRow(), std::optional<int>(6));
}

void MainWindowCommandsTest::addWithAFilterInForceShowsEveryEntry() {
    LoggedOn w;
    QTest::mouseClick(w->search(), Qt::LeftButton);
    QTest::keyClicks(w->search(), "mail");
    QCOMPARE(w->rowCount(), 2);
    w->ui.inputs = {std::string("Bank")};
    w.button("btnAddTitleV");
    QCOMPARE(w->titles(), kSamplesAtoZ + QStringList({"Bank"}));
    QCOMPARE(w->search()->text(), QString("<Search Here>"));
    QCOMPARE(w->selectedRow(), std::optional<int>(4));
    QCOMPARE(w->field("editTitle")->text(), QString("Bank"));
}

void MainWindowCommandsTest::deleteWithAFilterInForceRemovesTheNamedEntry() {
    LoggedOn w;
    QTest::mouseClick(w->search(), Qt::LeftButton);
    QTest::keyClicks(w->search(), "mail");
    w->clickRow(1);
    QCOMPARE(w->field("editTitle")->text(), QString("Windows Live (Hotmail)"));

    w->ui.okCancel = {false, true};
    w.button("btnDeleteTitle");
    QCOMPARE(w->rowCount(), 2);  // cancelled: nothing changes
    w.menu("DeletePassword1");
    QCOMPARE(w->ui.said.size(), std::size_t(2));
    for (const auto& s : w->ui.said) {
        QCOMPARE(s.prompt, Prompt::OkCancel);
        QCOMPARE(s.kind, Kind::Confirm);
        QCOMPARE(s.text,
                 std::string("Are you sure you want to delete the password titled Windows Live "
                             "(Hotmail)?"));
    }
    QCOMPARE(w->titles(), QStringList({"A Sample Entry", "Google Email (Gmail)", "Yahoo!"}));
    QVERIFY(!w->entryTitled("Windows Live (Hotmail)"));
    QCOMPARE(w->search()->text(), QString("<Search Here>"));
    // Row P - 1 of the rebuilt list, P being the deleted row's place in the filtered one.
    QCOMPARE(w->selectedRow(), std::optional<int>(0));
    QCOMPARE(w->field("editTitle")->text(), QString("A Sample Entry"));
}

void MainWindowCommandsTest::deleteOfTheFirstRowLeavesNoRowSelected() {
    LoggedOn w;
    w->ui.okCancel = {true, true};
    w->clickRow(2);
    w.button("btnDeleteTitle");
    QCOMPARE(w->selectedRow(), std::optional<int>(1));
    QCOMPARE(w->field("editTitle")->text(), QString("Google Email (Gmail)"));

    w->clickRow(0);
    w.button("btnDeleteTitle");
    QCOMPARE(w->titles(), QStringList({"Google Email (Gmail)", "Yahoo!"}));
    QCOMPARE(w->selectedRow(), std::nullopt);
    // With no row selected, typing stores nowhere and delete asks nothing.
    const std::size_t said = w->ui.said.size();
    QTest::keyClicks(w->field("editTitle"), "x");
    QVERIFY(!w->entryTitled("A Sample Entryx"));
    w.button("btnDeleteTitle");
    QCOMPARE(w->ui.said.size(), said);
    QCOMPARE(w->rowCount(), 2);
}

void MainWindowCommandsTest::deletingTheLastEntryEmptiesTheEditor() {
    LoggedOn w;
    w->ui.okCancel = {true, true, true, true};
    for (int i = 0; i < 4; ++i) {
        w->clickRow(w->rowCount() - 1);
        w.menu("DeletePassword1");
    }
    QCOMPARE(w->rowCount(), 0);
    for (const char* name : {"editTitle", "editURL", "editUsername", "editEmail", "editPassword",
                             "editPassPhrase", "editExpires"})
        QVERIFY2(w->field(name)->text().isEmpty(), name);
    QVERIFY(w->notes()->toPlainText().isEmpty());
    QVERIFY(w->child<QLabel>("lblTitleDesc")->text().isEmpty());
    QVERIFY(w->child<QLabel>("lblCreated")->text().isEmpty());
}

void MainWindowCommandsTest::backupOffersTheDatedNameAndWritesOnlyThere() {
    LoggedOn w;
    const std::string store = w->dataStore();
    w->ui.fileNames = {std::nullopt, w.dir.file("backup.xdb"), w.dir.path()};
    w.menu("Backup");  // cancelled
    QVERIFY(!exists(w.dir.file("backup.xdb")));
    w.menu("Backup");
    QCOMPARE(w->ui.said.size(), std::size_t(2));
    for (const auto& s : w->ui.said) {
        QCOMPARE(s.prompt, Prompt::SaveFile);
        QCOMPARE(s.text, std::string("Vorkel10-12-25.xdb"));
    }
    QCOMPARE(storedTitles(w.dir.path(), "bob", "pw").size(), std::size_t(4));
    QVERIFY(exists(w.dir.file("backup.xdb")));
    QCOMPARE(w->dataStore(), store);
    // A place that cannot be written: the error is shown and the list stays.
    w.menu("Backup");
    QCOMPARE(w->ui.said.size(), std::size_t(4));
    QCOMPARE(w->ui.said[3].kind, Kind::Error);
    QCOMPARE(w->rowCount(), 4);
}

void MainWindowCommandsTest::restoreBringsBackTheBackupInItsOrder() {
    LoggedOn w;
    // "Z - A", then the backup: it holds that order.
    w->orderBox()->setFocus();
    QTest::keyClick(w->orderBox(), Qt::Key_Down);
    w->ui.fileNames = {w.dir.file("zbackup.xdb")};
    w.menu("Backup");
    w->ui.okCancel = {true};
    w->clickRow(0);
    w.button("btnDeleteTitle");
    w->ui.clearSaid();

    w->ui.fileNames = {std::nullopt, w.dir.file("zbackup.xdb"), w.dir.file("zbackup.xdb")};
    w->ui.yesNo = {false, true};
    w.menu("Restore");  // dialog cancelled
    w.menu("Restore");  // warning declined
    QCOMPARE(w->rowCount(), 3);
    w.menu("Restore");
    QCOMPARE(w->ui.said.size(), std::size_t(5));
    QCOMPARE(w->ui.said[2].prompt, Prompt::YesNo);
    QCOMPARE(w->ui.said[2].kind, Kind::Warning);
    QCOMPARE(w->ui.said[2].text, std::string(msg::kRestoreOverwrite));
    QCOMPARE(w->titles(), QStringList({"Yahoo!", "Windows Live (Hotmail)", "Google Email (Gmail)",
                                       "A Sample Entry"}));
    QCOMPARE(w->selectedRow(), std::optional<int>(0));
    QCOMPARE(w->field("editTitle")->text(), QString("Yahoo!"));
    QCOMPARE(w->orderBox()->currentText(), QString("Z - A"));
    // In memory only until the next save.
    QCOMPARE(storedTitles(w.dir.path(), "bob", "pw").size(), std::size_t(4));
}

void MainWindowCommandsTest::restoreThatFailsLeavesTheListAlone() {
    LoggedOn w;
    writeFile(w.dir.file("junk.xdb"), std::string(48, 'j'));
    w->clickRow(2);
    w->ui.fileNames = {w.dir.file("junk.xdb")};
    w->ui.yesNo = {true};
    w.menu("Restore");
    QCOMPARE(w->ui.said.back().prompt, Prompt::Unexpected);
    QCOMPARE(w->titles(), kSamplesAtoZ);
    QCOMPARE(w->field("editTitle")->text(), QString("Windows Live (Hotmail)"));
    // The file is read before the list changes: the selection stays, and typing still stores.
    QCOMPARE(w->selectedRow(), std::optional<int>(2));
    QVERIFY(w->field("editTitle")->isEnabled());

    // A backup without entries brings the samples back; a fresh store stays what it was.
    {
        SystemRandom random;
        FixedClock clock(christmas());
        Session s(w.dir.file("vorkel"), random, clock);
        s.SetLogon("bob", "pw");
        s.BackupTo(w.dir.file("empty.xdb"));
    }
    w->ui.okCancel = {true};
    w.button("btnDeleteTitle");
    w->ui.fileNames = {w.dir.file("empty.xdb")};
    w->ui.yesNo = {true};
    w.menu("Restore");
    QCOMPARE(w->titles(), QStringList({"A Sample Entry", "Google Email (Gmail)",
                                       "Windows Live (Hotmail)", "Yahoo!"}));
    QVERIFY(!w->session.FreshStore());
}

void MainWindowCommandsTest::newDataStoreStartsAFirstRunOverTheWindow() {
    LoggedOn w;
    w->ui.okCancel = {true};
    w.button("btnDeleteTitle");
    w->ui.yesNo = {false, true};
    w.menu("NewDataStore1");
    QCOMPARE(w->rowCount(), 3);
    QVERIFY(exists(w->session.settingsPath()));

    w.menu("NewDataStore1");
    QCOMPARE(w->ui.said[2].kind, Kind::Confirm);
    QCOMPARE(w->ui.said[2].text, std::string(msg::kNewDataStore));
    QVERIFY(!exists(w->session.settingsPath()));
    QVERIFY(exists(w->session.dataStorePath()));  // the confirmation deletes it, not this
    QCOMPARE(w->titles(), QStringList({"A Sample Entry", "Google Email (Gmail)",
                                       "Windows Live (Hotmail)", "Yahoo!"}));
    QCOMPARE(w->selectedRow(), std::optional<int>(0));
    QVERIFY(w->session.FreshStore());
    // The logon dialog over the still shown window, in its first-run form.
    QVERIFY(w->window->isVisible());
    QVERIFY(w->logon().isVisible());
    QVERIFY(!w->logon().isModal());
    QVERIFY(w->logon().newAccountMode());
    QCOMPARE(w->logon().findChild<QLabel*>("lblInstructions")->text(),
             toQString(msg::kFirstRunInstructions));
    QCOMPARE(w->logon().findChild<QLineEdit*>("editUsername")->text(), QString());
    QCOMPARE(w->logon().findChild<QLineEdit*>("editPassword")->text(), QString());
    QCOMPARE(w->logon().focusWidget(), w->logon().findChild<QLineEdit*>("editUsername"));
    // While the new account is pending the window takes no commands: Save All writes nothing
    // under a pair nobody has confirmed.
    const std::string pendingStore = readFile(w->session.dataStorePath());
    QVERIFY(!w->window->menuBar()->isEnabled());
    w->child<QAction>("itemSave")->trigger();
    QCOMPARE(readFile(w->session.dataStorePath()), pendingStore);
    QVERIFY(!exists(w->session.settingsPath()));

    w->firstRun("dora", "new");
    QVERIFY(!w->logon().isVisible());
    QVERIFY(!exists(w->session.dataStorePath()));
    QCOMPARE(w->session.LogonUserName(), std::string("dora"));
    QCOMPARE(w->rowCount(), 4);
    w->window->close();
    QCOMPARE(storedTitles(w.dir.path(), "dora", "new").size(), std::size_t(4));
}

void MainWindowCommandsTest::exitRunsTheCloseSequence() {
    LoggedOn w;
    QTest::keyClicks(w->field("editTitle"), " at exit");
    w.menu("Exit1");
    QCOMPARE(w->ended.count(), 1);
    QVERIFY(!w->window->isVisible());
    QCOMPARE(storedTitles(w.dir.path(), "bob", "pw")[0], std::string("A Sample Entry at exit"));
}

void MainWindowCommandsTest::aboutShowsTheModalBox() {
    LoggedOn w;
    bool seen = false;
    auto watch = DialogWatch::dialog("TfmAbout", [&](QDialog& d) {
        seen = true;
        QVERIFY(d.isModal());
        QCOMPARE(d.parentWidget(), w->window.get());
        clickButton(d, "btnOK");
    });
    w.menu("About1");
    QVERIFY(seen);
}

void MainWindowCommandsTest::theLinksOpenTheirAddresses() {
    LoggedOn w;
    QTest::mouseClick(w->child<QLabel>("lblVorkelURL"), Qt::LeftButton);
    QTest::mouseClick(w->child<QLabel>("lblTellFriend"), Qt::LeftButton);
    w.menu("Support1");
    QCOMPARE(w->links.links,
             QStringList({toQString(kProductWebSite),
                          "mailto:?subject=Vorkel&body=Hi,%0A%0AYou may be interested in "
                          "Vorkel.%0A%0ACheck it out from the following URL: " +
                              toQString(kProductWebSite) + "%0A%0AThanks!",
                          toQString(kProductWebSite) + "support"}));
    w.menu("Contents1");
    QCOMPARE(w->links.files, QStringList({QString::fromStdString(w.dir.path()) + "Vorkel.html"}));

    // "Go" opens the entry's web address, and does nothing without one.
    w->links.links.clear();
    auto* go = w->child<QPushButton>("btnURLGo");
    go->click();
    QCOMPARE(w->links.links, QStringList({toQString(kProductWebSite)}));
    w->field("editURL")->clear();
    go->click();
    QCOMPARE(w->links.links.size(), 1);
    QVERIFY(w->ui.said.empty());
}

void MainWindowCommandsTest::theSizePresets() {
    LoggedOn w;
    const QRect screen = w->window->screen()->geometry();
    QVERIFY(QTest::qWaitForWindowExposed(w->window.get()));
    w->window->move(30, 40);
    auto outer = [&] { return w->window->frameGeometry(); };
    // A window manager moves the frame in its own time.
    QTRY_COMPARE(outer().topLeft(), QPoint(30, 40));
    w.menu("Default1");
    QTRY_COMPARE(outer(), QRect(30, 40, 820, 600));
    // The editor takes all the width a preset adds; the list pane keeps its own.
    QLineEdit* title = w->field("editTitle");
    QTRY_VERIFY(title->width() > 0);
    const int defaultWidth = title->width();
    w.menu("Small1");
    QTRY_COMPARE(outer(), QRect(30, 40, 650, 400));
    w.menu("Medium1");
    QTRY_COMPARE(outer(), QRect(30, 40, 900, 700));
    QTRY_COMPARE(title->width(), defaultWidth + 80);
    QCOMPARE(w->child<QWidget>("pnlLeft")->width(), 249);
    w.menu("Large1");
    QTRY_COMPARE(outer(), QRect(30, 40, 1024, 768));
    w.menu("FullScreen1");
    QTRY_COMPARE(outer(), QRect(1, 1, screen.width(), screen.height()));
    QVERIFY(!w->window->isMaximized());
    QVERIFY(!w->window->isFullScreen());
    w.menu("Default1");
    QTRY_COMPARE(outer(), QRect(1, 1, 820, 600));

    // The size and place reach the settings file, and the next logon puts the window back.
    w->window->close();
    MainWindowHarness later(w.dir.path());
    later.logOn("bob", "pw");
    QTRY_COMPARE(later.window->frameGeometry(), QRect(1, 1, 820, 600));
}

void MainWindowCommandsTest::laterCommandsAreConnectedAndQuiet() {
    LoggedOn w;
    const QStringList before = w->titles();
    for (const char* name :
         {"Cut1", "Copy1", "Paste1", "CopyWebsiteURL1", "CopyUsername1", "CopyEmail1",
          "CopyPassword1", "CopyPassphrase1", "Find1", "ClearClipboard1"}) {
        QAction* a = w->child<QAction>(name);
        QVERIFY2(a && a->isEnabled(), name);
        a->trigger();
    }
    // "Auto Fill" starts a browser; the browser tests click it.
    for (const char* name : {"btnSearch", "btnGenPassword1"}) {
        auto* b = w->child<QAbstractButton>(name);
        QVERIFY2(b && b->isEnabled(), name);
        b->click();
    }
    QVERIFY(w->ui.said.empty());
    QCOMPARE(w->titles(), before);
    QVERIFY(w->window->isVisible());
}

QTEST_MAIN(MainWindowCommandsTest)
#include "MainWindowCommandsTest.moc"
