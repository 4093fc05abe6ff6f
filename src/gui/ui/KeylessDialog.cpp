#include "gui/ui/KeylessDialog.h"

#include <QKeyEvent>
#include <QPushButton>

#include "gui/ui/DialogFlags.h"

namespace vorkel::gui {

KeylessDialog::KeylessDialog(QWidget* parent) : QDialog(parent, closeBoxOnly()) {}

void KeylessDialog::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            event->accept();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (auto* button = qobject_cast<QPushButton*>(focusWidget());
                button && button->window() == this && button->isEnabled()) {
                button->click();
            }
            event->accept();
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

void KeylessDialog::showEvent(QShowEvent* event) {
    // QDialog makes the first auto-default button the default when it is shown; with none,
    // Enter in a text field reaches keyPressEvent above and is dropped.
    const auto buttons = findChildren<QPushButton*>();
    for (QPushButton* button : buttons) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    QDialog::showEvent(event);
}

}  // namespace vorkel::gui
