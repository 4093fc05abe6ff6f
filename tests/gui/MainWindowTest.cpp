// The main window from start-up to close: the first run, the workspace load, the editor and
// list working together, and the close sequence.

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <filesystem>

#include "MainWindowHarness.h"
#include "core/Version.h"
#include "core/entries/Entry.h"
#include "core/session/Messages.h"
#include "core/session/WindowRules.h"
#include "gui/entries/EditorPane.h"
#include "gui/entries/ListPane.h"
#include "gui/ui/QtText.h"

using namespace vorkel;
using namespace vorkel::gui;
using namespace vorkel::test;
using Prompt = ScriptedMessageService::Prompt;

namespace {

const QStringList kSamplesAtoZ = {"A Sample Entry", "Google Email (Gmail)",
                                  "Windows Live (Hotmail)", "Yahoo!"};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startsWithTheLogonDialogAlone();
    void firstRunShowsTheSamplesAtoZWithTheFirstRowShown();
    void closingWritesBothFilesAndAsksNothing();
    void closingEmptiesTheClipboardOnlyWhenTheOptionSaysSo();
    void laterRunShowsWhatTheLastCloseWrote();
    void typingIntoTheDescriptionRaisesBothCounts();
    void theRowKeepsItsOldTitleUntilARebuild();
    void selectingRowsShowsThemAndCountsNothing();
    void quickSearchPromptRules();
    void closeOffersABackupWhenTheStoreVanished();
    void closeAsksNothingWhenTheStoreIsThere();
    void aWorkspaceThatFailsToLoadKeepsTheLogonDialog();
    void aBadCounterIsReportedAsAnUnexpectedFailure();
    void aWindowSavedOffEveryScreenComesBackOnThePrimary();
    void aStoreWithoutAWindowSizeKeepsTheBuiltInOne();
    void everyTextShowsWholeAtTheDefaultAndFirstSizes();
    void theEditorTakesTypingOnlyWithARowSelected();
    void theEditorsTextsNameTheKeySizeAndNoOtherBrowser();
};

void MainWindowTest::startsWithTheLogonDialogAlone() {
    TempDir dir;
    MainWindowHarness h(dir.path());
    QCOMPARE(h.window->objectName(), QString("TfmMain"));
    QCOMPARE(h.window->windowTitle(), QString("Vorkel v" VORKEL_VERSION));
    QVERIFY(!h.window->isVisible());
    QVERIFY(h.logon().isVisible());
    // Owned by the main window: a child window, so no taskbar entry of its own.
    QCOMPARE(h.logon().parentWidget(), h.window.get());
    QCOMPARE(h.logon().findChild<QLabel*>("lblInstructions")->text(),
             toQString(msg::kFirstRunInstructions));
    QCOMPARE(h.logon().focusWidget(), h.logon().findChild<QLineEdit*>("editUsername"));
    QVERIFY(!h.child<QTimer>("tmrMinimise")->isActive());
}

void MainWindowTest::firstRunShowsTheSamplesAtoZWithTheFirstRowShown() {
    TempDir dir;
    writeFile(dir.file("Vorkel4.xdb"), "an old store that the new account replaces");
    MainWindowHarness h(dir.path());
    h.firstRun("alice", "secret");

    QVERIFY(h.window->isVisible());
    QVERIFY(!h.window->isMinimized());
    QVERIFY(!h.logon().isVisible());
    QCOMPARE(h.titles(), kSamplesAtoZ);
    QCOMPARE(h.selectedRow(), std::optional<int>(0));
    QCOMPARE(h.field("editTitle")->text(), QString("A Sample Entry"));
    QCOMPARE(h.field("editUsername")->text(), QString("Administrator"));
    QCOMPARE(h.child<QLabel>("lblTitleDesc")->text(), QString("A Sample Entry"));
    QCOMPARE(h.orderBox()->currentText(), QString("A - Z"));
    QCOMPARE(h.orderBox()->count(), 4);
    QCOMPARE(h.search()->text(), QString("<Search Here>"));
    QVERIFY(h.session.FreshStore());
    // The old store went with the confirmation; nothing is written before the close.
    QVERIFY(!exists(h.session.dataStorePath()));
    QVERIFY(!exists(h.session.settingsPath()));
    QVERIFY(h.ui.said.empty());
    QCOMPARE(h.ended.count(), 0);
}

void MainWindowTest::closingWritesBothFilesAndAsksNothing() {
    TempDir dir;
    MainWindowHarness h(dir.path());
    h.firstRun("alice", "secret");
    h.window->close();

    QVERIFY(exists(h.session.dataStorePath()));
    QVERIFY(exists(h.session.settingsPath()));
    QVERIFY(h.ui.said.empty());
    QCOMPARE(h.ended.count(), 1);
    QVERIFY(!h.window->isVisible());
    QVERIFY(!h.logon().isVisible());
    // Both files open with the pair, the entries in the order the list had.
    const auto stored = storedTitles(dir.path(), "alice", "secret");
    QCOMPARE(stored.size(), std::size_t(4));
    for (int i = 0; i < 4; ++i) QCOMPARE(toQString(stored[std::size_t(i)]), kSamplesAtoZ[i]);
    SystemRandom random;
    FixedClock clock(christmas());
    Session later(dir.file("vorkel"), random, clock);
    later.SetLogon("alice", "secret");
    QVERIFY(later.VerifyLogon());
}

void MainWindowTest::closingEmptiesTheClipboardOnlyWhenTheOptionSaysSo() {
    for (int option : {1, 0, 2}) {
        TempDir dir;
        MainWindowHarness h(dir.path());
        h.firstRun("alice", "secret");
        h.session.options().EmptyClipboard = option;
        QGuiApplication::clipboard()->setText("copied password");
        h.window->close();
        QCOMPARE(QGuiApplication::clipboard()->text().isEmpty(), option == 1);
    }
    // Ending at the logon dialog leaves the clipboard alone.
    TempDir dir;
    MainWindowHarness h(dir.path());
    QGuiApplication::clipboard()->setText("copied password");
    clickButton(h.logon(), "btnCancel");
    QCOMPARE(h.ended.count(), 1);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("copied password"));
    QVERIFY(!exists(h.session.settingsPath()));
}

void MainWindowTest::laterRunShowsWhatTheLastCloseWrote() {
    TempDir dir;
    {
        MainWindowHarness first(dir.path());
        first.firstRun("alice", "secret");
        first.clickRow(3);
        QTest::keyClicks(first.field("editTitle"), " Mail");
        first.window->close();
    }
    MainWindowHarness h(dir.path());
    QCOMPARE(h.logon().findChild<QLabel*>("lblInstructions")->text(),
             toQString(msg::kLogonInstructions));
    h.logOn("alice", "secret");
    QVERIFY(h.window->isVisible());
    QCOMPARE(h.titles(), QStringList({"A Sample Entry", "Google Email (Gmail)",
                                      "Windows Live (Hotmail)", "Yahoo! Mail"}));
    QVERIFY(!h.session.FreshStore());
    QCOMPARE(h.field("editTitle")->text(), QString("A Sample Entry"));
}

void MainWindowTest::typingIntoTheDescriptionRaisesBothCounts() {
    TempDir dir;
    MainWindowHarness h(dir.path());
    h.firstRun("alice", "secret");
    h.clickRow(1);
    QCOMPARE(h.field("editTitle")->text(), QString("Google Email (Gmail)"));
    h.clock.set({2010, 12, 25, 11, 30, 15});
    QTest::keyClicks(h.field("editTitle"), "abc");

    const EntryPtr e = h.entryTitled("Google Email (Gmail)abc");
    QVERIFY(e);
    QCOMPARE(e->get(Field::ModifyCount), std::string_view("4"));
    QCOMPARE(e->get(Field::AccessCount), std::string_view("4"));
    QCOMPARE(e->get(Field::EditDate), std::string_view("25/12/2010 11:30:15"));
    QCOMPARE(e->get(Field::AccessedLast), std::string_view("25/12/2010 11:30:15"));
    QCOMPARE(e->get(Field::CreateDate), std::string_view("25/12/2010 10:00:00"));
    QCOMPARE(e->get(Field::CreatedBy), std::string_view("alice"));
    QCOMPARE(e->get(Field::ModifiedBy), std::string_view("alice"));
    // The other entries were not touched.
    QCOMPARE(h.entryTitled("A Sample Entry")->get(Field::ModifyCount), std::string_view("1"));
}

void MainWindowTest::theRowKeepsItsOldTitleUntilARebuild() {
    TempDir dir;
    MainWindowHarness h(dir.path());
    h.firstRun("alice", "secret");
    h.clickRow(1);
    QTest::keyClicks(h.field("editTitle"), "abc");
    QCOMPARE(h.titles()[1], QString("Google Email (Gmail)"));

    // "Z - A", by the keyboard as a user picks it: a rebuild.
    h.orderBox()->setFocus();
    QTest::keyClick(h.orderBox(), Qt::Key_Down);
    QCOMPARE(h.orderBox()->currentText(), QString("Z - A"));
    QCOMPARE(h.titles(), QStringList({"Yahoo!", "Windows Live (Hotmail)", "Google Email (Gmail)abc",
                                      "A Sample Entry"}));
    QCOMPARE(h.selectedRow(), std::optional<int>(0));
    QCOMPARE(h.field("editTitle")->text(), QString("Yahoo!"));
}

void MainWindowTest::selectingRowsShowsThemAndCountsNothing() {
    TempDir dir;
    MainWindowHarness h(dir.path());
    h.firstRun("alice", "secret");
    for (int row : {2, 0, 3, 1}) {
        h.clickRow(row);
        QCOMPARE(h.field("editTitle")->text(), kSamplesAtoZ[row]);
        QCOMPARE(h.child<QLabel>("lblTitleDesc")->text(), kSamplesAtoZ[row]);
    }
    QCOMPARE(h.field("editURL")->text(),
             QString("https://accounts.google.com/ServiceLogin?service=mail"));
    for (const EntryPtr& e : h.session.workspace().master().entries()) {
        QCOMPARE(e->get(Field::ModifyCount), std::string_view("1"));
        QCOMPARE(e->get(Field::AccessCount), std::string_view("1"));
    }
}

void MainWindowTest::quickSearchPromptRules() {
    TempDir dir;
    MainWindowHarness h(dir.path());
    h.firstRun("alice", "secret");
    QLineEdit* search = h.search();

    // Reached by the keyboard, the prompt is still there and is searched for.
    search->setFocus();
    QTest::keyClick(search, Qt::Key_Shift);
    QCOMPARE(search->text(), QString("<Search Here>"));
    QCOMPARE(h.rowCount(), 0);
    QCOMPARE(h.selectedRow(), std::nullopt);
    QCOMPARE(h.field("editTitle")->text(), QString("A Sample Entry"));

    // A click takes the prompt away and rebuilds nothing.
    QTest::mouseClick(search, Qt::LeftButton);
    QCOMPARE(search->text(), QString());
    QCOMPARE(h.rowCount(), 0);

    QTest::keyClicks(search, "MAIL");
    QCOMPARE(h.titles(), QStringList({"Google Email (Gmail)", "Windows Live (Hotmail)"}));
    QCOMPARE(h.selectedRow(), std::optional<int>(0));
    QCOMPARE(h.field("editTitle")->text(), QString("Google Email (Gmail)"));

    QTest::keyClicks(search, "zzz");
    QCOMPARE(h.rowCount(), 0);
    QCOMPARE(h.field("editTitle")->text(), QString("Google Email (Gmail)"));

    search->selectAll();
    QTest::keyClick(search, Qt::Key_Backspace);
    QCOMPARE(h.titles(), kSamplesAtoZ);

    // A click on a box that holds a search keeps it.
    QTest::keyClicks(search, "yah");
    QTest::mouseClick(search, Qt::LeftButton);
    QCOMPARE(search->text(), QString("yah"));
    QCOMPARE(h.titles(), QStringList({"Yahoo!"}));

    // Any rebuild with every entry drops the filter and brings the prompt back.
    h.orderBox()->setFocus();
    QTest::keyClick(h.orderBox(), Qt::Key_Up);
    QCOMPARE(search->text(), QString("<Search Here>"));
    QCOMPARE(h.rowCount(), 4);
}

void MainWindowTest::closeOffersABackupWhenTheStoreVanished() {
    LoggedOnWindow bob;
    MainWindowHarness& h = *bob;
    QVERIFY(h.window->isVisible());
    std::filesystem::remove(h.session.dataStorePath());

    bool storeWrittenWhenAsked = false;
    h.ui.onSaid = [&](const ScriptedMessageService::Said& s) {
        if (s.prompt == Prompt::YesNo) storeWrittenWhenAsked = exists(h.session.dataStorePath());
    };
    h.ui.yesNo = {true};
    h.ui.fileNames = {bob.dir.file("rescue.xdb")};
    h.window->close();

    QCOMPARE(h.ui.said.size(), std::size_t(2));
    QCOMPARE(h.ui.said[0].prompt, Prompt::YesNo);
    QCOMPARE(h.ui.said[0].kind, UserInterface::Kind::Confirm);
    QCOMPARE(h.ui.said[0].text, std::string(msg::kStorageProblem));
    QVERIFY(storeWrittenWhenAsked);
    QCOMPARE(h.ui.said[1].prompt, Prompt::SaveFile);
    QCOMPARE(h.ui.said[1].text, std::string("Vorkel10-12-25.xdb"));
    QVERIFY(exists(bob.dir.file("rescue.xdb")));
    QVERIFY(exists(h.session.settingsPath()));
    QCOMPARE(h.ended.count(), 1);
}

void MainWindowTest::closeAsksNothingWhenTheStoreIsThere() {
    LoggedOnWindow bob;
    MainWindowHarness& h = *bob;
    const std::string before = h.dataStore();
    h.window->close();
    QVERIFY(h.ui.said.empty());
    QVERIFY(h.dataStore() != before);  // rewritten, with a new salt
    QCOMPARE(h.ended.count(), 1);
}

void MainWindowTest::aWorkspaceThatFailsToLoadKeepsTheLogonDialog() {
    TempDir dir;
    makeAccount(dir.path(), "bob", "pw");
    writeFile(dir.file("Vorkel4.xdb"), std::string(64, 'x'));
    const std::string settings = readFile(dir.file("Vorkel4.vfg"));
    MainWindowHarness h(dir.path());
    h.logOn("bob", "pw");

    // The damaged store is named, and a restore from a backup offered (declined here).
    QCOMPARE(h.ui.said.size(), std::size_t(1));
    QCOMPARE(h.ui.said[0].prompt, Prompt::YesNo);
    QVERIFY(h.ui.said[0].text.starts_with(std::string(msg::kStoreUnreadableStart) +
                                          dir.file("Vorkel4.xdb")));
    QVERIFY(!h.window->isVisible());
    QVERIFY(h.logon().isVisible());
    QCOMPARE(h.ended.count(), 0);

    clickButton(h.logon(), "btnCancel");
    QCOMPARE(h.ended.count(), 1);
    QCOMPARE(readFile(dir.file("Vorkel4.vfg")), settings);
    QCOMPARE(readFile(dir.file("Vorkel4.xdb")), std::string(64, 'x'));
}

void MainWindowTest::aBadCounterIsReportedAsAnUnexpectedFailure() {
    TempDir dir;
    {
        SystemRandom random;
        FixedClock clock(christmas());
        Session s(dir.file("vorkel"), random, clock);
        s.SetLogon("bob", "pw");
        s.InitAccount();
        auto entries = s.workspace().master().entries();
        entries[0] = withField(*entries[0], Field::ModifyCount, "x");
        s.workspace().ReplaceEntries(entries);
        s.SaveAll();
    }
    MainWindowHarness h(dir.path());
    h.logOn("bob", "pw");
    QCOMPARE(h.field("editTitle")->text(), QString("A Sample Entry"));
    QTest::keyClick(h.field("editTitle"), Qt::Key_Z);

    QCOMPARE(h.ui.said.size(), std::size_t(1));
    QCOMPARE(h.ui.said[0].prompt, Prompt::Unexpected);
    QCOMPARE(h.ui.said[0].text, std::string("The ModifyCount is not a valid integer value."));
    // The fields before the bad counter were stored all the same; the program goes on.
    QVERIFY(h.entryTitled("A Sample Entryz"));
    QVERIFY(h.window->isVisible());
}

namespace {

/// Rewrites the window geometry in bob's settings file.
void saveWindowAt(const std::string& folder, const ScreenRect& r) {
    SystemRandom random;
    FixedClock clock(christmas());
    Session s(folder + "vorkel", random, clock);
    s.SetLogon("bob", "pw");
    s.LoadForTool();
    s.settings().window = {r.left, r.top, r.width, r.height, true};
    s.SaveSettings();
}

}  // namespace

void MainWindowTest::aWindowSavedOffEveryScreenComesBackOnThePrimary() {
    struct Case {
        ScreenRect saved;
        QRect shown;
    };
    // The offscreen platform has one screen at the origin.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(QGuiApplication::screens().size(), 1);
    QCOMPARE(screen.topLeft(), QPoint(0, 0));
    const int w = screen.width(), ht = screen.height();
    QVERIFY(w > 700 && w < 2000 && ht > 500 && ht < 1500);
    const Case cases[] = {
        {{5000, 4000, 700, 500}, QRect((w - 700) / 2, (ht - 500) / 2, 700, 500)},  // size kept
        {{-3000, 100, 640, 480}, QRect((w - 640) / 2, (ht - 480) / 2, 640, 480)},  // to the left
        {{-5000, 0, 2000, 1500}, QRect(0, 0, w, ht)},                     // too big as well: fitted
        {{w - 10, ht - 10, 640, 480}, QRect(w - 10, ht - 10, 640, 480)},  // a corner on screen
        {{-600, -400, 640, 480}, QRect(-600, -400, 640, 480)},
    };
    // A window manager may pull a window that is mostly off the screen further in by itself:
    // the last two cases show the program's own request only without one.
    const bool managed = QGuiApplication::platformName() != QStringLiteral("offscreen");
    for (const Case& c : cases) {
        if (managed && &c >= &cases[3]) continue;
        TempDir dir;
        makeAccount(dir.path(), "bob", "pw");
        saveWindowAt(dir.path(), c.saved);
        MainWindowHarness h(dir.path());
        h.logOn("bob", "pw");
        // The window manager frames and places the window in its own time.
        QTRY_COMPARE(h.window->frameGeometry(), c.shown);
    }
}

void MainWindowTest::aStoreWithoutAWindowSizeKeepsTheBuiltInOne() {
    // An account made by the command-line tool carries a zero geometry.
    LoggedOnWindow bob;
    MainWindowHarness& h = *bob;
    QCOMPARE(h.window->pos(), QPoint(0, 0));
    QCOMPARE(h.window->size(), QSize(784, 718));
}

namespace {

/// The labels and buttons of `root` whose text the widget's size cuts, as "name: text".
QStringList cutTexts(QWidget* root) {
    QStringList cut;
    for (QLabel* label : root->findChildren<QLabel*>()) {
        if (!label->isVisibleTo(root) || label->text().isEmpty() || !label->pixmap().isNull())
            continue;
        const int room = label->contentsRect().width() - 2 * std::max(label->indent(), 0);
        const bool whole = label->wordWrap()
                               ? label->heightForWidth(label->width()) <= label->height()
                               : label->fontMetrics().horizontalAdvance(label->text()) <= room;
        if (!whole) cut << label->objectName() + ": " + label->text();
    }
    for (QAbstractButton* button : root->findChildren<QAbstractButton*>()) {
        if (!button->isVisibleTo(root) || button->text().isEmpty()) continue;
        const QString shown = QString(button->text()).remove(QLatin1Char('&'));
        // The style draws a frame of a few pixels on each side of the text.
        if (button->fontMetrics().horizontalAdvance(shown) + 6 > button->width())
            cut << button->objectName() + ": " + button->text();
    }
    return cut;
}

}  // namespace

void MainWindowTest::everyTextShowsWholeAtTheDefaultAndFirstSizes() {
    LoggedOnWindow w;
    MainWindow& window = *w->window;
    // Under a window manager, only once it has framed the window, as before a user's click.
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(cutTexts(&window).join(" | "), QString());
    w.menu("Default1");
    QTRY_COMPARE(window.frameGeometry().size(), QSize(820, 600));
    QCOMPARE(cutTexts(&window), QStringList());
    for (const char* link : {"lblVorkelURL", "lblTellFriend", "lblToolBarCaption"})
        QVERIFY2(w->child<QLabel>(link)->isVisibleTo(&window), link);
}

void MainWindowTest::theEditorTakesTypingOnlyWithARowSelected() {
    LoggedOnWindow w;
    QWidget& editor = *w->field("editTitle");
    auto* view = w->child<QAbstractItemView>("lvTitlesView");
    QVERIFY(editor.isEnabled());
    // A click below the last row drops the selection: the editor shows the last entry still,
    // but typing there would be stored nowhere.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      QPoint(20, view->viewport()->height() - 5));
    QVERIFY(!w->window->listPane().selectedRow());
    QVERIFY(!editor.isEnabled());
    QVERIFY(!w->field("editPassword")->isEnabled());
    QVERIFY(w->child<QWidget>("btnGenPassword1")->isEnabled());  // it adds an entry if needed
    w->window->listPane().selectRow(1);
    QVERIFY(editor.isEnabled());
    // A rebuild of the rows (every entry shown again) drops the selection too, until a row is
    // selected.
    w->window->listPane().ShowAllEntries();
    QVERIFY(!editor.isEnabled());
}

void MainWindowTest::theEditorsTextsNameTheKeySizeAndNoOtherBrowser() {
    LoggedOnWindow w;
    QStringList texts;
    for (QLabel* label : w->window->editorPane().findChildren<QLabel*>()) texts << label->text();
    QVERIFY(texts.contains("Now with 128-bit encryption"));
    QVERIFY(texts.contains(
        "Now your Vorkel details can be automatically entered into your web browser. "));
    for (const QString& text : texts) {
        QVERIFY2(!text.contains("256"), qPrintable(text));
        QVERIFY2(!text.contains("Internet Explorer"), qPrintable(text));
    }
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
