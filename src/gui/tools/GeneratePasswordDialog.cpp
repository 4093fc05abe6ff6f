#include "gui/tools/GeneratePasswordDialog.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/session/Session.h"
#include "core/tools/PasswordGenerator.h"
#include "gui/ui/Named.h"
#include "gui/ui/QtText.h"
#include "gui/ui/SecretClipboard.h"

namespace vorkel::gui {

GeneratePasswordDialog::GeneratePasswordDialog(vorkel::Session& session, QWidget* parent)
    : ToolDialog(parent),
      m_session(session),
      m_editPassword(named(new QLineEdit, "editPassword")),
      m_spinPassLen(named(new QSpinBox, "spinPassLen")),
      m_cmbEncryptStrength(named(new QComboBox, "cmbEncryptStrength")) {
    setObjectName(QStringLiteral("TfmGenPass"));
    setWindowTitle(QStringLiteral("Generate Password"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));

    auto* info = named(new QLabel(QStringLiteral(
                           "You can generate a new password by clicking the Generate Password "
                           "button below.  Also specifiy the password length and encryption "
                           "strength you require for the new password.")),
                       "lblInfo");
    info->setWordWrap(true);
    info->setTextFormat(Qt::PlainText);

    m_editPassword->setReadOnly(true);
    // The longest result (20 characters of the widest kind) shows whole.
    const QFontMetrics metrics(m_editPassword->font());
    m_editPassword->setMinimumWidth(metrics.horizontalAdvance(QString(20, QLatin1Char('W'))) + 12);
    auto* copy = named(new QPushButton(QStringLiteral("&Copy")), "btnCopy");
    m_spinPassLen->setRange(1, 20);
    m_spinPassLen->setValue(6);
    // Text that is no whole number counts as the least value; out of range, the nearer bound.
    m_spinPassLen->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    m_cmbEncryptStrength->addItems(
        {QStringLiteral("256-bit encryption"), QStringLiteral("512-bit encryption")});
    m_cmbEncryptStrength->setCurrentIndex(0);
    auto* generate =
        named(new QPushButton(QStringLiteral("&Generate Password")), "btnGeneratePass");

    auto* page = named(new QWidget, "tabGeneral");
    auto* grid = new QGridLayout;
    auto* lblPassword = named(new QLabel(QStringLiteral("Password:")), "lblPassword");
    auto* lblLength = named(new QLabel(QStringLiteral("Password Length:")), "lblPassLen");
    auto* lblStrength =
        named(new QLabel(QStringLiteral("Encryption Strength:")), "lblEncryptStrength");
    lblPassword->setBuddy(m_editPassword);
    lblLength->setBuddy(m_spinPassLen);
    lblStrength->setBuddy(m_cmbEncryptStrength);
    grid->addWidget(lblPassword, 0, 0);
    grid->addWidget(m_editPassword, 0, 1);
    grid->addWidget(copy, 0, 2);
    grid->addWidget(lblLength, 1, 0);
    grid->addWidget(m_spinPassLen, 1, 1, Qt::AlignLeft);
    grid->addWidget(lblStrength, 2, 0);
    grid->addWidget(m_cmbEncryptStrength, 2, 1, Qt::AlignLeft);
    grid->setColumnStretch(1, 1);
    auto* generateRow = new QHBoxLayout;
    generateRow->addStretch();
    generateRow->addWidget(generate);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->addWidget(info);
    pageLayout->addLayout(grid);
    pageLayout->addLayout(generateRow);
    auto* tabs = named(new QTabWidget, "pgcGenPass");
    tabs->addTab(page, QStringLiteral("Generate Password"));

    const auto [ok, cancel] = layOutTabs(tabs);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    page->setMinimumWidth(360);

    setTabOrder(m_editPassword, copy);
    setTabOrder(copy, m_spinPassLen);
    setTabOrder(m_spinPassLen, m_cmbEncryptStrength);
    setTabOrder(m_cmbEncryptStrength, generate);
    setTabOrder(generate, ok);
    setTabOrder(ok, cancel);
    // Enter makes a password, except on another button, which it presses.
    generate->setDefault(true);
    generate->setFocus();

    connect(generate, &QPushButton::clicked, this, &GeneratePasswordDialog::btnGeneratePassClick);
    connect(copy, &QPushButton::clicked, this, &GeneratePasswordDialog::btnCopyClick);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void GeneratePasswordDialog::btnGeneratePassClick() {
    // The spin field may still hold text being typed; it counts as it would on leaving it.
    m_spinPassLen->interpretText();
    const std::string generated = m_session.GeneratePassword();
    m_editPassword->setText(
        toQString(vorkel::cutPassword(generated, std::size_t(m_spinPassLen->value()))));
}

void GeneratePasswordDialog::btnCopyClick() {
    if (m_editPassword->text().isEmpty()) return;
    SecretClipboard::copySecret(m_editPassword->text());
}

}  // namespace vorkel::gui
