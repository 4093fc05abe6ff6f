#pragma once

#include "gui/tools/ToolDialog.h"

class QComboBox;
class QLineEdit;
class QSpinBox;

namespace vorkel {
class Session;
}

namespace vorkel::gui {

/// TfmGenPass, "Generate Password": makes passwords of a chosen length with the session's
/// generator and shows them read-only, for the user to copy. Hands nothing back to its owner.
class GeneratePasswordDialog : public ToolDialog {
    Q_OBJECT
public:
    /// Opens with an empty password, length 6 and "256-bit encryption" chosen.
    GeneratePasswordDialog(vorkel::Session& session, QWidget* parent);

    /// Shows the first spinPassLen characters of a new password (the whole text if shorter).
    void btnGeneratePassClick();
    /// Puts the shown password on the clipboard; with none shown the clipboard keeps its text.
    void btnCopyClick();

private:
    vorkel::Session& m_session;
    QLineEdit* m_editPassword;
    QSpinBox* m_spinPassLen;
    QComboBox* m_cmbEncryptStrength;
};

}  // namespace vorkel::gui
