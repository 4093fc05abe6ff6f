#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>
#include <memory>
#include <stdexcept>

#include "core/entries/TextRules.h"
#include "core/session/Session.h"
#include "gui/entries/EntryListModel.h"
#include "gui/entries/ListPane.h"
#include "support/FolderSession.h"

using namespace vorkel::gui;

using vorkel::Field;

namespace {

const QString kPrompt = QStringLiteral("<Search Here>");

}  // namespace

class ListPaneTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<vorkel::test::FolderSession> m_folder;
    vorkel::Session* m_session = nullptr;
    vorkel::FixedClock* m_clock = nullptr;
    std::unique_ptr<ListPane> m_pane;
    std::vector<std::optional<std::size_t>> m_shown;  // every rowSelected, in order

    vorkel::Workspace& ws() { return m_session->workspace(); }
    QTreeView* view() { return m_pane->findChild<QTreeView*>("lvTitlesView"); }
    QLineEdit* search() { return m_pane->findChild<QLineEdit*>("editSearch"); }
    QComboBox* order() { return m_pane->findChild<QComboBox*>("cmbTitleOrder"); }
    QString label(const char* name) { return m_pane->findChild<QLabel*>(name)->text(); }

    void add(std::initializer_list<const char*> titles) {
        for (auto t : titles) ws().AddEntry(t, "", "", "", "", "", "alice");
    }
    QStringList shownTitles() {
        QStringList out;
        auto* model = view()->model();
        for (int r = 0; r < model->rowCount(); ++r) out << model->index(r, 0).data().toString();
        return out;
    }
    QStringList listTitles() {
        QStringList out;
        for (const auto& e : ws().master().entries())
            out << QString::fromStdString(std::string(e->title()));
        return out;
    }
    // Puts the focus in the search box the way the keyboard does, leaving its text alone.
    void focusSearch() {
        m_pane->activateWindow();
        search()->setFocus(Qt::TabFocusReason);
    }
    void typeSearch(const QString& text) {
        focusSearch();
        search()->clear();
        QTest::keyClicks(search(), text);
    }

private slots:
    void init() {
        m_folder = std::make_unique<vorkel::test::FolderSession>();
        m_session = &m_folder->session;
        m_clock = &m_folder->clock;
        m_pane = std::make_unique<ListPane>(*m_session);
        m_pane->resize(249, 500);
        m_shown.clear();
        connect(m_pane.get(), &ListPane::rowSelected, this,
                [this](std::optional<std::size_t> row) { m_shown.push_back(row); });
    }
    void cleanup() {
        m_pane.reset();
        m_folder.reset();
    }

    void controlsCarryTheirNamesAndFixedSizes() {
        QCOMPARE(m_pane->objectName(), QStringLiteral("pnlLeft"));
        QCOMPARE(m_pane->width(), 249);
        QVERIFY(order());
        QCOMPARE(order()->width(), 156);
        QVERIFY(!order()->isEditable());
        QCOMPARE(search()->width(), 156);
        QCOMPARE(search()->text(), kPrompt);
        QCOMPARE(view()->width(), 225);
        QCOMPARE(view()->y(), 59);
        QVERIFY(m_pane->findChild<QLabel*>("lblTitleDesc"));
        QVERIFY(qobject_cast<EntryListModel*>(view()->model()));
    }

    void listIsOneReadOnlyColumnWithSingleWholeRowSelection() {
        add({"b", "a"});
        m_pane->ShowAllEntries();
        QCOMPARE(view()->model()->columnCount(), 1);
        QCOMPARE(view()->model()->headerData(0, Qt::Horizontal).toString(),
                 QStringLiteral("Description"));
        QCOMPARE(view()->header()->sectionSize(0), 190);
        QCOMPARE(view()->editTriggers(), QAbstractItemView::NoEditTriggers);
        QVERIFY(!(view()->model()->flags(view()->model()->index(0, 0)) & Qt::ItemIsEditable));
        QCOMPARE(view()->selectionMode(), QAbstractItemView::SingleSelection);
        QCOMPARE(view()->selectionBehavior(), QAbstractItemView::SelectRows);
        QVERIFY(view()->uniformRowHeights());
        QVERIFY(!view()->header()->sectionsClickable());
        // A rebuild keeps the column's width.
        typeSearch("a");
        QCOMPARE(view()->header()->sectionSize(0), 190);
    }

    void headerClickDoesNothing() {
        add({"b", "a", "c"});
        m_pane->ShowAllEntries();
        m_pane->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pane.get()));
        QTest::mouseClick(view()->header()->viewport(), Qt::LeftButton, {}, QPoint(20, 5));
        QCOMPARE(shownTitles(), (QStringList{"b", "a", "c"}));
        QCOMPARE(listTitles(), (QStringList{"b", "a", "c"}));
    }

    void fillOrderBoxSortsAtoZAndShowsTheFirstRow() {
        add({"banana", "Apple", "cherry", "1st"});
        m_pane->fillOrderBox();
        QCOMPARE(order()->count(), 4);
        QCOMPARE(order()->itemText(0), QStringLiteral("Date added"));
        QCOMPARE(order()->itemText(1), QStringLiteral("Date updated"));
        QCOMPARE(order()->itemText(2), QStringLiteral("A - Z"));
        QCOMPARE(order()->itemText(3), QStringLiteral("Z - A"));
        QCOMPARE(order()->currentText(), QStringLiteral("A - Z"));
        QVERIFY(!QApplication::overrideCursor());  // the hourglass is gone again
        QCOMPARE(shownTitles(), (QStringList{"1st", "Apple", "banana", "cherry"}));
        // The entry list itself is sorted, so a save writes this order.
        QCOMPARE(listTitles(), shownTitles());
        QCOMPARE(m_pane->selectedRow(), std::optional<std::size_t>(0));
        QCOMPARE(m_shown, (std::vector<std::optional<std::size_t>>{0}));
        QCOMPARE(label("lblTitleDesc"), QStringLiteral("1st"));
        QCOMPARE(label("lblCreated"), QStringLiteral("Created: 25/12/2010 14:03:59"));
        QCOMPARE(label("lblModified"), QStringLiteral("Last modified: 25/12/2010 14:03:59"));
    }

    void pickingAnOrderSortsShowsAllAndSelectsTheFirstRow() {
        m_clock->set({2011, 5, 3, 9, 0, 0});
        add({"middle"});
        m_clock->set({2009, 1, 2, 9, 0, 0});
        add({"oldest"});
        m_clock->set({2012, 7, 1, 9, 0, 0});
        add({"newest"});
        m_pane->fillOrderBox();
        // Changed last, so it comes last by "Date updated".
        m_clock->set({2013, 1, 1, 0, 0, 0});
        vorkel::EditorFields f = vorkel::Workspace::editorFields(*ws().entryOfRow(2));
        ws().StoreEntry(2, f, "alice");  // "oldest"

        typeSearch("e");
        QTest::keyClick(order(), Qt::Key_Up);  // "Date updated"
        QCOMPARE(order()->currentIndex(), 1);
        QCOMPARE(shownTitles(), (QStringList{"middle", "newest", "oldest"}));
        QCOMPARE(search()->text(), kPrompt);
        QCOMPARE(m_pane->selectedRow(), std::optional<std::size_t>(0));
        QCOMPARE(label("lblTitleDesc"), QStringLiteral("middle"));

        QTest::keyClick(order(), Qt::Key_Up);  // "Date added"
        QCOMPARE(shownTitles(), (QStringList{"oldest", "middle", "newest"}));
        QCOMPARE(listTitles(), shownTitles());

        QTest::keyClick(order(), Qt::Key_End);  // "Z - A"
        QCOMPARE(order()->currentText(), QStringLiteral("Z - A"));
        QCOMPARE(shownTitles(), (QStringList{"oldest", "newest", "middle"}));
        QCOMPARE(m_shown.back(), std::optional<std::size_t>(0));
    }

    void orderChangeOnAnEmptyListSelectsNothing() {
        m_pane->fillOrderBox();
        QCOMPARE(view()->model()->rowCount(), 0);
        QCOMPARE(m_pane->selectedRow(), std::nullopt);
        QVERIFY(m_shown.empty());
    }

    void typingFiltersByTitleInAnyCaseAndSelectsTheFirstMatch() {
        add({"A Sample Entry", "Google Email (Gmail)", "Windows Live (Hotmail)", "Bank"});
        m_pane->fillOrderBox();
        m_shown.clear();
        typeSearch("MAIL");
        QCOMPARE(shownTitles(), (QStringList{"Google Email (Gmail)", "Windows Live (Hotmail)"}));
        QCOMPARE(m_pane->selectedRow(), std::optional<std::size_t>(0));
        // Every one of the four releases filtered and selected the first row.
        QCOMPARE(m_shown.size(), std::size_t(4));
        QCOMPARE(label("lblTitleDesc"), QStringLiteral("Google Email (Gmail)"));
        QCOMPARE(search()->text(), QStringLiteral("MAIL"));
    }

    void onlyAsciiLettersAreFolded() {
        add(
            {"\xC3\x9C"
             "bung",
             "ubung"});  // "Übung"
        m_pane->ShowAllEntries();
        // keyClicks takes Latin-1 only; these keys carry their text themselves.
        typeSearch({});
        QTest::sendKeyEvent(QTest::Click, search(), Qt::Key_Udiaeresis, QStringLiteral("\u00fc"),
                            Qt::NoModifier);  // small u with diaeresis
        QCOMPARE(search()->text(), QStringLiteral("\u00fc"));
        QCOMPARE(view()->model()->rowCount(), 0);
        search()->clear();
        QTest::sendKeyEvent(QTest::Click, search(), Qt::Key_Udiaeresis, QStringLiteral("\u00dc"),
                            Qt::ShiftModifier);
        QCOMPARE(shownTitles(), (QStringList{QStringLiteral("\u00dc") + "bung"}));
    }

    void everyKeyReleaseFiltersAndSelectsTheFirstRow() {
        add({"alpha", "beta", "gamma", "delta"});
        m_pane->ShowAllEntries();
        typeSearch("a");
        QCOMPARE(view()->model()->rowCount(), 4);
        m_pane->selectRow(2);
        m_shown.clear();
        QTest::keyClick(search(), Qt::Key_Shift);
        QCOMPARE(m_pane->selectedRow(), std::optional<std::size_t>(0));
        m_pane->selectRow(3);
        QTest::keyClick(search(), Qt::Key_Left);
        QCOMPARE(m_pane->selectedRow(), std::optional<std::size_t>(0));
        // A key release on a key the box ignores still filters by the box's current text.
        typeSearch("mm");
        QCOMPARE(shownTitles(), (QStringList{"gamma"}));
        QTest::keyClick(search(), Qt::Key_Backspace);
        QTest::keyClick(search(), Qt::Key_Backspace);
        QCOMPARE(search()->text(), QString());
        QCOMPARE(shownTitles(), (QStringList{"alpha", "beta", "gamma", "delta"}));
        QCOMPARE(m_pane->selectedRow(), std::optional<std::size_t>(0));
    }

    void noMatchLeavesAnEmptyListAndShowsNothing() {
        add({"alpha", "beta"});
        m_pane->fillOrderBox();
        typeSearch("zz");
        m_shown.clear();
        QTest::keyClick(search(), Qt::Key_Z);
        QCOMPARE(view()->model()->rowCount(), 0);
        QCOMPARE(m_pane->selectedRow(), std::nullopt);
        QVERIFY(m_shown.empty());
        // The details keep the entry shown last.
        QCOMPARE(label("lblTitleDesc"), QStringLiteral("alpha"));
    }

    void keyReleasedOnThePromptFiltersByThePrompt() {
        add({"alpha", "My <SEARCH here> note", "beta"});
        m_pane->ShowAllEntries();
        QCOMPARE(search()->text(), kPrompt);
        focusSearch();
        QTest::keyClick(search(), Qt::Key_End);
        QCOMPARE(search()->text(), kPrompt);
        QCOMPARE(shownTitles(), (QStringList{"My <SEARCH here> note"}));
        QCOMPARE(m_pane->selectedRow(), std::optional<std::size_t>(0));
    }

    void clickIntoTheBoxClearsOnlyTheExactPrompt() {
        add({"alpha", "beta"});
        m_pane->fillOrderBox();
        m_pane->selectRow(1);
        m_shown.clear();
        m_pane->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pane.get()));
        QTest::mouseClick(search(), Qt::LeftButton);
        QCOMPARE(search()->text(), QString());
        // Nothing is filtered or selected by the click itself.
        QCOMPARE(view()->model()->rowCount(), 2);
        QCOMPARE(m_pane->selectedRow(), std::optional<std::size_t>(1));
        QVERIFY(m_shown.empty());

        search()->setText(kPrompt + " ");
        QTest::mouseClick(search(), Qt::LeftButton);
        QCOMPARE(search()->text(), kPrompt + " ");
        search()->setText(QStringLiteral("<search here>"));
        QTest::mouseClick(search(), Qt::LeftButton);
        QCOMPARE(search()->text(), QStringLiteral("<search here>"));
    }

    void showAllEntriesDropsTheFilterAndSelectsNothing() {
        add({"alpha", "beta"});
        m_pane->fillOrderBox();
        typeSearch("be");
        QCOMPARE(view()->model()->rowCount(), 1);
        m_pane->ShowAllEntries();
        QCOMPARE(shownTitles(), (QStringList{"alpha", "beta"}));
        QCOMPARE(search()->text(), kPrompt);
        QCOMPARE(m_pane->selectedRow(), std::nullopt);
    }

    void clearEntryListEmptiesTheEntryList() {
        add({"alpha", "beta"});
        m_pane->fillOrderBox();
        m_pane->ClearEntryList();
        QVERIFY(ws().master().empty());
        QCOMPARE(view()->model()->rowCount(), 0);
        QCOMPARE(m_pane->selectedRow(), std::nullopt);
    }

    void showRebuiltRowsTellsTheViewAboutTheSessionsRebuild() {
        add({"alpha"});
        m_pane->ShowAllEntries();
        typeSearch("zzz");
        const std::size_t row = m_session->AddEntry("New one");
        // Until told, the view keeps the count it had.
        QCOMPARE(view()->model()->rowCount(), 0);
        m_pane->showRebuiltRows();
        QCOMPARE(shownTitles(), (QStringList{"alpha", "New one"}));
        QCOMPARE(search()->text(), kPrompt);
        m_pane->selectRow(row);
        QCOMPARE(m_pane->selectedRow(), std::optional<std::size_t>(1));
        QCOMPARE(label("lblTitleDesc"), QStringLiteral("New one"));
    }

    void changeRowsAnnouncesTheResetBeforeTheWorkspaceChanges() {
        add({"alpha"});
        m_pane->ShowAllEntries();
        typeSearch("zzz");
        std::vector<std::size_t> rowsAtBegin;
        connect(view()->model(), &QAbstractItemModel::modelAboutToBeReset, this,
                [&] { rowsAtBegin.push_back(ws().rows().size()); });
        m_pane->changeRows(
            [&]() -> std::optional<std::size_t> { return m_session->AddEntry("New one"); });
        // The views heard of the reset while the rows were still the filtered, empty ones.
        QCOMPARE(rowsAtBegin, std::vector<std::size_t>{0});
        QCOMPARE(shownTitles(), (QStringList{"alpha", "New one"}));
        QCOMPARE(search()->text(), kPrompt);
        QCOMPARE(m_pane->selectedRow(), std::optional<std::size_t>(1));
        QCOMPARE(m_shown.back(), std::optional<std::size_t>(1));
        QCOMPARE(label("lblTitleDesc"), QStringLiteral("New one"));
    }

    void aChangeThatThrowsStillEndsTheReset() {
        add({"alpha", "beta"});
        m_pane->fillOrderBox();
        QSignalSpy began(view()->model(), &QAbstractItemModel::modelAboutToBeReset);
        QSignalSpy ended(view()->model(), &QAbstractItemModel::modelReset);
        m_shown.clear();
        QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                                 m_pane->changeRows([]() -> std::optional<std::size_t> {
                                     throw std::runtime_error("refused");
                                 }));
        QCOMPARE(began.count(), 1);
        QCOMPARE(ended.count(), 1);
        QVERIFY(m_shown.empty());
        // The next change opens and closes a reset of its own.
        m_pane->fillOrderBox();
        QCOMPARE(began.count(), 2);
        QCOMPARE(ended.count(), 2);
        QCOMPARE(shownTitles(), (QStringList{"alpha", "beta"}));
        QCOMPARE(m_pane->selectedRow(), std::optional<std::size_t>(0));
    }

    void aChangeThatLeavesNoRowEmptiesTheShownEntry() {
        add({"alpha"});
        m_pane->fillOrderBox();
        QCOMPARE(label("lblTitleDesc"), QStringLiteral("alpha"));
        QSignalSpy gone(m_pane.get(), &ListPane::shownEntryGone);
        m_shown.clear();
        m_pane->ClearEntryList();
        QCOMPARE(gone.count(), 1);
        QCOMPARE(label("lblTitleDesc"), QString());
        QCOMPARE(label("lblCreated"), QString());
        QVERIFY(m_shown.empty());
        // A change that leaves rows keeps the entry shown until a row is selected.
        add({"beta"});
        m_pane->ShowAllEntries();
        QCOMPARE(gone.count(), 1);
        QCOMPARE(m_pane->selectedRow(), std::nullopt);
    }

    void rowKeepsItsTitleUntilTheNextRebuild() {
        add({"alpha", "beta"});
        m_pane->fillOrderBox();
        vorkel::EditorFields f = vorkel::Workspace::editorFields(*ws().entryOfRow(0));
        f.title = "Renamed";
        m_session->StoreEntry(m_pane->selectedRow(), f);
        QCOMPARE(shownTitles(), (QStringList{"alpha", "beta"}));
        QCOMPARE(QString::fromStdString(std::string(ws().entryOfRow(0)->title())),
                 QStringLiteral("Renamed"));
        m_pane->ShowAllEntries();
        QCOMPARE(shownTitles(), (QStringList{"Renamed", "beta"}));
    }

    void selectionChangesShowTheRowConcernedEitherWay() {
        add({"alpha", "beta", "gamma"});
        m_pane->fillOrderBox();
        m_pane->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pane.get()));
        m_shown.clear();
        const QRect second = view()->visualRect(view()->model()->index(1, 0));
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, second.center());
        // Row 0 lost the selection, then row 1 got it: both are reported, the new one last.
        QCOMPARE(m_shown, (std::vector<std::optional<std::size_t>>{0, 1}));
        QCOMPARE(m_pane->selectedRow(), std::optional<std::size_t>(1));
        QCOMPARE(label("lblTitleDesc"), QStringLiteral("beta"));
        m_shown.clear();
        QTest::keyClick(view(), Qt::Key_Down);
        QCOMPARE(m_shown, (std::vector<std::optional<std::size_t>>{1, 2}));
        QCOMPARE(label("lblTitleDesc"), QStringLiteral("gamma"));
    }

    void selectRowReportsEvenTheSelectedRowAndNone() {
        add({"alpha", "beta"});
        m_pane->fillOrderBox();
        m_shown.clear();
        m_pane->selectRow(0);
        QCOMPARE(m_shown, (std::vector<std::optional<std::size_t>>{0}));
        m_shown.clear();
        m_pane->selectRow(std::nullopt);
        QCOMPARE(m_pane->selectedRow(), std::nullopt);
        QCOMPARE(m_shown.back(), std::nullopt);
        m_shown.clear();
        m_pane->selectRow(5);  // past the end: nothing selected
        QCOMPARE(m_pane->selectedRow(), std::nullopt);
        QCOMPARE(m_shown, (std::vector<std::optional<std::size_t>>{std::nullopt}));
    }

    void selectEntryAtScrollsTheRowToTheTop() {
        for (int i = 0; i < 300; ++i) {
            const std::string title = "entry " + std::to_string(1000 + i);
            ws().AddEntry(title, "", "", "", "", "", "alice");
        }
        m_pane->ShowAllEntries();
        m_pane->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pane.get()));
        auto firstShown = [&] { return view()->indexAt(QPoint(1, 1)).row(); };
        QCOMPARE(firstShown(), 0);

        m_pane->SelectEntryAt(120);
        QCOMPARE(firstShown(), 120);
        QCOMPARE(m_pane->selectedRow(), std::optional<std::size_t>(120));
        QCOMPARE(m_shown.front(), std::optional<std::size_t>(120));
        QCOMPARE(label("lblTitleDesc"), QStringLiteral("entry 1120"));

        // Already the first row shown: selected again, nothing scrolls.
        const int scrolled = view()->verticalScrollBar()->value();
        m_shown.clear();
        m_pane->SelectEntryAt(120);
        QCOMPARE(view()->verticalScrollBar()->value(), scrolled);
        QCOMPARE(m_shown, (std::vector<std::optional<std::size_t>>{120}));

        // A row further up comes to the top as well.
        m_pane->SelectEntryAt(40);
        QCOMPARE(firstShown(), 40);

        // Near the end the list scrolls as far as it can and the last rows stay at the bottom.
        m_pane->SelectEntryAt(299);
        QCOMPARE(view()->verticalScrollBar()->value(), view()->verticalScrollBar()->maximum());
        QVERIFY(firstShown() < 299);
        QVERIFY(view()->viewport()->rect().contains(
            view()->visualRect(view()->model()->index(299, 0))));
        QCOMPARE(m_pane->selectedRow(), std::optional<std::size_t>(299));
    }

    void selectEntryAtOutsideTheRowsDoesNothing() {
        add({"alpha", "beta"});
        m_pane->fillOrderBox();
        m_shown.clear();
        m_pane->SelectEntryAt(2);
        m_pane->SelectEntryAt(-1);
        QVERIFY(m_shown.empty());
        QCOMPARE(m_pane->selectedRow(), std::optional<std::size_t>(0));
    }

    void detailsShowTheEntryAndEmptyForNone() {
        ws().AddEntry("t", "", "", "", "", "", "alice");
        m_pane->showDetails(ws().entryOfRow(0).get());
        QCOMPARE(label("lblTitleDesc"), QStringLiteral("t"));
        QCOMPARE(label("lblCreated"), QStringLiteral("Created: 25/12/2010 14:03:59"));
        QCOMPARE(label("lblModified"), QStringLiteral("Last modified: 25/12/2010 14:03:59"));
        m_pane->showDetails(nullptr);
        QCOMPARE(label("lblTitleDesc"), QString());
        QCOMPARE(label("lblCreated"), QString());
        QCOMPARE(label("lblModified"), QString());
    }

    void listEndsOnePixelAboveTheDetailsPanel() {
        auto* details = m_pane->findChild<QWidget*>("pnlDetails");
        QVERIFY(details);
        m_pane->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pane.get()));
        for (int h : {500, 731, 400}) {
            m_pane->resize(249, h);
            QCOMPARE(details->height(), 135);
            QCOMPARE(details->y() + details->height(), h - 4);
            QCOMPARE(view()->height(), details->y() - 60);
            QCOMPARE(view()->y() + view()->height(), details->y() - 1);
        }
    }
};

QTEST_MAIN(ListPaneTest)
#include "ListPaneTest.moc"
