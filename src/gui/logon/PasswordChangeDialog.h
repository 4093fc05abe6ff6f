#pragma once

#include "gui/ui/KeylessDialog.h"

class QLineEdit;

namespace vorkel {
class Session;
}

namespace vorkel::gui {

class MessageService;

/// Replaces the master password in memory after the new one is typed twice and the current
/// one once; the files take it at their next write.
class PasswordChangeDialog : public KeylessDialog {
    Q_OBJECT
public:
    PasswordChangeDialog(vorkel::Session& session, MessageService& messages, QWidget* parent);

    /// The change: checks the two new fields, asks for the current password, then replaces it
    /// and closes with Accepted. Every failed check leaves the dialog open and changes nothing.
    void btnOKClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    vorkel::Session& m_session;
    MessageService& m_messages;
    QLineEdit* m_editPassword;
    QLineEdit* m_editConfirmPassword;
};

}  // namespace vorkel::gui
