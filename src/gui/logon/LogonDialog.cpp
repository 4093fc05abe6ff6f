#include "gui/logon/LogonDialog.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>
#include <utility>

#include "core/session/Messages.h"
#include "core/session/RunState.h"
#include "gui/logon/PasswordConfirmDialog.h"
#include "gui/ui/CentreOnScreen.h"
#include "gui/ui/DialogButtons.h"
#include "gui/ui/MessageService.h"
#include "gui/ui/ProductLogo.h"
#include "gui/ui/QtText.h"

namespace vorkel::gui {

namespace {

QLabel* namedLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

}  // namespace

LogonDialog::LogonDialog(vorkel::RunState& run, MessageService& messages, QWidget* owner)
    : KeylessDialog(owner),
      m_run(run),
      m_messages(messages),
      m_lblPromo(namedLabel(QStringLiteral("lblPromo"), {}, this)),
      m_lblInstructions(namedLabel(QStringLiteral("lblInstructions"), {}, this)),
      m_editUsername(new QLineEdit(this)),
      m_editPassword(new QLineEdit(this)),
      m_btnLogon(new QPushButton(QStringLiteral("&Logon"), this)),
      m_btnCancel(new QPushButton(QStringLiteral("&Cancel"), this)) {
    setObjectName(QStringLiteral("TfmLogon"));
    setWindowTitle(toQString(vorkel::msg::kLogonCaption));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setFixedSize(411, 245);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    m_editUsername->setObjectName(QStringLiteral("editUsername"));
    m_editPassword->setObjectName(QStringLiteral("editPassword"));
    m_editPassword->setEchoMode(QLineEdit::Password);
    m_btnLogon->setObjectName(QStringLiteral("btnLogon"));
    m_btnCancel->setObjectName(QStringLiteral("btnCancel"));
    buildLayout();

    setTabOrder(m_editUsername, m_editPassword);
    setTabOrder(m_editPassword, m_btnLogon);
    setTabOrder(m_btnLogon, m_btnCancel);
    m_editUsername->setFocus();

    // The logon runs when Enter is released, not pressed, in the password field.
    m_editPassword->installEventFilter(this);
    connect(m_btnLogon, &QPushButton::clicked, this, &LogonDialog::btnLogonClick);
    connect(m_btnCancel, &QPushButton::clicked, this, &LogonDialog::reject);

    SetLogonPrompt();
}

void LogonDialog::buildLayout() {
    m_lblPromo->setWordWrap(true);
    m_lblInstructions->setWordWrap(true);

    auto* fields = new QGridLayout;
    fields->addWidget(namedLabel(QStringLiteral("lblUsername"), QStringLiteral("Username:"), this),
                      0, 0);
    fields->addWidget(m_editUsername, 0, 1);
    fields->addWidget(namedLabel(QStringLiteral("lblPassword"), QStringLiteral("Password:"), this),
                      1, 0);
    fields->addWidget(m_editPassword, 1, 1);

    auto* left = new QVBoxLayout;
    left->addWidget(m_lblPromo);
    left->addWidget(m_lblInstructions);
    left->addStretch();
    left->addLayout(fields);
    left->addWidget(buttonRow(this, m_btnLogon, m_btnCancel));

    // The logo panel: a picture in a thin silver frame, the product name and the tagline.
    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("pnlLogo"));
    frame->setFrameShape(QFrame::Box);
    frame->setStyleSheet(QStringLiteral("QFrame#pnlLogo { border: 1px solid silver; }"));
    auto* picture = new QLabel(frame);
    picture->setPixmap(productLogo(72));
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(picture, 0, Qt::AlignCenter);

    auto* product =
        namedLabel(QStringLiteral("lblProduct"), toQString(vorkel::msg::kProductName), this);
    QFont productFont = product->font();
    productFont.setBold(true);
    productFont.setPointSize(16);
    product->setFont(productFont);
    product->setAlignment(Qt::AlignHCenter);
    auto* tagline =
        namedLabel(QStringLiteral("lblTagline"), toQString(vorkel::msg::kTagline), this);
    tagline->setAlignment(Qt::AlignHCenter);

    auto* version =
        namedLabel(QStringLiteral("lblVersion"), toQString(vorkel::msg::kVersionText), this);
    version->setAlignment(Qt::AlignRight | Qt::AlignBottom);
    QPalette grey = version->palette();
    grey.setColor(QPalette::WindowText, Qt::gray);
    version->setPalette(grey);

    auto* right = new QVBoxLayout;
    right->addWidget(frame);
    right->addWidget(product);
    right->addWidget(tagline);
    right->addStretch();
    right->addWidget(version);

    auto* columns = new QHBoxLayout(this);
    columns->setContentsMargins(10, 10, 10, 8);
    columns->setSpacing(12);
    columns->addLayout(left, 1);
    columns->addLayout(right);
}

void LogonDialog::SetLogonPrompt() {
    m_lblPromo->setText(toQString(vorkel::msg::kLogonPromo));
    m_newAccountMode = m_run.refreshLogonMode();
    m_lblInstructions->setText(toQString(m_newAccountMode ? vorkel::msg::kFirstRunInstructions
                                                          : vorkel::msg::kLogonInstructions));
}

void LogonDialog::clearFields() {
    m_editUsername->clear();
    m_editPassword->clear();
    m_editUsername->setFocus();
}

void LogonDialog::btnLogonClick() {
    std::string user = toStdString(m_editUsername->text());
    std::string password = toStdString(m_editPassword->text());
    const vorkel::WipeOnExit wipeUser(user);
    const vorkel::WipeOnExit wipePassword(password);
    using Outcome = vorkel::RunState::LogonOutcome;
    switch (m_run.submitLogon(user, password, [this] { return askConfirmation(); })) {
        case Outcome::FocusUsername:
            m_editUsername->setFocus();
            break;
        case Outcome::FocusPassword:
            m_editPassword->setFocus();
            break;
        case Outcome::Stay:
            break;
        case Outcome::Entered:
            // The dialog is hidden for later re-use, and the password need not linger in it.
            m_editPassword->clear();
            emit entered();
            break;
        case Outcome::Ended:
            close();
            break;
    }
}

std::optional<vorkel::SecureString> LogonDialog::askConfirmation() {
    PasswordConfirmDialog confirm(this);
    if (confirm.exec() != QDialog::Accepted) return std::nullopt;
    std::string typed = confirm.password();
    const vorkel::WipeOnExit wipe(typed);
    return vorkel::SecureString(typed.begin(), typed.end());
}

void LogonDialog::reject() {
    close();
}

void LogonDialog::closeEvent(QCloseEvent* event) {
    event->accept();
    QDialog::done(QDialog::Rejected);
    emit programEnd();
}

void LogonDialog::showEvent(QShowEvent* event) {
    // Centred on the screen at every showing, whatever the state of the owner window.
    centreOnScreen(*this);
    KeylessDialog::showEvent(event);
}

bool LogonDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_editPassword) return KeylessDialog::eventFilter(watched, event);
    const QEvent::Type type = event->type();
    // A press whose release went elsewhere does not carry over to the next visit.
    if (type == QEvent::FocusOut) m_enterPressedHere = false;
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease)
        return KeylessDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return KeylessDialog::eventFilter(watched, event);
    if (key->isAutoRepeat()) return true;
    if (type == QEvent::KeyPress) {
        m_enterPressedHere = true;
        return true;
    }
    // Only a release whose press came to this field: the Enter that closes a message box
    // releases here too, and must not run the logon again.
    if (std::exchange(m_enterPressedHere, false)) btnLogonClick();
    return true;
}

}  // namespace vorkel::gui
