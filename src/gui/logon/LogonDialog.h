#pragma once

#include <optional>

#include "core/storage/SecureBytes.h"

#include "gui/ui/KeylessDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace vorkel {
class RunState;
}

namespace vorkel::gui {

class MessageService;

/// The gate to the main window: a first run takes a new user name and master password and has
/// the password confirmed; a later run checks the typed pair against the settings file. One
/// object serves the whole process and every close of it ends the program.
class LogonDialog : public KeylessDialog {
    Q_OBJECT
public:
    /// `owner` is the main window (may be null); the dialog sets up its prompt at once. Every
    /// attempt goes to `run`, which decides.
    LogonDialog(vorkel::RunState& run, MessageService& messages, QWidget* owner);

    /// Sets the texts and the mode the run state gives: a new account or a logon.
    void SetLogonPrompt();
    /// Empties the user name and password fields and puts the focus in the user name.
    void clearFields();
    /// True when the last SetLogonPrompt set up a new account.
    bool newAccountMode() const { return m_newAccountMode; }
    /// The logon attempt, as the Logon button and Enter released in the password field run it.
    void btnLogonClick();

signals:
    /// A logon or new account succeeded: the main window is in use now.
    void entered();
    /// Every close of the dialog (Cancel, close box, failed verification): the program ends.
    void programEnd();

public slots:
    /// Cancel closes the dialog, and every close ends the program.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    std::optional<vorkel::SecureString> askConfirmation();

    vorkel::RunState& m_run;
    MessageService& m_messages;
    bool m_newAccountMode = false;
    bool m_enterPressedHere = false;  // Enter went down in editPassword, not in a message box

    QLabel* m_lblPromo;
    QLabel* m_lblInstructions;
    QLineEdit* m_editUsername;
    QLineEdit* m_editPassword;
    QPushButton* m_btnLogon;
    QPushButton* m_btnCancel;
};

}  // namespace vorkel::gui
