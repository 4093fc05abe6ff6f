#pragma once

#include <string>

#include "gui/ui/KeylessDialog.h"

class QLabel;
class QLineEdit;

namespace vorkel::gui {

/// Asks for a password once more: "&OK" closes it with Accepted, "&Cancel" and the close box
/// with Rejected. It has no logic of its own; the caller reads password() after OK.
class PasswordConfirmDialog : public KeylessDialog {
    Q_OBJECT
public:
    explicit PasswordConfirmDialog(QWidget* parent);

    /// Replaces the text of lblConfirm.
    void setPrompt(const QString& prompt);
    /// The text typed in editPassword, as UTF-8.
    std::string password() const;

private:
    QLabel* m_lblConfirm;
    QLineEdit* m_editPassword;
};

}  // namespace vorkel::gui
