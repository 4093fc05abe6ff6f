#include "gui/logon/PasswordChangeDialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/session/Messages.h"
#include "core/session/Session.h"
#include "gui/logon/PasswordConfirmDialog.h"
#include "gui/ui/CentreOnScreen.h"
#include "gui/ui/DialogButtons.h"
#include "gui/ui/MessageService.h"
#include "gui/ui/QtText.h"

namespace vorkel::gui {

PasswordChangeDialog::PasswordChangeDialog(vorkel::Session& session, MessageService& messages,
                                           QWidget* parent)
    : KeylessDialog(parent),
      m_session(session),
      m_messages(messages),
      m_editPassword(new QLineEdit(this)),
      m_editConfirmPassword(new QLineEdit(this)) {
    setObjectName(QStringLiteral("TfmPasswordChange"));
    setWindowTitle(toQString(vorkel::msg::kChangeCaption));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setFixedSize(312, 190);

    auto* instructions = new QLabel(toQString(vorkel::msg::kChangeInstructions), this);
    instructions->setObjectName(QStringLiteral("lblConfirm"));
    instructions->setTextFormat(Qt::PlainText);
    instructions->setWordWrap(true);
    auto* lblPassword = new QLabel(QStringLiteral("Password:"), this);
    lblPassword->setObjectName(QStringLiteral("lblPassword"));
    auto* lblConfirm1 = new QLabel(QStringLiteral("Confirm Password:"), this);
    lblConfirm1->setObjectName(QStringLiteral("lblConfirm1"));
    m_editPassword->setObjectName(QStringLiteral("editPassword"));
    m_editPassword->setEchoMode(QLineEdit::Password);
    m_editConfirmPassword->setObjectName(QStringLiteral("editConfirmPassword"));
    m_editConfirmPassword->setEchoMode(QLineEdit::Password);

    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    connect(ok, &QPushButton::clicked, this, &PasswordChangeDialog::btnOKClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* fields = new QGridLayout;
    fields->addWidget(lblPassword, 0, 0);
    fields->addWidget(m_editPassword, 0, 1);
    fields->addWidget(lblConfirm1, 1, 0);
    fields->addWidget(m_editConfirmPassword, 1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(instructions);
    layout->addLayout(fields);
    layout->addStretch();
    layout->addWidget(buttonRow(this, ok, cancel));

    setTabOrder(m_editPassword, m_editConfirmPassword);
    setTabOrder(m_editConfirmPassword, ok);
    setTabOrder(ok, cancel);
    m_editPassword->setFocus();
}

void PasswordChangeDialog::btnOKClick() {
    std::string password = toStdString(m_editPassword->text());
    std::string confirmation = toStdString(m_editConfirmPassword->text());
    const vorkel::WipeOnExit wipePassword(password);
    const vorkel::WipeOnExit wipeConfirmation(confirmation);
    if (const auto problem = vorkel::Session::newPasswordProblem(password, confirmation)) {
        m_messages.tell(MessageService::Kind::Warning, std::string(*problem));
        m_editPassword->setFocus();
        return;
    }

    std::string current;
    const vorkel::WipeOnExit wipeCurrent(current);
    {
        PasswordConfirmDialog confirm(this);
        confirm.setPrompt(toQString(vorkel::msg::kCurrentPasswordPrompt));
        if (confirm.exec() != QDialog::Accepted) return;
        current = confirm.password();
    }
    if (!m_session.isCurrentMasterPassword(current)) {
        m_messages.tell(MessageService::Kind::Warning,
                        std::string(vorkel::msg::kCurrentPasswordWrong));
        return;
    }
    m_session.SetMasterPassword(password);
    m_messages.tell(MessageService::Kind::Information,
                    std::string(vorkel::msg::kMasterPasswordUpdated));
    accept();
}

void PasswordChangeDialog::showEvent(QShowEvent* event) {
    // Centred on the screen, not over the main window, whatever size that has.
    centreOnScreen(*this);
    KeylessDialog::showEvent(event);
}

}  // namespace vorkel::gui
