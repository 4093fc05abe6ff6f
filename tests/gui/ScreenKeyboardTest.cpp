// The on-screen keyboard: its layout, what each key does to the field, the clipboard, and its
// opening from the menu and the toolbar.

#include <QClipboard>
#include <QMimeData>
#include <QToolButton>

#include "MainWindowHarness.h"
#include "gui/tools/ScreenKeyboard.h"
#include "gui/ui/SecretClipboard.h"

using namespace vorkel::gui;

using namespace vorkel::test;

namespace {

struct Rig {
    Rig() {
        keyboard.show();
        QVERIFY(QTest::qWaitForWindowExposed(&keyboard));
        keyboard.activateWindow();
    }
    /// The key showing `caption` (the first one, for "Shift").
    QPushButton* key(const QString& caption) const {
        for (QPushButton* b : keyboard.findChildren<QPushButton*>())
            if (b->text() == caption) return b;
        return nullptr;
    }
    void click(const QString& caption) {
        QPushButton* b = key(caption);
        QVERIFY2(b, qPrintable(caption));
        QTest::mouseClick(b, Qt::LeftButton);
    }
    void clickNamed(const char* objectName) {
        QTest::mouseClick(keyboard.findChild<QPushButton*>(objectName), Qt::LeftButton);
    }
    QLineEdit* field() const { return keyboard.findChild<QLineEdit*>("editValue"); }

    ScreenKeyboard keyboard{nullptr};
};

}  // namespace

class ScreenKeyboardTest : public QObject {
    Q_OBJECT
private slots:
    void keysStandInKeyboardRowsWithoutOverlap() {
        Rig rig;
        QCOMPARE(rig.keyboard.objectName(), QString("TfmScreenKeyboard"));
        QCOMPARE(rig.keyboard.windowTitle(), QString("On-screen Keyboard"));
        QCOMPARE(rig.keyboard.size(), QSize(443, 245));
        QCOMPARE(rig.keyboard.minimumSize(), rig.keyboard.maximumSize());
        const QList<QPushButton*> keys = rig.keyboard.findChildren<QPushButton*>();
        QCOMPARE(keys.size(), 47 + 6);

        // Every key and the field can be seen whole and clicked alone.
        QList<QWidget*> all(keys.begin(), keys.end());
        all << rig.field();
        for (QWidget* a : all) {
            QVERIFY2(a->isVisible(), qPrintable(a->objectName()));
            QVERIFY2(rig.keyboard.rect().contains(a->geometry()), qPrintable(a->objectName()));
            for (QWidget* b : all)
                QVERIFY2(a == b || !a->geometry().intersects(b->geometry()),
                         qPrintable(a->objectName() + " " + b->objectName()));
        }

        // The rows read as on a keyboard: left to right along one line, each row below the
        // last, the wide keys at the ends of theirs.
        const auto at = [&](const QString& name) -> QWidget* {
            QWidget* byName = rig.keyboard.findChild<QWidget*>(name);
            return byName ? byName : rig.key(name);
        };
        const std::vector<QStringList> rows = {
            {"`", "1", "2", "3", "4", "5", "6", "7", "8", "9", "0", "-", "+", "<---"},
            {"q", "w", "e", "r", "t", "y", "u", "i", "o", "p", "[", "]", "\\"},
            {"Caps", "a", "s", "d", "f", "g", "h", "j", "k", "l", ";", "'"},
            {"btnShift", "z", "x", "c", "v", "b", "n", "m", ",", ".", "/", "btnShiftRight"},
            {"Space"},
            {"editValue", "Copy to Clipboard"}};
        int above = -1;
        for (const QStringList& row : rows) {
            QWidget* first = at(row.front());
            QVERIFY2(first, qPrintable(row.front()));
            QVERIFY2(first->geometry().top() > above, qPrintable(row.front()));
            for (int i = 1; i < row.size(); ++i) {
                QWidget* left = at(row[i - 1]);
                QWidget* right = at(row[i]);
                QVERIFY2(right, qPrintable(row[i]));
                QVERIFY2(left->geometry().right() < right->geometry().left(), qPrintable(row[i]));
                QVERIFY2(right->geometry().top() < left->geometry().bottom() &&
                             left->geometry().top() < right->geometry().bottom(),
                         qPrintable(row[i]));
            }
            for (const QString& name : row) above = std::max(above, at(name)->geometry().bottom());
        }
        const int ordinary = rig.key("a")->width();
        for (const char* wide : {"btnBackspace", "btnCaps", "btnShift", "btnShiftRight"})
            QVERIFY2(at(wide)->width() > ordinary, wide);
        QVERIFY(rig.key("Space")->width() > 4 * ordinary);

        QVERIFY(rig.field()->text().isEmpty());
        QCOMPARE(rig.keyboard.focusWidget(), rig.field());
    }

    void shiftIsALockForTheLettersOnly() {
        Rig rig;
        rig.clickNamed("btnShift");
        QVERIFY(rig.key("Q") && !rig.key("q"));
        for (const char* c : {"Q", "W", "E", "R"}) rig.click(c);
        rig.clickNamed("btnShift");
        rig.click("1");
        QCOMPARE(rig.field()->text(), QString("QWER1"));
        QVERIFY(rig.key("a") && rig.key(";"));
    }

    void capsAndTheRightShiftActLikeShift() {
        Rig rig;
        rig.clickNamed("btnCaps");
        rig.click("A");
        rig.clickNamed("btnShiftRight");
        rig.click("a");
        rig.clickNamed("btnShiftRight");
        rig.clickNamed("btnShift");  // back off from either key
        rig.click("b");
        QCOMPARE(rig.field()->text(), QString("Aab"));
    }

    void keysAppendAtTheEndWhereverTheCaretIs() {
        Rig rig;
        QTest::keyClicks(rig.field(), "bc");
        rig.field()->setCursorPosition(0);
        rig.click("a");
        rig.click("Space");
        rig.click("+");
        QCOMPARE(rig.field()->text(), QString("bca +"));
        QVERIFY(!rig.key("="));
    }

    void backspaceDeletesTheLastCharacter() {
        Rig rig;
        QTest::keyClicks(rig.field(), "xyz");
        rig.field()->setCursorPosition(1);
        rig.click("<---");
        QCOMPARE(rig.field()->text(), QString("xy"));
        rig.click("<---");
        rig.click("<---");
        rig.click("<---");  // nothing left: nothing happens
        QCOMPARE(rig.field()->text(), QString());
    }

    void copyCopiesOnlyTheSelection() {
        Rig rig;
        QGuiApplication::clipboard()->setText("kept");
        for (const char* c : {"s", "e", "c"}) rig.click(c);
        rig.click("Copy to Clipboard");
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("kept"));
        rig.field()->setFocus();
        rig.field()->selectAll();
        rig.click("Copy to Clipboard");  // a click on a key keeps the field's selection
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("sec"));
        // What the keyboard types is a secret: clipboard histories are told to skip it.
        QCOMPARE(QGuiApplication::clipboard()->mimeData()->data(SecretClipboard::kHintType),
                 QByteArray(SecretClipboard::kHintValue));
    }

    void menuAndToolbarOpenAFreshModalKeyboard() {
        LoggedOnWindow bob;
        MainWindowHarness& h = *bob;
        int opened = 0;
        auto typeAndClose = [&](QDialog& d) {
            ++opened;
            QCOMPARE(d.parentWidget(), h.window.get());
            QVERIFY(d.isModal());
            QVERIFY(d.findChild<QLineEdit*>("editValue")->text().isEmpty());
            QTest::mouseClick(d.findChild<QPushButton*>("btnKey_61"), Qt::LeftButton);  // "a"
            QCOMPARE(d.findChild<QLineEdit*>("editValue")->text(), QString("a"));
            d.close();
        };
        auto fromMenu = DialogWatch::dialog("TfmScreenKeyboard", typeAndClose);
        h.child<QAction>("itemOnscreenKeyboard")->trigger();
        auto fromToolbar = DialogWatch::dialog("TfmScreenKeyboard", typeAndClose);
        QTest::mouseClick(h.child<QToolButton>("btnRefresh"), Qt::LeftButton);
        QCOMPARE(opened, 2);
        QVERIFY(!h.window->findChild<ScreenKeyboard*>());
        QVERIFY(h.ui.said.empty());
    }
};

QTEST_MAIN(ScreenKeyboardTest)
#include "ScreenKeyboardTest.moc"
