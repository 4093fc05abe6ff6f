#include "app/KeptLogon.h"

#include <QLineEdit>

namespace {

vorkel::SecureString fieldText(const QWidget& dialog, const char* name) {
    const auto* field = dialog.findChild<const QLineEdit*>(name);
    if (!field) return {};
    QByteArray utf8 = field->text().toUtf8();
    vorkel::SecureString text(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    vorkel::secureWipe(utf8.data(), static_cast<std::size_t>(utf8.size()));
    return text;
}

}  // namespace

void KeptLogon::noteFrom(const vorkel::Session& session, const QWidget& dialog) {
    std::string user = session.LogonUserName();
    if (dialog.findChild<const QLineEdit*>("editUsername")) {
        const vorkel::SecureString typed = fieldText(dialog, "editUsername");
        user.assign(typed.begin(), typed.end());
    }
    vorkel::SecureString password = fieldText(dialog, "editPassword");
    if (user != session.LogonUserName() ||
        !session.isCurrentMasterPassword(std::string_view(password.data(), password.size())))
        return;
    m_user = std::move(user);
    m_password = std::move(password);
    m_known = true;
}

bool KeptLogon::matches(const vorkel::Session& session) const {
    return m_known && m_user == session.LogonUserName() &&
           session.isCurrentMasterPassword(std::string_view(m_password.data(), m_password.size()));
}

void KeptLogon::restoreInto(vorkel::Session& session) const {
    session.SetLogon(m_user, std::string_view(m_password.data(), m_password.size()));
}
