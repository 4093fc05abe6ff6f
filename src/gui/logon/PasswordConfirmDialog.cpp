#include "gui/logon/PasswordConfirmDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/session/Messages.h"
#include "gui/ui/DialogButtons.h"
#include "gui/ui/QtText.h"

namespace vorkel::gui {

PasswordConfirmDialog::PasswordConfirmDialog(QWidget* parent)
    : KeylessDialog(parent),
      m_lblConfirm(new QLabel(toQString(vorkel::msg::kConfirmPrompt), this)),
      m_editPassword(new QLineEdit(this)) {
    setObjectName(QStringLiteral("TfmPasswordConfirm"));
    setWindowTitle(toQString(vorkel::msg::kConfirmCaption));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setFixedSize(318, 141);

    m_lblConfirm->setObjectName(QStringLiteral("lblConfirm"));
    m_lblConfirm->setTextFormat(Qt::PlainText);
    m_lblConfirm->setWordWrap(true);
    auto* label = new QLabel(QStringLiteral("Password:"), this);
    label->setObjectName(QStringLiteral("lblPassword"));
    m_editPassword->setObjectName(QStringLiteral("editPassword"));
    m_editPassword->setEchoMode(QLineEdit::Password);

    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* field = new QHBoxLayout;
    field->addWidget(label);
    field->addWidget(m_editPassword, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_lblConfirm);
    layout->addLayout(field);
    layout->addStretch();
    layout->addWidget(buttonRow(this, ok, cancel));

    setTabOrder(m_editPassword, ok);
    setTabOrder(ok, cancel);
    m_editPassword->setFocus();
}

void PasswordConfirmDialog::setPrompt(const QString& prompt) {
    m_lblConfirm->setText(prompt);
}

std::string PasswordConfirmDialog::password() const {
    return toStdString(m_editPassword->text());
}

}  // namespace vorkel::gui
