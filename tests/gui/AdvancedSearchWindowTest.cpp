// The advanced search window over the real main window: opening, searching, the result items
// as the list draws them, and a click bringing the entry into the main window.

#include <QAction>
#include <QLabel>
#include <QListView>
#include <QPointer>
#include <QStringListModel>
#include <QTextDocument>
#include <QTextFragment>
#include <QToolButton>

#include "MainWindowHarness.h"
#include "gui/entries/ListPane.h"
#include "gui/tools/AdvancedSearchWindow.h"
#include "gui/ui/HtmlItemDelegate.h"

using namespace vorkel;
using namespace vorkel::gui;
using namespace vorkel::test;

namespace {

const QString kCreated = "25/12/2010 10:00:00";

/// A window logged on as bob whose entry list holds only the entries a test adds.
struct Searching : LoggedOnWindow {
    Searching() { h->window->listPane().ClearEntryList(); }
    void add(const char* title, const char* notes = "") {
        h->session.workspace().AddEntry(title, notes, "user", "", "", "", "bob");
        h->window->listPane().ShowAllEntries();
    }
    void order(int index) {
        h->orderBox()->setCurrentIndex(index);
        emit h->orderBox()->activated(index);
    }
    AdvancedSearchWindow* open(bool fromMenu = true) {
        if (fromMenu)
            h->child<QAction>("Find1")->trigger();
        else
            QTest::mouseClick(h->child<QToolButton>("btnSearch"), Qt::LeftButton);
        return h->window->findChild<AdvancedSearchWindow*>("TfmAdvancedSearch");
    }
    AdvancedSearchWindow* w() { return h->window->findChild<AdvancedSearchWindow*>(); }
    QLineEdit* field() { return w()->findChild<QLineEdit*>("editSearchFor"); }
    QListView* results() { return w()->findChild<QListView*>("lbHTM"); }
    QString label() { return w()->findChild<QLabel*>("lblResults")->text(); }
    QStringList items() { return static_cast<QStringListModel*>(results()->model())->stringList(); }
    QStringList search(const QString& text) {
        field()->setText(text);
        w()->findChild<QPushButton*>("btnSearch")->click();
        return items();
    }
    void clickItem(int item) {
        QListView* view = results();
        const QRect r = view->visualRect(view->model()->index(item, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, r.center());
    }
    /// The lines an item shows, as the list lays it out.
    QStringList shown(int item) {
        auto doc = HtmlItemDelegate::layout(items()[item], results()->font(), -1);
        return doc->toPlainText().split('\n');
    }
};

QString noMatch(const QString& s) {
    return "<br>&nbsp;Your search - <b>\"" + s + "\"</b> - did not match any password entries";
}

}  // namespace

class AdvancedSearchWindowTest : public QObject {
    Q_OBJECT
private slots:
    void openedOnceFromMenuAndToolbarAndHiddenOnClose();
    void reopeningClearsAndDropsTheQuickSearch();
    void notesMatchEmptySearchAndAccentedLetters();
    void onlyEnterInTheFieldRunsTheSearch();
    void resultsFollowTheEntryListAndAClickShowsTheEntry();
    void entryTextShowsLiterallyAndTagsRender();
    void itemsAreAsTallAsTheirLines();
    void theHeaderStaysCentred();
    void hiddenAndClearedWhenTheMainWindowLocks();
};

void AdvancedSearchWindowTest::openedOnceFromMenuAndToolbarAndHiddenOnClose() {
    Searching s;
    QPointer<AdvancedSearchWindow> first = s.open(true);
    QVERIFY(first && first->isVisible());
    QCOMPARE(first->windowTitle(), QString("Advanced Search"));
    QVERIFY(first->isWindow() && first->parent() == s.h->window.get() && !first->isModal());
    QCOMPARE(first->size(), QSize(671, 521));
    QCOMPARE(first->focusWidget(), s.field());
    for (const char* name :
         {"pnlTop", "imgGlass", "lblAdvancedSearch", "editSearchFor", "btnSearch", "Shape1",
          "pnlResults", "lblSearch", "lblResults", "lbHTM", "StatusBar1"})
        QVERIFY2(first->findChild<QWidget*>(name), name);
    QCOMPARE(first->findChild<QLabel*>("lblAdvancedSearch")->text(),
             QString("Vorkel Advanced Search"));
    QCOMPARE(first->findChild<QLabel*>("lblSearch")->text(), QString("Search Results"));

    first->close();
    QVERIFY(first && !first->isVisible());
    QCOMPARE(s.open(false), first.data());  // the toolbar button reuses it
    QVERIFY(first->isVisible());
    QCOMPARE(s.h->window->findChildren<AdvancedSearchWindow*>().size(), 1);
    QTest::keyClick(s.field(), Qt::Key_Escape);
    QVERIFY(first && !first->isVisible());
}

void AdvancedSearchWindowTest::reopeningClearsAndDropsTheQuickSearch() {
    Searching s;
    s.add("Bank", "pin");
    s.add("Mail", "pin");
    s.open();
    QCOMPARE(s.search("pin").size(), 2);
    QCOMPARE(s.label(), QString("Results 1 to 2"));

    s.h->search()->clear();
    QTest::keyClicks(s.h->search(), "ban");
    QCOMPARE(s.h->rowCount(), 1);
    s.open(false);
    QCOMPARE(s.field()->text(), QString());
    QVERIFY(s.items().isEmpty() && s.w()->lstID().empty());
    QCOMPARE(s.label(), QString());
    QCOMPARE(s.h->rowCount(), 2);
    QCOMPARE(s.h->search()->text(), QString("<Search Here>"));
}

void AdvancedSearchWindowTest::notesMatchEmptySearchAndAccentedLetters() {
    Searching s;
    s.add("Other", "nothing");
    s.add("Greeting", "Hello World");
    s.add("Caf\u00C9");
    s.open();
    QStringList found = s.search("world");
    QCOMPARE(found.size(), 1);
    QVERIFY(found[0].contains("</font><br>Hello <b>world</b><br>"));
    QCOMPARE(s.w()->lstID(), std::vector<std::size_t>{1});
    QCOMPARE(s.shown(0)[2], QString("Hello world"));

    QCOMPARE(s.search(""), QStringList{noMatch("")});
    QVERIFY(s.w()->lstID().empty());
    QCOMPARE(s.label(), QString());
    QCOMPARE(s.w()->focusWidget(), s.field());
    QCOMPARE(s.shown(0)[1], QString(" Your search - \"\" - did not match any password entries"));

    QCOMPARE(s.search("caf\u00E9"), QStringList{noMatch("caf\u00E9")});
    QCOMPARE(s.search("CAF\u00C9").size(), 1);
}

void AdvancedSearchWindowTest::onlyEnterInTheFieldRunsTheSearch() {
    Searching s;
    s.add("Bank");
    s.open();
    QTest::keyClicks(s.field(), "bank");
    QTest::keyClick(s.field(), Qt::Key_Tab);
    QVERIFY(s.items().isEmpty());
    QTest::keyClick(s.field(), Qt::Key_Return);
    QCOMPARE(s.items().size(), 1);
    QCOMPARE(s.label(), QString("Results 1 to 1"));
}

void AdvancedSearchWindowTest::resultsFollowTheEntryListAndAClickShowsTheEntry() {
    Searching s;
    for (const char* t : {"b key", "a key", "c none", "d key"}) s.add(t);
    s.order(3);  // Z - A
    s.open();
    QStringList found = s.search("KEY");
    QCOMPARE(found.size(), 3);
    QCOMPARE(s.w()->lstID(), (std::vector<std::size_t>{0, 2, 3}));
    QVERIFY(found[0].contains(">d key<") && found[2].contains(">a key<"));

    s.clickItem(1);
    QCOMPARE(s.h->selectedRow(), std::optional<int>(2));
    QCOMPARE(s.h->field("editTitle")->text(), QString("b key"));

    // Sorted again since the search: the click still finds its own entry.
    s.order(2);  // A - Z
    s.clickItem(0);
    QCOMPARE(s.h->field("editTitle")->text(), QString("d key"));
    QCOMPARE(s.h->selectedRow(), std::optional<int>(3));

    // The "did not match" item has no entry.
    s.search("zzz");
    s.h->list()->selectionModel()->clear();
    s.clickItem(0);
    QCOMPARE(s.h->selectedRow(), std::nullopt);
    QVERIFY(s.h->ui.said.empty());
}

void AdvancedSearchWindowTest::entryTextShowsLiterallyAndTagsRender() {
    Searching s;
    s.add("<b>&amp;", "a <u>x</u> &nbsp; find");
    s.open();
    QCOMPARE(s.search("find").size(), 1);
    const QStringList lines = s.shown(0);
    QCOMPARE(lines[1], QString("<b>&amp;  Created: ") + kCreated);
    QCOMPARE(lines[2], QString("a <u>x</u> &nbsp; find"));
    QCOMPARE(lines[3], QString("Click to view  Last Updated: ") + kCreated);

    // "</b></u>" ends bold and underline together; the colours are the item's.
    auto doc = HtmlItemDelegate::layout(s.items()[0], s.results()->font(), -1);
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const QTextCharFormat c = f.charFormat();
            if (f.text() == "<b>&amp;") {
                QVERIFY(c.font().bold() && c.fontUnderline());
                QCOMPARE(c.foreground().color(), QColor("#0000ff"));
            } else if (f.text().startsWith("  Created")) {
                QVERIFY(!c.font().bold() && !c.fontUnderline());
                QCOMPARE(c.foreground().color(), QColor("#555555"));
            } else if (f.text() == "find") {
                QVERIFY(c.font().bold());
            }
        }
}

void AdvancedSearchWindowTest::itemsAreAsTallAsTheirLines() {
    Searching s;
    QByteArray words;
    for (int i = 0; i < 30; ++i) words += "many words ";
    s.add("Short", "one");
    s.add("Long", words.constData());
    s.open();
    QCOMPARE(s.search("o").size(), 2);
    QListView* view = s.results();
    const int shortItem = view->visualRect(view->model()->index(0, 0)).height();
    const int longItem = view->visualRect(view->model()->index(1, 0)).height();
    QVERIFY2(longItem > shortItem, qPrintable(QString("%1 %2").arg(shortItem).arg(longItem)));
    s.search("zzz");
    QVERIFY(view->visualRect(view->model()->index(0, 0)).height() < shortItem);

    // A selected item is drawn in the selection colour.
    s.search("o");
    view->setCurrentIndex(view->model()->index(0, 0));
    const QRect r = view->visualRect(view->model()->index(0, 0));
    const QImage shot = view->viewport()->grab().toImage();
    QCOMPARE(shot.pixelColor(r.right() - 2, r.top() + 2),
             view->palette().color(QPalette::Inactive, QPalette::Highlight));
}

void AdvancedSearchWindowTest::theHeaderStaysCentred() {
    Searching s;
    AdvancedSearchWindow* w = s.open();
    QWidget* header[] = {w->findChild<QLabel*>("lblAdvancedSearch"), s.field(),
                         w->findChild<QPushButton*>("btnSearch")};
    // As the window widens, the header moves by half the widening: it stays where it was
    // relative to the middle, its parts in line and inside the window.
    const auto placed = [&](int width) {
        w->resize(width, 521);
        QWidget* results = w->findChild<QWidget*>("pnlResults");
        if (!QTest::qWaitFor([&] { return results->width() == width; })) return std::vector<int>{};
        std::vector<int> lefts;
        for (QWidget* part : header) {
            const QRect r(part->mapTo(w, QPoint(0, 0)), part->size());
            if (!w->rect().contains(r)) return std::vector<int>{};
            lefts.push_back(r.left());
        }
        return lefts;
    };
    const std::vector<int> narrow = placed(700);
    const std::vector<int> wide = placed(900);
    QCOMPARE(narrow.size(), std::size(header));
    QCOMPARE(wide.size(), std::size(header));
    for (std::size_t i = 0; i < narrow.size(); ++i) QCOMPARE(wide[i] - narrow[i], 100);
    QVERIFY(narrow[0] < narrow[1] && narrow[1] < narrow[2]);
}

void AdvancedSearchWindowTest::hiddenAndClearedWhenTheMainWindowLocks() {
    Searching s;
    s.add("Bank", "notes to hide");
    s.open();
    QCOMPARE(s.search("bank").size(), 1);
    s.h->session.options().PromptMasterPass = 0;  // a plain minimise: back with the window
    s.h->window->setWindowState(Qt::WindowMinimized);
    QVERIFY(!s.w()->isVisible());
    s.h->window->setWindowState(Qt::WindowNoState);
    QTRY_VERIFY(s.w()->isVisible());
    QCOMPARE(s.items().size(), 1);

    s.h->session.options().PromptMasterPass = 1;
    s.h->window->setWindowState(Qt::WindowMinimized);
    QVERIFY(!s.w()->isVisible());
    s.h->window->setWindowState(Qt::WindowNoState);  // PromptMasterPass: the restore locks
    QVERIFY(s.h->window->isLocked());
    // The window decides on coming back from a zero timer set at the restore; one set after it
    // has run by the time this one has.
    bool later = false;
    QTimer::singleShot(0, s.w(), [&later] { later = true; });
    QTRY_VERIFY(later);
    QVERIFY(!s.w()->isVisible());
    QVERIFY(s.items().isEmpty() && s.field()->text().isEmpty());
}

QTEST_MAIN(AdvancedSearchWindowTest)
#include "AdvancedSearchWindowTest.moc"
