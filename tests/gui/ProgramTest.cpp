// The program file itself, started as a user starts it: one instance per program file, copies
// in two folders side by side, and the help page beside it.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QTest>
#include <memory>

#include "gui/app/SingleInstance.h"
#include "support/ProcessEnd.h"
#include "support/TempDir.h"

using namespace vorkel::gui;

namespace {

/// The program as this build made it, named by the build.
QString builtProgram() {
    return QStringLiteral(VORKEL_PROGRAM);
}

/// A copy of the program in `folder`: a copy, not a link, is what a user carries around.
QString installInto(const std::string& folder) {
    const QString target = QString::fromStdString(folder) + "vorkel";
    if (!QFile::copy(builtProgram(), target)) return {};
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return target;
}

/// One start of a program file, ended (if still running) when it goes out of scope.
struct Start {
    explicit Start(const QString& programFile) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        // Leaks inside the platform's own libraries would turn every exit code; the program's
        // own code is leak-checked by the in-process suites.
        env.insert("ASAN_OPTIONS", "detect_leaks=0");
        process.setProcessEnvironment(env);
        process.setProgram(programFile);
        process.start();
        process.waitForStarted(10000);
    }
    ~Start() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(10000);
        }
    }
    QProcess process;
};

/// Waits until the instance of `programFile` accepts a connection on its socket. A socket file
/// alone is no proof: a killed instance leaves one behind.
bool listening(const QString& programFile, int timeoutMs = 20000) {
    const QString socket = SingleInstance(programFile).serverName();
    return QTest::qWaitFor(
        [&] {
            QLocalSocket probe;
            probe.connectToServer(socket);
            const bool answered = probe.waitForConnected(1000);
            probe.abort();
            return answered;
        },
        timeoutMs);
}

/// Starts `programFile` once more and waits for that start to defer to a running instance:
/// proof that an instance of the file is up and answering.
bool answersASecondStart(const QString& programFile) {
    Start another(programFile);
    return vorkel::test::processEnded(another.process, 20000) &&
           another.process.exitStatus() == QProcess::NormalExit && another.process.exitCode() == 0;
}

}  // namespace

class ProgramTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void theHelpPageLiesBesideTheProgram();
    void aSecondStartOfTheSameFileEndsAtOnce();
    void copiesInTwoFoldersRunSideBySide();
    void aKilledInstanceDoesNotBlockTheNextStart();
};

void ProgramTest::initTestCase() {
    QVERIFY2(QFileInfo(builtProgram()).isExecutable(), qPrintable(builtProgram()));
}

void ProgramTest::theHelpPageLiesBesideTheProgram() {
    QFile page(QFileInfo(builtProgram()).dir().filePath("Vorkel.html"));
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QByteArray html = page.readAll();
    for (const char* topic : {"<title>", "Logging on", "Quick Search", "Save", "Backup", "Restore",
                              "Idle lock", "Options"})
        QVERIFY2(html.contains(topic), topic);
}

void ProgramTest::aSecondStartOfTheSameFileEndsAtOnce() {
    vorkel::test::TempDir dir;
    const QString program = installInto(dir.path());
    QVERIFY(!program.isEmpty());
    Start first(program);
    QVERIFY(listening(program));

    Start second(program);
    QVERIFY(vorkel::test::processEnded(second.process, 20000));
    QCOMPARE(second.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.process.exitCode(), 0);
    QCOMPARE(first.process.state(), QProcess::Running);
    // Nothing was written by either: the first waits at its logon dialog.
    QVERIFY(!QFileInfo::exists(QString::fromStdString(dir.file("Vorkel4.vfg"))));
    QVERIFY(!QFileInfo::exists(QString::fromStdString(dir.file("Vorkel4.xdb"))));
}

void ProgramTest::copiesInTwoFoldersRunSideBySide() {
    vorkel::test::TempDir one, two;
    const QString first = installInto(one.path()), second = installInto(two.path());
    QVERIFY(!first.isEmpty() && !second.isEmpty());
    Start a(first);
    QVERIFY(listening(first));
    Start b(second);
    QVERIFY(listening(second));
    // Each copy is the instance of its own file: a further start of either defers to it.
    QVERIFY(answersASecondStart(first));
    QVERIFY(answersASecondStart(second));
    QCOMPARE(a.process.state(), QProcess::Running);
    QCOMPARE(b.process.state(), QProcess::Running);
}

void ProgramTest::aKilledInstanceDoesNotBlockTheNextStart() {
    vorkel::test::TempDir dir;
    const QString program = installInto(dir.path());
    QVERIFY(!program.isEmpty());
    {
        Start crashed(program);
        QVERIFY(listening(program));
        crashed.process.kill();  // no clean-up: the socket file stays behind
        QVERIFY(vorkel::test::processEnded(crashed.process, 10000));
    }
    QVERIFY(QFileInfo::exists(SingleInstance(program).serverName()));
    Start next(program);
    QVERIFY(listening(program));
    QCOMPARE(next.process.state(), QProcess::Running);
    // It is the instance now: a further start defers to it.
    Start later(program);
    QVERIFY(vorkel::test::processEnded(later.process, 20000));
    QCOMPARE(later.process.exitCode(), 0);
    QCOMPARE(next.process.state(), QProcess::Running);
}

QTEST_MAIN(ProgramTest)
#include "ProgramTest.moc"
