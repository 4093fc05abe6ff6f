#include "tools/ToolDialog.h"

#include <QGuiApplication>
#include <QScreen>

ToolDialog::ToolDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setModal(true);
}

void ToolDialog::showEvent(QShowEvent* event) {
    // Centred on the screen rather than over the owner, whatever size the owner has.
    QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    QDialog::showEvent(event);
}
