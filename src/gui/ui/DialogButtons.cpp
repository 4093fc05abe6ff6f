#include "gui/ui/DialogButtons.h"

#include <QPushButton>

namespace vorkel::gui {

QDialogButtonBox* buttonRow(QWidget* parent, QPushButton* accept, QPushButton* reject) {
    auto* box = new QDialogButtonBox(Qt::Horizontal, parent);
    // OK stays left of Cancel whatever the desktop's convention (a GNOME theme would swap them):
    // the dialogs' layouts and their tests place them so.
    box->setStyleSheet(QStringLiteral("QDialogButtonBox { button-layout: 0; }"));
    // The box only places them: its accepted() and rejected() stay unconnected.
    box->addButton(accept, QDialogButtonBox::AcceptRole);
    if (reject) box->addButton(reject, QDialogButtonBox::RejectRole);
    return box;
}

}  // namespace vorkel::gui
