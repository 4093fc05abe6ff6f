// The properties dialog from the toolbar's "Details" and the "View" menu: eleven rows taken from
// the selected row, which takes the editor's title and notes first.

#include <QAction>
#include <QHeaderView>
#include <QToolButton>
#include <QTreeWidget>

#include "MainWindowHarness.h"
#include "support/DialogWatch.h"

using namespace vorkel;
using namespace vorkel::gui;
using namespace vorkel::test;

namespace {

const QStringList kDescriptions = {"Title",         "Created Date",  "Created By",
                                   "Last Modified", "Modified By",   "Modified Count",
                                   "Last Accessed", "Accessed By",   "Access Count",
                                   "Expires",       "Allowed Access"};

struct LoggedOn : LoggedOnWindow {
    /// Runs `open`, reads the dialog's "Value" column and closes it with OK; empty when no
    /// dialog showed.
    QStringList details(const std::function<void()>& open) {
        QStringList values;
        auto watch = DialogWatch::named("TfmPasswordDetail", [&](QWidget* d) {
            auto* list = d->findChild<QTreeWidget*>("lvDetails");
            QStringList descriptions;
            for (int r = 0; r < list->topLevelItemCount(); ++r) {
                descriptions << list->topLevelItem(r)->text(0);
                values << list->topLevelItem(r)->text(1);
            }
            QCOMPARE(descriptions, kDescriptions);
            QCOMPARE(list->headerItem()->text(0), QString("Description"));
            QCOMPARE(list->headerItem()->text(1), QString("Value"));
            QCOMPARE(list->editTriggers(), QAbstractItemView::NoEditTriggers);
            d->findChild<QPushButton*>("btnOK")->click();
        });
        open();
        return values;
    }
    QStringList fromToolbar() {
        return details(
            [this] { QTest::mouseClick(h->child<QToolButton>("btnDetailsV"), Qt::LeftButton); });
    }
    QStringList fromMenu() {
        return details([this] { h->child<QAction>("PasswordDetails1")->trigger(); });
    }
};

}  // namespace

class PasswordDetailDialogTest : public QObject {
    Q_OBJECT
private slots:
    void aNewEntryShowsAllElevenRows();
    void theRowTakesTheEditorsTitleAndCountsWaitForARebuild();
    void nothingWithoutARow();
};

void PasswordDetailDialogTest::aNewEntryShowsAllElevenRows() {
    LoggedOn w;
    w->clock.set({2011, 1, 2, 0, 0, 0});
    w->ui.inputs = {"Fresh"};
    w->child<QAction>("AddPassword1")->trigger();
    const QStringList expected = {"Fresh",      "02/01/2011", "bob", "02/01/2011", "bob",    "1",
                                  "02/01/2011", "bob",        "1",   "",           "Private"};
    QCOMPARE(w.fromToolbar(), expected);
    QCOMPARE(w.fromMenu(), expected);
}

void PasswordDetailDialogTest::theRowTakesTheEditorsTitleAndCountsWaitForARebuild() {
    LoggedOn w;
    w->clock.set({2011, 1, 2, 3, 4, 5});
    QTest::keyClicks(w->field("editTitle"), " x");  // two stores: counts 3
    QCOMPARE(w->titles().first(), QString("A Sample Entry"));
    QStringList values = w.fromToolbar();
    QCOMPARE(values.value(0), QString("A Sample Entry x"));
    QCOMPARE(values.value(3), QString("25/12/2010 10:00:00"));
    QCOMPARE(values.value(5), QString("1"));
    QCOMPARE(values.value(8), QString("1"));
    QCOMPARE(w->titles().first(), QString("A Sample Entry x"));

    // Only the row: text put into the editor without a key release leaves the entry alone.
    w->field("editTitle")->setText("Row only");
    w->notes()->setPlainText("row notes");
    QSignalSpy redrawn(w->list()->model(), &QAbstractItemModel::dataChanged);
    QCOMPARE(w.fromMenu().value(0), QString("Row only"));
    QCOMPARE(redrawn.count(), 1);
    QCOMPARE(redrawn.first().first().toModelIndex().row(), 0);
    QCOMPARE(w->titles().first(), QString("Row only"));
    QCOMPARE(w->session.workspace().rows()[0]->get(Field::Detail), "row notes\r\n");
    QCOMPARE(w->session.workspace().entryOfRow(0)->title(), "A Sample Entry x");
    QCOMPARE(w->selectedRow(), std::optional<int>(0));

    // A rebuild brings the raised counts.
    w->orderBox()->setCurrentIndex(2);
    emit w->orderBox()->activated(2);
    values = w.fromToolbar();
    QCOMPARE(values.value(0), QString("A Sample Entry x"));
    QCOMPARE(values.value(3), QString("02/01/2011 03:04:05"));
    QCOMPARE(values.value(5), QString("3"));
    QCOMPARE(values.value(8), QString("3"));
}

void PasswordDetailDialogTest::nothingWithoutARow() {
    LoggedOn w;
    QTest::keyClicks(w->search(), "no such entry");
    QCOMPARE(w->rowCount(), 0);
    QVERIFY(w.fromToolbar().isEmpty());
    QVERIFY(w.fromMenu().isEmpty());
    QCOMPARE(w->ui.said.size(), std::size_t(0));
}

QTEST_MAIN(PasswordDetailDialogTest)
#include "PasswordDetailDialogTest.moc"
