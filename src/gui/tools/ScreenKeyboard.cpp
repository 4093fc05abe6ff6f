#include "gui/tools/ScreenKeyboard.h"

#include <QLineEdit>
#include <QPushButton>

#include "gui/ui/SecretClipboard.h"

namespace vorkel::gui {

namespace {

constexpr int kKey = 25;       // an ordinary key is square
constexpr int kPitch = 28;     // from one key's left edge to the next one's
constexpr int kWide = 49;      // "<---", "Caps" and both "Shift" keys
constexpr int kRowTop = 16;    // the top of the first row
constexpr int kRowPitch = 28;  // from one row's top to the next one's

int rowTop(int row) {
    return kRowTop + row * kRowPitch;
}

}  // namespace

ScreenKeyboard::ScreenKeyboard(QWidget* parent)
    : ToolDialog(parent), m_editValue(new QLineEdit(this)) {
    setObjectName(QStringLiteral("TfmScreenKeyboard"));
    setWindowTitle(QStringLiteral("On-screen Keyboard"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setFixedSize(443, 245);

    addRow(QStringLiteral("`1234567890-+"), 16, rowTop(0));
    addRow(QStringLiteral("qwertyuiop[]\\"), 60, rowTop(1));
    addRow(QStringLiteral("asdfghjkl;'"), 68, rowTop(2));
    addRow(QStringLiteral("zxcvbnm,./"), 80, rowTop(3));
    addSpecialKeys();

    m_editValue->setObjectName(QStringLiteral("editValue"));
    m_editValue->setGeometry(132, rowTop(5) + 8, 169, 21);
    m_editValue->setFocus();
}

QPushButton* ScreenKeyboard::key(const QString& caption, int left, int top, int width,
                                 const QString& name) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setGeometry(left, top, width, kKey);
    // Clicking a key must leave the focus, and so the selection, in the field; and Enter in the
    // field must not press a key.
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoDefault(false);
    return button;
}

void ScreenKeyboard::addRow(const QString& captions, int left, int top) {
    for (int i = 0; i < captions.size(); ++i) {
        const QChar c = captions.at(i);
        // Named by the character's code: "btnKey_61" is "a", "btnKey_2b" is "+".
        QPushButton* button = key(c, left + i * kPitch, top, kKey,
                                  QStringLiteral("btnKey_%1").arg(int(c.unicode()), 2, 16));
        if (c.isLetter()) m_letters << button;
        connect(button, &QPushButton::clicked, this, [this, button] { buttonclick(button); });
    }
}

void ScreenKeyboard::addSpecialKeys() {
    QPushButton* back = key(QStringLiteral("<---"), 16 + 13 * kPitch, rowTop(0), kWide,
                            QStringLiteral("btnBackspace"));
    QPushButton* caps =
        key(QStringLiteral("Caps"), 16, rowTop(2), kWide, QStringLiteral("btnCaps"));
    QPushButton* shift =
        key(QStringLiteral("Shift"), 28, rowTop(3), kWide, QStringLiteral("btnShift"));
    QPushButton* shift2 = key(QStringLiteral("Shift"), 80 + 10 * kPitch, rowTop(3), kWide,
                              QStringLiteral("btnShiftRight"));
    QPushButton* space =
        key(QStringLiteral("Space"), 132, rowTop(4) + 4, 153, QStringLiteral("Button50"));
    QPushButton* copy = key(QStringLiteral("Copy to Clipboard"), 309, rowTop(5) + 6, 100,
                            QStringLiteral("Button48"));
    connect(back, &QPushButton::clicked, this, &ScreenKeyboard::btnBackspaceClick);
    for (QPushButton* b : {caps, shift, shift2})
        connect(b, &QPushButton::clicked, this, &ScreenKeyboard::btnShiftClick);
    connect(space, &QPushButton::clicked, this, &ScreenKeyboard::Button50Click);
    connect(copy, &QPushButton::clicked, this, &ScreenKeyboard::Button48Click);
}

void ScreenKeyboard::buttonclick(QPushButton* key) {
    m_editValue->end(false);
    m_editValue->insert(key->text());
}

void ScreenKeyboard::btnShiftClick() {
    m_shift = !m_shift;
    for (QPushButton* letter : m_letters) {
        const QChar c = letter->text().at(0);
        letter->setText(m_shift ? c.toUpper() : c.toLower());
    }
}

void ScreenKeyboard::btnBackspaceClick() {
    m_editValue->end(false);
    m_editValue->backspace();
}

void ScreenKeyboard::Button50Click() {
    m_editValue->end(false);
    m_editValue->insert(QStringLiteral(" "));
}

void ScreenKeyboard::Button48Click() {
    // The keyboard is for typing secrets past key loggers: what it copies is one.
    if (m_editValue->hasSelectedText()) SecretClipboard::copySecret(m_editValue->selectedText());
}

}  // namespace vorkel::gui
