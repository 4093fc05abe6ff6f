// The menus, toolbars and links that CommandBars builds: every one runs its command through
// the one boundary it was given, and runs nothing when the boundary refuses.

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "gui/app/CommandBars.h"
#include "gui/ui/LinkLabel.h"

using namespace vorkel::gui;

namespace {

/// A main window with one menu item, one toolbar button and one link, all counting into
/// `ran`, behind a boundary that counts its passes and lets commands through while `open`.
struct Bars {
    QMainWindow window;
    bool open = true;
    int passes = 0;
    QStringList ran;

    Bars() {
        CommandBars bars(window, [this](const CommandBars::Command& command) {
            ++passes;
            if (open) command();
        });
        QMenu* file = bars.menu("File", "File1");
        bars.item(file, "Save All", "itemSave", [this] { ran << "menu"; });
        QToolBar* bar = bars.toolBar("Password Maintenance", "ToolBar1");
        bars.button(bar, "Save", "btnSaveV", QStyle::SP_DialogSaveButton,
                    [this] { ran << "button"; });
        bars.captionStrip(bar, "ToolBar1Caption",
                          {{QStringLiteral("Site"), "lblSite", [this] { ran << "site"; }},
                           {QStringLiteral("Mail"), "lblMail", [this] { ran << "mail"; }}});
    }
    void runAll() {
        window.findChild<QAction*>("itemSave")->trigger();
        window.findChild<QToolButton*>("btnSaveV")->click();
        for (const char* name : {"lblSite", "lblMail"}) {
            auto* link = window.findChild<LinkLabel*>(name);
            QTest::mouseClick(link, Qt::LeftButton);
        }
    }
};

}  // namespace

class CommandBarsTest : public QObject {
    Q_OBJECT
private slots:
    void everyPlaceRunsItsCommandThroughTheBoundary() {
        Bars b;
        b.runAll();
        QCOMPARE(b.ran, QStringList({"menu", "button", "site", "mail"}));
        QCOMPARE(b.passes, 4);
    }

    void aClosedBoundaryRunsNothing() {
        Bars b;
        b.open = false;
        b.runAll();
        QCOMPARE(b.passes, 4);
        QVERIFY(b.ran.isEmpty());
    }

    void aBoundSlotRunsThroughTheSameBoundary() {
        QMainWindow window;
        bool open = false;
        int passes = 0;
        QStringList ran;
        CommandBars bars(window, [&](const CommandBars::Command& command) {
            ++passes;
            if (open) command();
        });
        const std::function<void()> slot = bars.bound([&] { ran << "editor"; });
        slot();
        QCOMPARE(passes, 1);
        QVERIFY(ran.isEmpty());
        open = true;
        slot();
        QCOMPARE(passes, 2);
        QCOMPARE(ran, QStringList({"editor"}));
    }

    void theStripCarriesTheBarsCaptionAndItsLinksInOrder() {
        Bars b;
        auto* strip = b.window.findChild<QToolBar*>("ToolBar1Caption");
        QVERIFY(strip);
        QCOMPARE(b.window.toolBarBreak(strip), true);
        QCOMPARE(b.window.findChild<QLabel*>("lblToolBarCaption")->text(),
                 QStringLiteral("Password Maintenance"));
        const auto* site = b.window.findChild<LinkLabel*>("lblSite");
        const auto* mail = b.window.findChild<LinkLabel*>("lblMail");
        QCOMPARE(site->text(), QStringLiteral("Site"));
        b.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b.window));
        QVERIFY(site->geometry().right() < mail->geometry().left());
    }
};

QTEST_MAIN(CommandBarsTest)
#include "CommandBarsTest.moc"
