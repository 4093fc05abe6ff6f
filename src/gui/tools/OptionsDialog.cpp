#include "gui/tools/OptionsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/storage/Settings.h"
#include "gui/ui/Named.h"
#include "gui/ui/ProductLogo.h"

namespace vorkel::gui {

namespace {

QCheckBox* check(const char* caption, const char* name) {
    return named(new QCheckBox(QString::fromUtf8(caption)), name);
}

/// A thin sunken rule between groups of controls.
QFrame* rule() {
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

/// The picture and the word-wrapped text each tab begins with.
QHBoxLayout* heading(const QPixmap& picture, const char* text, const char* name) {
    auto* image = new QLabel;
    image->setPixmap(picture);
    image->setAlignment(Qt::AlignTop);
    auto* label = named(new QLabel(QString::fromUtf8(text)), name);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    auto* row = new QHBoxLayout;
    row->addWidget(image);
    row->addWidget(label, 1);
    return row;
}

void setTicked(QCheckBox* box, std::int32_t option) {
    box->setChecked(vorkel::Options::on(option));
}

std::int32_t flag(const QCheckBox* box) {
    return box->isChecked() ? 1 : 0;
}

}  // namespace

OptionsDialog::OptionsDialog(vorkel::Options& options, QWidget* parent)
    : ToolDialog(parent), m_options(options) {
    setObjectName(QStringLiteral("TfmOptions"));
    setWindowTitle(QStringLiteral("Options"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));

    m_tabs = named(new QTabWidget, "pgcOptions");
    m_tabs->addTab(buildGeneral(), QStringLiteral("General"));
    m_tabs->addTab(buildSecurity(), QStringLiteral("Security"));

    QPushButton* ok = layOutTabs(m_tabs).ok;
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &OptionsDialog::btnOKClick);
    connect(m_chkMinProg, &QCheckBox::toggled, this, &OptionsDialog::UpdateMinutesEnabled);

    m_tabs->setCurrentIndex(0);
    LoadOptionControls();
}

QWidget* OptionsDialog::buildGeneral() {
    auto* page = named(new QWidget, "tabGeneral");
    m_chkOnTop = check("Vorkel Always On Top", "chkOnTop");
    m_chkShowToolTips = check("Show Tooltips", "chkShowToolTips");
    m_chkNotesURL = check("Highlight Notes URLs", "chkNotesURL");
    // Bound to no option: the program has no update check, so the choice opens empty.
    m_cmbUpdateFrequency = named(new QComboBox, "cmbUpdateFrequency");
    m_cmbUpdateFrequency->addItems({QStringLiteral("Weekly"), QStringLiteral("Monthly")});
    m_cmbUpdateFrequency->setCurrentIndex(-1);
    auto* updates = named(new QLabel(QStringLiteral("Check For Updates:")), "lblUpdateFrequency");
    updates->setBuddy(m_cmbUpdateFrequency);
    auto* updateRow = new QHBoxLayout;
    updateRow->addWidget(updates);
    updateRow->addWidget(m_cmbUpdateFrequency);
    updateRow->addStretch();

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(heading(productLogo(48),
                              "These are the General Options for Vorkel.  Make your choices and "
                              "click the OK button to save your choices.",
                              "lblGeneralInfo"));
    layout->addWidget(rule());
    layout->addWidget(m_chkOnTop);
    layout->addWidget(m_chkShowToolTips);
    layout->addWidget(m_chkNotesURL);
    layout->addWidget(rule());
    layout->addLayout(updateRow);
    layout->addStretch();
    return page;
}

QWidget* OptionsDialog::buildSecurity() {
    auto* page = named(new QWidget, "tabSecurity");
    m_chkUsernameShowClear = check("Show Clear Usernames", "chkUsernameShowClear");
    m_chkPasswordShowClear = check("Show Clear Passwords", "chkPasswordShowClear");
    m_chkPassphraseShowClear = check("Show Clear Passphrases", "chkPassphraseShowClear");
    m_chkEmptyClipboard = check("Empty Clipboard on program exit", "chkEmptyClipboard");
    m_chkPromptMasterPass =
        check("Prompt for master password on restoring minimized program", "chkPromptMasterPass");
    m_chkMinProg = check("Minimize program on inactivity", "chkMinProg");
    m_spinMins = named(new QSpinBox, "spinMins");
    m_spinMins->setRange(1, 100);
    // Text that is no whole number counts as the least value; out of range, the nearer bound.
    m_spinMins->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    auto* after = named(new QLabel(QStringLiteral("After")), "lblAfter");
    after->setBuddy(m_spinMins);
    auto* minutesRow = new QHBoxLayout;
    minutesRow->addSpacing(20);
    minutesRow->addWidget(after);
    minutesRow->addWidget(m_spinMins);
    minutesRow->addWidget(named(new QLabel(QStringLiteral("minutes of inactivity")), "lblMins"));
    minutesRow->addStretch();

    const QPixmap shield = style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(48, 48);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(heading(shield,
                              "These are the Security Options for Vorkel.  Make your choices and "
                              "click the OK button to save your choices.",
                              "lblSecurityInfo"));
    layout->addWidget(rule());
    layout->addWidget(m_chkUsernameShowClear);
    layout->addWidget(m_chkPasswordShowClear);
    layout->addWidget(m_chkPassphraseShowClear);
    layout->addWidget(rule());
    layout->addWidget(m_chkEmptyClipboard);
    layout->addWidget(rule());
    layout->addWidget(m_chkPromptMasterPass);
    layout->addWidget(m_chkMinProg);
    layout->addLayout(minutesRow);
    layout->addStretch();
    return page;
}

std::array<std::pair<QCheckBox*, std::int32_t vorkel::Options::*>, 9> OptionsDialog::bindings()
    const {
    using O = vorkel::Options;
    return {{{m_chkOnTop, &O::AlwaysOnTop},
             {m_chkShowToolTips, &O::ShowToolTips},
             {m_chkNotesURL, &O::HighlightURLs},
             {m_chkUsernameShowClear, &O::ShowClearUsernames},
             {m_chkPasswordShowClear, &O::ShowClearPasswords},
             {m_chkPassphraseShowClear, &O::ShowClearPassphrase},
             {m_chkEmptyClipboard, &O::EmptyClipboard},
             {m_chkPromptMasterPass, &O::PromptMasterPass},
             {m_chkMinProg, &O::MinProg}}};
}

void OptionsDialog::LoadOptionControls() {
    for (const auto& [box, option] : bindings()) setTicked(box, m_options.*option);
    // setValue keeps to the range, so a stored value outside it shows as the nearer bound.
    m_spinMins->setValue(m_options.MinProgMins);
    UpdateMinutesEnabled();
}

void OptionsDialog::StoreOptionControls() {
    // Text still being typed counts as it would on leaving the field.
    m_spinMins->interpretText();
    for (const auto& [box, option] : bindings()) m_options.*option = flag(box);
    m_options.MinProgMins = m_spinMins->value();
}

void OptionsDialog::UpdateMinutesEnabled() {
    m_spinMins->setEnabled(m_chkMinProg->isChecked());
}

void OptionsDialog::btnOKClick() {
    StoreOptionControls();
    accept();
}

}  // namespace vorkel::gui
