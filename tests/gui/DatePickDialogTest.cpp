// The date picker behind the editor's "Pick Date...": today from the session's clock, the
// picked date written as dd/mm/yyyy and stored as one change.

#include <QCalendarWidget>
#include <QTextCharFormat>

#include "MainWindowHarness.h"
#include "support/DialogWatch.h"

using namespace vorkel;
using namespace vorkel::gui;
using namespace vorkel::test;

namespace {

struct LoggedOn : LoggedOnWindow {
    /// Opens the picker, lets `choose` act on its calendar, then presses `button`.
    bool pick(const std::function<void(QCalendarWidget*)>& choose, const char* button) {
        auto watch = DialogWatch::named("TfmDatePick", [&](QWidget* d) {
            choose(d->findChild<QCalendarWidget*>("MonthCalendar1"));
            d->findChild<QPushButton*>(button)->click();
        });
        QTest::mouseClick(h->child<QPushButton>("btnDate"), Qt::LeftButton);
        return watch.ran();
    }
    EntryPtr shown() { return h->session.workspace().entryOfRow(0); }
};

}  // namespace

class DatePickDialogTest : public QObject {
    Q_OBJECT
private slots:
    void opensOnTodayAndStoresThePickAsOneChange();
    void cancelChangesNothing();
};

void DatePickDialogTest::opensOnTodayAndStoresThePickAsOneChange() {
    LoggedOn w;
    w->clock.set({2011, 3, 5, 9, 30, 15});
    w->field("editExpires")->setText("31/12/1999");  // not where the calendar opens
    QDate opened;
    bool todayMarked = false;
    QVERIFY(w.pick(
        [&](QCalendarWidget* c) {
            opened = c->selectedDate();
            todayMarked = c->dateTextFormat(opened).fontWeight() == QFont::Bold;
        },
        "btnOK"));
    QCOMPARE(opened, QDate(2011, 3, 5));
    QVERIFY(todayMarked);
    QCOMPARE(w->field("editExpires")->text(), QString("05/03/2011"));
    QCOMPARE(w.shown()->get(Field::Expires), "05/03/2011");
    QCOMPARE(w.shown()->get(Field::ModifyCount), "2");
    QCOMPARE(w.shown()->get(Field::AccessCount), "2");
    QCOMPARE(w.shown()->get(Field::EditDate), "05/03/2011 09:30:15");

    // Another day, chosen on the calendar, replaces the field's text.
    QVERIFY(w.pick([](QCalendarWidget* c) { c->setSelectedDate(QDate(2012, 2, 29)); }, "btnOK"));
    QCOMPARE(w.shown()->get(Field::Expires), "29/02/2012");
    QCOMPARE(w.shown()->get(Field::ModifyCount), "3");
}

void DatePickDialogTest::cancelChangesNothing() {
    LoggedOn w;
    QVERIFY(w.pick([](QCalendarWidget* c) { c->setSelectedDate(QDate(2020, 1, 1)); }, "btnCancel"));
    QCOMPARE(w->field("editExpires")->text(), QString());
    QCOMPARE(w.shown()->get(Field::ModifyCount), "1");
}

QTEST_MAIN(DatePickDialogTest)
#include "DatePickDialogTest.moc"
