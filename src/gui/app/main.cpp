#include <sys/prctl.h>

#include <QApplication>
#include <QMessageBox>

#include "core/Error.h"
#include "core/entries/Clock.h"
#include "core/session/Session.h"
#include "core/storage/RandomSource.h"
#include "gui/app/HeldKeys.h"
#include "gui/app/MainWindow.h"
#include "gui/app/SingleInstance.h"
#include "gui/ui/LinkOpener.h"
#include "gui/ui/MaskStyle.h"
#include "gui/ui/QtMessageService.h"
#include "gui/ui/QtText.h"

using namespace vorkel::gui;

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
