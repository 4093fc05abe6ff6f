// The on-screen keyboard: its layout, what each key does to the field, the clipboard, and its
// opening from the menu and the toolbar.

#include <QClipboard>
#include <QMimeData>
#include <QToolButton>

#include "MainWindowHarness.h"
#include "tools/ScreenKeyboard.h"
#include "ui/SecretClipboard.h"

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
    void keysStandAtTheirPlaces() {
        Rig rig;
        QCOMPARE(rig.keyboard.objectName(), QString("TfmScreenKeyboard"));
        QCOMPARE(rig.keyboard.windowTitle(), QString("On-screen Keyboard"));
        QCOMPARE(rig.keyboard.size(), QSize(443, 245));
        QCOMPARE(rig.keyboard.minimumSize(), rig.keyboard.maximumSize());
        const auto rect = [&](const QString& caption) { return rig.key(caption)->geometry(); };
        QCOMPARE(rect("`"), QRect(16, rect("`").y(), 25, 25));
        QCOMPARE(rect("+").x(), 16 + 12 * 28);
        QCOMPARE(rect("<---"), QRect(16 + 13 * 28, rect("`").y(), 49, 25));
        QCOMPARE(rect("q").x(), 60);
        QCOMPARE(rect("\\").x(), 60 + 12 * 28);
        QCOMPARE(rect("Caps").x(), 16);
        QCOMPARE(rect("Caps").width(), 49);
        QCOMPARE(rect("a").x(), 68);
        QCOMPARE(rect("'").x(), 68 + 10 * 28);
        QCOMPARE(rig.keyboard.findChild<QPushButton*>("btnShift")->geometry().x(), 28);
        QCOMPARE(rect("z").x(), 80);
        QCOMPARE(rect("/").x(), 80 + 9 * 28);
        QCOMPARE(rig.keyboard.findChild<QPushButton*>("btnShiftRight")->geometry(),
                 QRect(80 + 10 * 28, rect("z").y(), 49, 25));
        QCOMPARE(rect("Space").x(), 132);
        QCOMPARE(rect("Space").width(), 153);
        QCOMPARE(rig.field()->geometry().x(), 132);
        QCOMPARE(rig.field()->geometry().width(), 169);
        QCOMPARE(rect("Copy to Clipboard").x(), 309);
        QCOMPARE(rect("Copy to Clipboard").width(), 100);
        // Rows follow each other downwards, inside the client area.
        QVERIFY(rect("`").y() < rect("q").y() && rect("q").y() < rect("a").y());
        QVERIFY(rect("a").y() < rect("z").y() && rect("z").y() < rect("Space").y());
        QVERIFY(rect("Space").bottom() < rig.field()->geometry().y());
        QVERIFY(rig.field()->geometry().bottom() < 245);
        QCOMPARE(rig.keyboard.findChildren<QPushButton*>().size(), 47 + 6);
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
        vorkel::test::TempDir dir;
        makeAccount(dir.path(), "bob", "pw");
        MainWindowHarness h(dir.path());
        h.logOn("bob", "pw");
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
        whenModal("TfmScreenKeyboard", typeAndClose);
        h.child<QAction>("itemOnscreenKeyboard")->trigger();
        whenModal("TfmScreenKeyboard", typeAndClose);
        QTest::mouseClick(h.child<QToolButton>("btnRefresh"), Qt::LeftButton);
        QCOMPARE(opened, 2);
        QVERIFY(!h.window->findChild<ScreenKeyboard*>());
        QVERIFY(h.ui.said.empty());
    }
};

QTEST_MAIN(ScreenKeyboardTest)
#include "ScreenKeyboardTest.moc"
