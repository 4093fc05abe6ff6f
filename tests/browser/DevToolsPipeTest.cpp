// The browser pipe's descriptors, with a shell standing in for the browser: the child gets the
// two protocol ends as 3 and 4 and nothing else of ours, and no end is left open behind.

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include "gui/tools/DevToolsPipe.h"
#include "support/TempDir.h"

using namespace vorkel::gui;

namespace {

/// The descriptors this process holds now.
QStringList openDescriptors() {
    QStringList names = QDir(QStringLiteral("/proc/self/fd"))
                            .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

}  // namespace

class DevToolsPipeTest : public QObject {
    Q_OBJECT
private slots:
    void aFailedStartLeavesNoDescriptorOpen();
    void theChildGetsTheTwoEndsAndNothingElse();
    void theEndsCloseWhenTheBrowserEndsAndAtShutdown();
};

void DevToolsPipeTest::aFailedStartLeavesNoDescriptorOpen() {
    const QString nowhere = QStringLiteral("/nonexistent/browser");
    // QProcess itself keeps a descriptor after a start that failed (Qt 6.4): measured here and
    // allowed for, so only the pipe's own ends are counted.
    qsizetype before = openDescriptors().size();
    {
        QProcess bare;
        bare.start(nowhere, QStringList());
        QVERIFY(!bare.waitForStarted(10000));
    }
    const qsizetype keptByQProcess = openDescriptors().size() - before;

    DevToolsPipe pipe;
    before = openDescriptors().size();
    QVERIFY_THROWS_EXCEPTION(vorkel::Error, pipe.start(nowhere, QStringList()));
    QVERIFY(!pipe.isOpen());
    QCOMPARE(openDescriptors().size() - before, keptByQProcess);
}

void DevToolsPipeTest::theChildGetsTheTwoEndsAndNothingElse() {
    vorkel::test::TempDir dir;
    const QString listing = QString::fromStdString(dir.path()) + "/fds";
    DevToolsPipe pipe;
    QSignalSpy finished(&pipe, &DevToolsPipe::finished);
    // The shell lists its own descriptors through a child of its own, so the listing's
    // redirection is not among them.
    pipe.start(QStringLiteral("/bin/sh"),
               {QStringLiteral("-c"), QStringLiteral("ls -l /proc/$$/fd > \"$0\"; :"), listing});
    QVERIFY(finished.wait(20000) || finished.count() == 1);
    QFile file(listing);
    QVERIFY(file.open(QIODevice::ReadOnly));
    // "... 3 -> pipe:[1234]": each descriptor and what it stands for.
    QMap<QString, QString> targets;
    for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
        const qsizetype arrow = line.indexOf(QStringLiteral(" -> "));
        if (arrow < 0) continue;
        const QString fd = line.left(arrow).section(' ', -1);
        targets.insert(fd, line.mid(arrow + 4));
    }
    QVERIFY2(targets.value("3").startsWith("pipe:"), qPrintable(targets.value("3")));
    QVERIFY2(targets.value("4").startsWith("pipe:"), qPrintable(targets.value("4")));
    QVERIFY(targets.value("3") != targets.value("4"));
    // The program's own ends stay with the program: a browser holding the writing end of its
    // command pipe would never see that pipe end.
    QCOMPARE(targets.values().count(targets.value("3")), 1);
    QCOMPARE(targets.values().count(targets.value("4")), 1);
}

void DevToolsPipeTest::theEndsCloseWhenTheBrowserEndsAndAtShutdown() {
    DevToolsPipe pipe;
    QSignalSpy finished(&pipe, &DevToolsPipe::finished);
    // A browser that ends by itself: the pipe closes both its ends.
    pipe.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("exit 0")});
    QVERIFY(finished.wait(20000) || finished.count() == 1);
    QVERIFY(!pipe.isOpen());
    const QStringList before = openDescriptors();
    // Started again, one that reads its commands until their end: the shutdown ends it.
    pipe.start(QStringLiteral("/bin/sh"),
               {QStringLiteral("-c"), QStringLiteral("cat <&3 >/dev/null")});
    QVERIFY(pipe.isOpen());
    QVERIFY(openDescriptors() != before);
    pipe.shutdown(20000);
    QVERIFY(!pipe.isOpen());
    QCOMPARE(pipe.processId(), qint64(0));
    QCOMPARE(openDescriptors(), before);
}

QTEST_MAIN(DevToolsPipeTest)
#include "DevToolsPipeTest.moc"
