#pragma once

#include <QDialog>

namespace vorkel::gui {

/// A dialog without a default button and without a cancel key: Enter and Escape do nothing,
/// except that Enter presses the button that has the focus. Only the close box and the
/// dialog's own buttons close it.
class KeylessDialog : public QDialog {
    Q_OBJECT
public:
    /// A fixed-size dialog whose title bar holds only a close box.
    explicit KeylessDialog(QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
};

}  // namespace vorkel::gui
