#include "gui/tools/ToolDialog.h"
#include "gui/ui/CentreOnScreen.h"
#include "gui/ui/DialogButtons.h"
#include "gui/ui/DialogFlags.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace vorkel::gui {

ToolDialog::ToolDialog(QWidget* parent) : QDialog(parent, closeBoxOnly()) {
    setModal(true);
}

void ToolDialog::showEvent(QShowEvent* event) {
    // Centred on the screen rather than over the owner, whatever size the owner has.
    centreOnScreen(*this);
    QDialog::showEvent(event);
}

ToolDialog::Buttons ToolDialog::layOutTabs(QWidget* tabs) {
    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttonRow(this, ok, cancel));
    // The dialog opens with the focus on OK unless it puts the focus elsewhere: the button box
    // comes after the tabs in the focus chain, so a control on the tabs would take it first.
    ok->setFocus();
    return {ok, cancel};
}

}  // namespace vorkel::gui
