#pragma once

#include <QWidget>
#include <string>

#include "session/Session.h"
#include "storage/SecureBytes.h"

/// The pair the workspace is keyed under, kept so that the last write after a failed lock can
/// still use it: a re-logon attempt replaces the session's pair before it is verified, and a
/// write under a mistyped pair would lock the user out of their own files.
class KeptLogon {
public:
    /// Takes the pair from a dialog's editUsername (the session's user when the dialog has
    /// none) and editPassword, but only when it is the session's current pair.
    void noteFrom(const vorkel::Session& session, const QWidget& dialog);
    /// True when the kept pair is the session's current pair.
    bool matches(const vorkel::Session& session) const;
    /// Puts the kept pair back into the session.
    void restoreInto(vorkel::Session& session) const;

private:
    bool m_known = false;
    std::string m_user;
    vorkel::SecureString m_password;
};
