#include "ui/DialogButtons.h"

#include <QPushButton>

QDialogButtonBox* buttonRow(QWidget* parent, QPushButton* accept, QPushButton* reject) {
    auto* box = new QDialogButtonBox(Qt::Horizontal, parent);
    // The box only places them: its accepted() and rejected() stay unconnected.
    box->addButton(accept, QDialogButtonBox::AcceptRole);
    if (reject) box->addButton(reject, QDialogButtonBox::RejectRole);
    return box;
}
