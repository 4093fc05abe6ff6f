#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "core/Error.h"
#include "gui/app/SingleInstance.h"
#include "gui/ui/QtText.h"
#include "support/ProcessEnd.h"
#include "support/TempDir.h"

using namespace vorkel::gui;

// Besides the tests, this program doubles as a second instance started by them:
//   --hold <program file>   be the running instance; print "listening", then "activated" once
//                           a later start asks, and end
//   --probe <program file>  start once; print "running" or "first"
namespace {

int childMain(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString mode = QString::fromLocal8Bit(argv[1]);
    SingleInstance instance(QString::fromLocal8Bit(argv[2]));
    if (mode == QLatin1String("--probe")) {
        std::puts(instance.alreadyRunning() ? "running" : "first");
        return 0;
    }
    if (instance.alreadyRunning()) return 3;
    QObject::connect(&instance, &SingleInstance::activationRequested, &app, [] {
        std::puts("activated");
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
    std::puts("listening");
    std::fflush(stdout);
    QTimer::singleShot(20000, &app, [] { QCoreApplication::exit(2); });
    return app.exec();
}

// Leaves a socket file that nobody listens on, as a crashed instance does.
bool leaveStaleSocket(const QString& path) {
    const QByteArray name = path.toLocal8Bit();
    sockaddr_un address{};
    if (name.size() >= static_cast<qsizetype>(sizeof(address.sun_path))) return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.constData(), static_cast<std::size_t>(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0) return false;
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return bound && QFile::exists(path);
}

// A copy of this test program started as a second process.
struct Child {
    Child(const char* mode, const QString& programFile) {
        process.setProgram(QCoreApplication::applicationFilePath());
        process.setArguments({QString::fromLatin1(mode), programFile});
        process.start();
    }
    ~Child() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    // Waits for the next line of output; empty when the child ended or nothing came in time.
    QByteArray line(int timeoutMs = 10000) {
        QElapsedTimer clock;
        clock.start();
        while (!process.canReadLine()) {
            if (clock.elapsed() > timeoutMs) return {};
            if (process.state() == QProcess::NotRunning) {
                if (!process.canReadLine()) return {};
                break;
            }
            // The test's own instance must keep answering while the child works.
            QCoreApplication::processEvents();
            process.waitForReadyRead(20);
        }
        return process.readLine().trimmed();
    }
    QProcess process;
};

}  // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT

private slots:
    void secondStartOfTheSameFileDefersAndActivatesTheFirst() {
        vorkel::test::TempDir dir;
        SingleInstance first(toQString(dir.file("vorkel")));
        QSignalSpy activations(&first, &SingleInstance::activationRequested);
        QVERIFY(!first.alreadyRunning());

        SingleInstance second(toQString(dir.file("vorkel")));
        QCOMPARE(second.serverName(), first.serverName());
        QVERIFY(second.alreadyRunning());
        QVERIFY(activations.wait(5000));
        QCOMPARE(activations.count(), 1);

        // Decided once: asking again neither changes the answer nor knocks again. A later
        // start's knock comes after any such second knock, so once it has arrived the count
        // is complete.
        QVERIFY(second.alreadyRunning());
        QVERIFY(!first.alreadyRunning());
        SingleInstance third(toQString(dir.file("vorkel")));
        QVERIFY(third.alreadyRunning());
        QTRY_VERIFY_WITH_TIMEOUT(activations.count() >= 2, 5000);
        QCOMPARE(activations.count(), 2);
    }

    void everyLaterStartIsAnActivation() {
        vorkel::test::TempDir dir;
        SingleInstance first(toQString(dir.file("vorkel")));
        QSignalSpy activations(&first, &SingleInstance::activationRequested);
        QVERIFY(!first.alreadyRunning());
        for (int i = 0; i < 3; ++i) {
            SingleInstance later(toQString(dir.file("vorkel")));
            QVERIFY(later.alreadyRunning());
        }
        QTRY_COMPARE_WITH_TIMEOUT(activations.count(), 3, 5000);
    }

    void copiesInTwoFoldersRunSideBySide() {
        vorkel::test::TempDir one;
        vorkel::test::TempDir two;
        SingleInstance a(toQString(one.file("vorkel")));
        SingleInstance b(toQString(two.file("vorkel")));
        QSignalSpy activations(&a, &SingleInstance::activationRequested);
        QVERIFY(a.serverName() != b.serverName());
        QVERIFY(!a.alreadyRunning());
        QVERIFY(!b.alreadyRunning());
        // b's start did not knock on a: a's first knock, from a later start of a's own file,
        // is its only one.
        SingleInstance laterA(toQString(one.file("vorkel")));
        QVERIFY(laterA.alreadyRunning());
        QTRY_VERIFY_WITH_TIMEOUT(activations.count() >= 1, 5000);
        QCOMPARE(activations.count(), 1);
    }

    void anotherPathToTheSameFileIsTheSameProgram() {
        vorkel::test::TempDir dir;
        vorkel::test::writeFile(dir.file("vorkel"), "program");
        QVERIFY(QFile::link(toQString(dir.file("vorkel")), toQString(dir.file("link-to-vorkel"))));
        SingleInstance viaFile(toQString(dir.file("vorkel")));
        SingleInstance viaLink(toQString(dir.file("link-to-vorkel")));
        QVERIFY(QDir().mkdir(toQString(dir.file("sub"))));
        SingleInstance viaDots(toQString(dir.path() + "sub/.././vorkel"));
        QCOMPARE(viaLink.serverName(), viaFile.serverName());
        QCOMPARE(viaDots.serverName(), viaFile.serverName());
        QVERIFY(!viaFile.alreadyRunning());
        QVERIFY(viaLink.alreadyRunning());
    }

    void theNameIsAHashNotThePath() {
        vorkel::test::TempDir dir;
        SingleInstance instance(toQString(dir.file("vorkel")));
        QVERIFY(!instance.serverName().contains(QStringLiteral("vorkel/")));
        QVERIFY(!instance.serverName().contains(toQString(dir.path())));
    }

    void theNextStartRunsAfterTheFirstEnds() {
        vorkel::test::TempDir dir;
        QString socketPath;
        {
            SingleInstance first(toQString(dir.file("vorkel")));
            QVERIFY(!first.alreadyRunning());
            socketPath = first.serverName();
            QVERIFY(QFile::exists(socketPath));
        }
        QVERIFY(!QFile::exists(socketPath));
        SingleInstance next(toQString(dir.file("vorkel")));
        QVERIFY(!next.alreadyRunning());
    }

    void aStaleSocketDoesNotCount() {
        vorkel::test::TempDir dir;
        SingleInstance instance(toQString(dir.file("vorkel")));
        QVERIFY(leaveStaleSocket(instance.serverName()));
        QVERIFY(!instance.alreadyRunning());
        // It now answers in the stale socket's place.
        SingleInstance later(toQString(dir.file("vorkel")));
        QSignalSpy activations(&instance, &SingleInstance::activationRequested);
        QVERIFY(later.alreadyRunning());
        QVERIFY(activations.wait(5000));
    }

    void withoutARuntimeFolderTheSocketGoesToAPrivateFolder() {
        vorkel::test::TempDir dir;
        const QString temp = toQString(dir.path());
        const QString expected = QDir(temp).filePath("vorkel-" + QString::number(::geteuid()));
        QCOMPARE(SingleInstance::privateFolder("/run/user/x", temp), QString("/run/user/x"));
        QCOMPARE(SingleInstance::privateFolder("", temp), expected);
        QCOMPARE(std::filesystem::status(expected.toStdString()).permissions(),
                 std::filesystem::perms::owner_all);
        // Found open to others, it is closed first; found as a file or a link, it is refused.
        std::filesystem::permissions(expected.toStdString(), std::filesystem::perms::all);
        QCOMPARE(SingleInstance::privateFolder("", temp), expected);
        QCOMPARE(std::filesystem::status(expected.toStdString()).permissions(),
                 std::filesystem::perms::owner_all);
        std::filesystem::remove(expected.toStdString());
        std::filesystem::create_directory_symlink(dir.path(), expected.toStdString());
        QVERIFY_THROWS_EXCEPTION(vorkel::Error, SingleInstance::privateFolder("", temp));
        std::filesystem::remove(expected.toStdString());
        vorkel::test::writeFile(expected.toStdString(), "x");
        try {
            SingleInstance::privateFolder("", temp);
            QFAIL("a file was taken for the folder");
        } catch (const vorkel::Error& e) {
            QVERIFY(std::string(e.what()).find("it is not a folder") != std::string::npos);
        }
    }

    void anUnexpectedSocketErrorIsReportedNotTakenForAnAnswer() {
        vorkel::test::TempDir dir;
        // A file where the socket's folder should be: connecting fails with "not a directory".
        vorkel::test::writeFile(dir.file("notafolder"), "x");
        SingleInstance instance(toQString(dir.file("vorkel")), toQString(dir.file("notafolder")));
        try {
            instance.alreadyRunning();
            QFAIL("an unreachable socket was taken for a running instance");
        } catch (const vorkel::Error& e) {
            QVERIFY2(std::string(e.what()).find("Cannot tell whether Vorkel is already running") !=
                         std::string::npos,
                     e.what());
        }
    }

    void aStrangerOnTheSocketIsNoActivation() {
        vorkel::test::TempDir dir;
        SingleInstance instance(toQString(dir.file("vorkel")));
        QSignalSpy activations(&instance, &SingleInstance::activationRequested);
        QVERIFY(!instance.alreadyRunning());
        QLocalSocket stranger;
        stranger.connectToServer(instance.serverName());
        QVERIFY(stranger.waitForConnected(2000));
        stranger.write(QByteArray(4096, 'x'));
        stranger.waitForBytesWritten(2000);
        // The instance read the line and hung up on it, without an activation.
        QTRY_COMPARE_WITH_TIMEOUT(stranger.state(), QLocalSocket::UnconnectedState, 5000);
        QCOMPARE(activations.count(), 0);
        // And it still answers a real start.
        SingleInstance later(toQString(dir.file("vorkel")));
        QVERIFY(later.alreadyRunning());
        QTRY_COMPARE_WITH_TIMEOUT(activations.count(), 1, 5000);
    }

    void aSecondProcessDefersToTheRunningOne() {
        vorkel::test::TempDir dir;
        SingleInstance first(toQString(dir.file("vorkel")));
        QSignalSpy activations(&first, &SingleInstance::activationRequested);
        QVERIFY(!first.alreadyRunning());
        Child probe("--probe", toQString(dir.file("vorkel")));
        QCOMPARE(probe.line(), QByteArray("running"));
        QVERIFY(activations.count() == 1 || activations.wait(5000));

        vorkel::test::TempDir elsewhere;
        Child other("--probe", toQString(elsewhere.file("vorkel")));
        QCOMPARE(other.line(), QByteArray("first"));
    }

    void theRunningProcessIsAskedToComeForward() {
        vorkel::test::TempDir dir;
        Child running("--hold", toQString(dir.file("vorkel")));
        QCOMPARE(running.line(), QByteArray("listening"));
        SingleInstance second(toQString(dir.file("vorkel")));
        QVERIFY(second.alreadyRunning());
        QCOMPARE(running.line(), QByteArray("activated"));
        QVERIFY(vorkel::test::processEnded(running.process, 5000));
        QCOMPARE(running.process.exitCode(), 0);
    }

    void aCrashedProcessDoesNotBlockTheNextStart() {
        vorkel::test::TempDir dir;
        QString socketPath;
        {
            Child crashing("--hold", toQString(dir.file("vorkel")));
            QCOMPARE(crashing.line(), QByteArray("listening"));
            crashing.process.kill();  // SIGKILL: no clean-up runs
            QVERIFY(vorkel::test::processEnded(crashing.process, 5000));
        }
        SingleInstance next(toQString(dir.file("vorkel")));
        QVERIFY(QFile::exists(next.serverName()));  // the crashed one's socket is still there
        QVERIFY(!next.alreadyRunning());
    }
};

int main(int argc, char** argv) {
    if (argc == 3 && (std::strcmp(argv[1], "--hold") == 0 || std::strcmp(argv[1], "--probe") == 0))
        return childMain(argc, argv);
    // A private runtime folder keeps the sockets of these tests away from a running program's.
    QTemporaryDir runtime;
    if (!runtime.isValid() ||
        !QFile::setPermissions(runtime.path(),
                               QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        return 1;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    QCoreApplication app(argc, argv);
    SingleInstanceTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "SingleInstanceTest.moc"
