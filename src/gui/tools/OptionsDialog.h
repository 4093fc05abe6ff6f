#pragma once

#include <array>
#include <cstdint>
#include <utility>

#include "gui/tools/ToolDialog.h"

class QCheckBox;
class QComboBox;
class QSpinBox;
class QTabWidget;

namespace vorkel {
struct Options;
}

namespace vorkel::gui {

/// TfmOptions, "Options": the ten options that shape how secrets show and how the program
/// behaves when left alone. The options change only when the user confirms with OK.
class OptionsDialog : public ToolDialog {
    Q_OBJECT
public:
    /// FormCreate: the "General" tab shown, the controls loaded from `options`.
    OptionsDialog(vorkel::Options& options, QWidget* parent);

    /// Ticks each box whose option is 1; spinMins shows MinProgMins (out of 1..100: the nearer
    /// bound); then UpdateMinutesEnabled.
    void LoadOptionControls();
    /// Each on/off option becomes 1 when ticked, else 0; MinProgMins takes spinMins, enabled or
    /// not.
    void StoreOptionControls();
    /// spinMins is enabled exactly while chkMinProg is ticked.
    void UpdateMinutesEnabled();
    /// StoreOptionControls, then closes with the result OK.
    void btnOKClick();

private:
    QWidget* buildGeneral();
    QWidget* buildSecurity();
    /// Each check box with the on/off option it shows, so loading and storing cannot drift.
    std::array<std::pair<QCheckBox*, std::int32_t vorkel::Options::*>, 9> bindings() const;

    vorkel::Options& m_options;
    QTabWidget* m_tabs = nullptr;
    QCheckBox* m_chkOnTop = nullptr;
    QCheckBox* m_chkShowToolTips = nullptr;
    QCheckBox* m_chkNotesURL = nullptr;
    QComboBox* m_cmbUpdateFrequency = nullptr;
    QCheckBox* m_chkUsernameShowClear = nullptr;
    QCheckBox* m_chkPasswordShowClear = nullptr;
    QCheckBox* m_chkPassphraseShowClear = nullptr;
    QCheckBox* m_chkEmptyClipboard = nullptr;
    QCheckBox* m_chkPromptMasterPass = nullptr;
    QCheckBox* m_chkMinProg = nullptr;
    QSpinBox* m_spinMins = nullptr;
};

}  // namespace vorkel::gui
