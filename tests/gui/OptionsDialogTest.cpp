// The options dialog on its own and from the main window, and what each option does there.

#include <QCheckBox>
#include <QHelpEvent>
#include <QLabel>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolButton>
#include <QToolTip>

#include "MainWindowHarness.h"
#include "core/storage/Settings.h"
#include "gui/entries/NotesEdit.h"
#include "gui/tools/OptionsDialog.h"

using namespace vorkel;
using namespace vorkel::gui;
using namespace vorkel::test;

namespace {

const char* const kBoxes[] = {"chkOnTop",
                              "chkShowToolTips",
                              "chkNotesURL",
                              "chkUsernameShowClear",
                              "chkPasswordShowClear",
                              "chkPassphraseShowClear",
                              "chkEmptyClipboard",
                              "chkPromptMasterPass",
                              "chkMinProg"};

std::vector<std::int32_t> flags(const Options& o) {
    return {o.AlwaysOnTop,        o.ShowToolTips,       o.HighlightURLs,
            o.ShowClearUsernames, o.ShowClearPasswords, o.ShowClearPassphrase,
            o.EmptyClipboard,     o.PromptMasterPass,   o.MinProg};
}

QCheckBox* box(QWidget& dialog, const char* name) {
    return dialog.findChild<QCheckBox*>(name);
}

QSpinBox* minutes(QWidget& dialog) {
    return dialog.findChild<QSpinBox*>("spinMins");
}

/// A window logged on as bob over the saved sample entries.
struct LoggedOn : LoggedOnWindow {
    /// Opens the dialog by menu or toolbar, runs `change` on it, then presses `close`.
    void options(bool fromMenu, const std::function<void(QDialog&)>& change, const char* close) {
        bool shown = false;
        auto watch = DialogWatch::dialog("TfmOptions", [&](QDialog& d) {
            shown = true;
            change(d);
            clickButton(d, close);
        });
        if (fromMenu)
            h->child<QAction>("Options1")->trigger();
        else
            QTest::mouseClick(h->child<QToolButton>("btnOptions1"), Qt::LeftButton);
        QVERIFY(shown);
    }
};

/// The hint a widget shows when the pointer rests on it ("" when none shows).
QString hintOf(QWidget* widget) {
    QToolTip::hideText();
    QHelpEvent event(QEvent::ToolTip, QPoint(2, 2), widget->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(widget, &event);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

/// How many characters of the notes are drawn with a format of their own (links).
int formattedCharacters(QPlainTextEdit* notes) {
    int count = 0;
    for (QTextBlock b = notes->document()->begin(); b.isValid(); b = b.next())
        for (const QTextLayout::FormatRange& r : b.layout()->formats()) count += r.length;
    return count;
}

}  // namespace

class OptionsDialogTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheOptionsWithEveryCaption() {
        Options o;
        o.ShowClearPasswords = 2;  // only 1 is on
        o.MinProg = 1;
        o.MinProgMins = 7;
        OptionsDialog d(o, nullptr);
        QCOMPARE(d.objectName(), QString("TfmOptions"));
        QCOMPARE(d.windowTitle(), QString("Options"));
        auto* tabs = d.findChild<QTabWidget*>("pgcOptions");
        QCOMPARE(tabs->tabText(0), QString("General"));
        QCOMPARE(tabs->tabText(1), QString("Security"));
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(d.findChild<QLabel*>("lblGeneralInfo")->text(),
                 QString("These are the General Options for Vorkel.  Make your choices and "
                         "click the OK button to save your choices."));
        QCOMPARE(d.findChild<QLabel*>("lblSecurityInfo")->text(),
                 QString("These are the Security Options for Vorkel.  Make your choices and "
                         "click the OK button to save your choices."));
        QStringList captions;
        for (const char* name : kBoxes) captions << box(d, name)->text();
        QCOMPARE(captions,
                 QStringList({"Vorkel Always On Top", "Show Tooltips", "Highlight Notes URLs",
                              "Show Clear Usernames", "Show Clear Passwords",
                              "Show Clear Passphrases", "Empty Clipboard on program exit",
                              "Prompt for master password on restoring minimized program",
                              "Minimize program on inactivity"}));
        std::vector<bool> ticked;
        for (const char* name : kBoxes) ticked.push_back(box(d, name)->isChecked());
        QCOMPARE(ticked,
                 std::vector<bool>({false, true, true, true, false, true, true, true, true}));
        QCOMPARE(minutes(d)->value(), 7);
        QVERIFY(minutes(d)->isEnabled());
        QCOMPARE(minutes(d)->minimum(), 1);
        QCOMPARE(minutes(d)->maximum(), 100);
        QCOMPARE(d.findChild<QLabel*>("lblAfter")->text(), QString("After"));
        QCOMPARE(d.findChild<QLabel*>("lblMins")->text(), QString("minutes of inactivity"));
        auto* updates = d.findChild<QComboBox*>("cmbUpdateFrequency");
        QCOMPARE(updates->count(), 2);
        QCOMPARE(updates->itemText(0), QString("Weekly"));
        QCOMPARE(updates->itemText(1), QString("Monthly"));
        QCOMPARE(updates->currentIndex(), -1);
        QCOMPARE(d.findChild<QLabel*>("lblUpdateFrequency")->text(), QString("Check For Updates:"));
        QCOMPARE(d.findChild<QPushButton*>("btnOK")->text(), QString("&OK"));
        QCOMPARE(d.findChild<QPushButton*>("btnCancel")->text(), QString("&Cancel"));
    }

    void minutesOutsideTheRangeShowAtTheNearerBound() {
        Options o;
        o.MinProgMins = 0;
        OptionsDialog low(o, nullptr);
        QCOMPARE(minutes(low)->value(), 1);
        QVERIFY(!minutes(low)->isEnabled());  // MinProg is off by default
        o.MinProgMins = 500;
        OptionsDialog high(o, nullptr);
        QCOMPARE(minutes(high)->value(), 100);
    }

    void okStoresOnesAndZerosAndDisabledMinutes() {
        Options o;
        o.MinProg = 1;
        o.MinProgMins = 3;
        o.ShowClearPasswords = 2;
        OptionsDialog d(o, nullptr);
        for (const char* name : kBoxes) box(d, name)->toggle();
        QVERIFY(!minutes(d)->isEnabled());  // chkMinProg cleared
        minutes(d)->setValue(42);
        clickButton(d, "btnOK");
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(flags(o), std::vector<std::int32_t>({1, 0, 0, 0, 1, 0, 0, 0, 0}));
        QCOMPARE(o.MinProgMins, 42);
    }

    void minutesTextThatIsNoNumberIsStoredAsOne() {
        Options o;
        o.MinProg = 1;
        o.MinProgMins = 9;
        OptionsDialog d(o, nullptr);
        minutes(d)->findChild<QLineEdit*>()->clear();
        clickButton(d, "btnOK");
        QCOMPARE(o.MinProgMins, 1);
    }

    void cancelChangesNothing() {
        Options o;
        OptionsDialog d(o, nullptr);
        for (const char* name : kBoxes) box(d, name)->toggle();
        minutes(d)->setValue(50);
        clickButton(d, "btnCancel");
        QCOMPARE(d.result(), int(QDialog::Rejected));
        const Options defaults;
        QCOMPARE(flags(o), flags(defaults));
        QCOMPARE(o.MinProgMins, 0);
    }

    void okUnmasksAtOnceAndCancelLeavesItMasked() {
        LoggedOn w;
        QLineEdit* password = w->field("editPassword");
        QCOMPARE(password->echoMode(), QLineEdit::Password);
        QCOMPARE(w->field("editUsername")->echoMode(), QLineEdit::Normal);
        QCOMPARE(w->field("editPassPhrase")->echoMode(), QLineEdit::Normal);
        auto tick = [](QDialog& d) { box(d, "chkPasswordShowClear")->setChecked(true); };
        w.options(false, tick, "btnCancel");
        QCOMPARE(password->echoMode(), QLineEdit::Password);
        QCOMPARE(w->session.options().ShowClearPasswords, 0);
        w.options(true, tick, "btnOK");
        QCOMPARE(password->echoMode(), QLineEdit::Normal);
        QCOMPARE(w->session.options().ShowClearPasswords, 1);
        QVERIFY(!w->window->findChild<OptionsDialog*>());
        // The next opening shows the option as it now is.
        w.options(
            false, [](QDialog& d) { QVERIFY(box(d, "chkPasswordShowClear")->isChecked()); },
            "btnCancel");
    }

    void fiveMinutesArmTheIdleTimer() {
        LoggedOn w;
        const QTimer* timer = w->child<QTimer>("tmrMinimise");
        QVERIFY(!timer->isActive());
        w.options(
            true,
            [](QDialog& d) {
                box(d, "chkMinProg")->setChecked(true);
                QVERIFY(minutes(d)->isEnabled());
                minutes(d)->setValue(5);
            },
            "btnOK");
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 300000);
    }

    void alwaysOnTopKeepsTheWindowAboveAndInPlace() {
        LoggedOn w;
        // The place as the window system has it (a window manager frames the window in its
        // own time, and Qt's copy of the geometry may lag until then).
        auto where = [&] { return QRect(w->window->mapToGlobal(QPoint(0, 0)), w->window->size()); };
        QVERIFY(QTest::qWaitForWindowExposed(w->window.get()));
        const QRect placed = where();
        QVERIFY(!w->window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        w.options(
            true, [](QDialog& d) { box(d, "chkOnTop")->setChecked(true); }, "btnOK");
        QVERIFY(w->window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QTRY_VERIFY(w->window->isVisible());
        QTRY_COMPARE(where(), placed);
        w.options(
            false, [](QDialog& d) { box(d, "chkOnTop")->setChecked(false); }, "btnOK");
        QVERIFY(!w->window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QTRY_VERIFY(w->window->isVisible());
        QTRY_COMPARE(where(), placed);
    }

    void showToolTipsOffSwallowsTheHints() {
        LoggedOn w;
        auto* generate = w->child<QPushButton>("btnGenPassword1");
        QCOMPARE(hintOf(generate), QString("Generate a password"));
        w.options(
            true, [](QDialog& d) { box(d, "chkShowToolTips")->setChecked(false); }, "btnOK");
        QCOMPARE(hintOf(generate), QString());
        w.options(
            false, [](QDialog& d) { box(d, "chkShowToolTips")->setChecked(true); }, "btnOK");
        QCOMPARE(hintOf(generate), QString("Generate a password"));
    }

    void highlightUrlsOffLeavesTheNotesWithoutLinks() {
        LoggedOn w;
        auto* notes = qobject_cast<NotesEdit*>(w->notes());
        notes->setNotesText("see www.example.com");
        QCOMPARE(formattedCharacters(notes), int(QString("www.example.com").size()));
        w.options(
            true, [](QDialog& d) { box(d, "chkNotesURL")->setChecked(false); }, "btnOK");
        QCOMPARE(formattedCharacters(notes), 0);
        QTest::keyClicks(notes, " http://a.example");  // typed addresses stay plain too
        QCOMPARE(formattedCharacters(notes), 0);
        const QRect onLink = notes->cursorRect(QTextCursor(notes->document()->findBlock(0)));
        QVERIFY(!notes->linkAt(onLink.center() + QPoint(50, 0)));
        QTest::mouseClick(notes->viewport(), Qt::LeftButton, {}, onLink.center() + QPoint(50, 0));
        QVERIFY(w->links.links.isEmpty());
        w.options(
            false, [](QDialog& d) { box(d, "chkNotesURL")->setChecked(true); }, "btnOK");
        QVERIFY(formattedCharacters(notes) > 0);
    }
};

QTEST_MAIN(OptionsDialogTest)
#include "OptionsDialogTest.moc"
