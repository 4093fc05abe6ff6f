#pragma once

#include <QList>

#include "gui/tools/ToolDialog.h"

class QLineEdit;
class QPushButton;

namespace vorkel::gui {

/// TfmScreenKeyboard, "On-screen Keyboard": text composed by clicking keys with the mouse, kept
/// in the window's own field editValue until the user copies it. Sends nothing anywhere else.
class ScreenKeyboard : public ToolDialog {
    Q_OBJECT
public:
    /// An empty field with the focus, small letters (shift off), keys at their fixed places.
    explicit ScreenKeyboard(QWidget* parent);

    /// A letter or character key: appends its caption at the end of the field, wherever the
    /// text cursor is.
    void buttonclick(QPushButton* key);
    /// Shift (either one) and Caps: toggles the shift lock, turning every letter key between
    /// small letters and capitals.
    void btnShiftClick();
    /// "<---": deletes the last character of the field.
    void btnBackspaceClick();
    /// "Space": appends one blank at the end of the field.
    void Button50Click();
    /// "Copy to Clipboard": copies the field's selected text; with none, the clipboard keeps
    /// what it held.
    void Button48Click();

private:
    QPushButton* key(const QString& caption, int left, int top, int width, const QString& name);
    void addRow(const QString& captions, int left, int top);
    void addSpecialKeys();

    QLineEdit* m_editValue;
    QList<QPushButton*> m_letters;
    bool m_shift = false;
};

}  // namespace vorkel::gui
