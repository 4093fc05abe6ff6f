#include <sys/prctl.h>

#include <QApplication>
#include <QMessageBox>

#include "Error.h"
#include "app/HeldKeys.h"
#include "app/MainWindow.h"
#include "app/SingleInstance.h"
#include "entries/Clock.h"
#include "session/Session.h"
#include "storage/RandomSource.h"
#include "ui/LinkOpener.h"
#include "ui/MaskStyle.h"
#include "ui/QtMessageService.h"
#include "ui/QtText.h"

int main(int argc, char** argv) {
    // No core dumps and no ptrace by other processes of the user: memory holds the secrets.
    prctl(PR_SET_DUMPABLE, 0);

    QApplication app(argc, argv);
    app.setApplicationName("vorkel");
    QApplication::setStyle(new MaskStyle);
    // The program ends when the logon dialog closes, not when its last window does.
    QApplication::setQuitOnLastWindowClosed(false);
    // Where the server refuses, Qt's own pairing of repeats still applies.
    (void)reportHeldKeysOnce();

    const QString programFile = QCoreApplication::applicationFilePath();
    SingleInstance instance(programFile);
    try {
        if (instance.alreadyRunning()) return 0;
    } catch (const vorkel::Error& e) {
        QMessageBox::critical(nullptr, "Vorkel 3", toQString(e.what()));
        return 1;
    }

    vorkel::SystemRandom random;
    vorkel::SystemClock clock;
    vorkel::Session session(toStdString(programFile), random, clock);
    QtMessageService messages;
    LinkOpener links;
    MainWindow window(session, messages, links);
    messages.setParentWidget(&window);

    QObject::connect(&instance, &SingleInstance::activationRequested, &window,
                     &MainWindow::bringForward);
    // Queued, so the close sequence finishes (the clipboard included) before the loop ends.
    QObject::connect(&window, &MainWindow::programEnd, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);

    window.start();
    return QApplication::exec();
}
