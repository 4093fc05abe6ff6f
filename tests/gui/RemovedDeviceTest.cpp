// The storage device goes away while the program runs: Save All says so, and the close offers
// the backup, which writes the unsaved work to another folder.
#include <QTest>
#include <QToolButton>
#include <cstring>
#include <filesystem>

#include "MainWindowHarness.h"
#include "core/session/Messages.h"

using namespace vorkel;
using namespace vorkel::gui;
using namespace vorkel::test;
using Prompt = ScriptedMessageService::Prompt;

class RemovedDeviceTest : public QObject {
    Q_OBJECT
private slots:
    void saveAllReportsAndTheCloseBacksUpElsewhere();
};

void RemovedDeviceTest::saveAllReportsAndTheCloseBacksUpElsewhere() {
    LoggedOnWindow bob;  // its folder stands for the removable device
    MainWindowHarness& h = *bob;
    TempDir& stick = bob.dir;
    TempDir elsewhere;
    QVERIFY(h.window->isVisible());
    QTest::keyClicks(h.field("editTitle"), " edited");
    std::filesystem::remove_all(stick.path());

    QTest::mouseClick(h.child<QToolButton>("btnSaveV"), Qt::LeftButton);
    QCOMPARE(h.ui.said.size(), std::size_t(1));
    QCOMPARE(h.ui.said[0].prompt, Prompt::Unexpected);
    QCOMPARE(h.ui.said[0].text,
             "Cannot create file \"" + h.session.dataStorePath() + "\". " + std::strerror(ENOENT));
    QVERIFY(h.window->isVisible());

    h.ui.clearSaid();
    h.ui.yesNo = {true};
    h.ui.fileNames = {elsewhere.file("rescue.xdb")};
    h.window->close();
    QCOMPARE(h.ui.texts(),
             (std::vector<std::string>{std::string(msg::kStorageProblem), "Vorkel10-12-25.xdb"}));
    QCOMPARE(h.ended.count(), 1);
    QVERIFY(!std::filesystem::exists(stick.path()));

    SystemRandom random;
    FixedClock clock(christmas());
    Session check(elsewhere.file("vorkel"), random, clock);
    check.SetLogon("bob", "pw");
    check.RestoreFrom(elsewhere.file("rescue.xdb"));
    QCOMPARE(check.workspace().master().size(), std::size_t(4));
    QCOMPARE(std::string(check.workspace().master().at(0)->title()), "A Sample Entry edited");
}

QTEST_MAIN(RemovedDeviceTest)
#include "RemovedDeviceTest.moc"
