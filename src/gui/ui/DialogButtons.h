#pragma once

#include <QDialogButtonBox>

class QPushButton;

namespace vorkel::gui {

/// A dialog's row of buttons, at the bottom right: `accept` completes the dialog, `reject` (if
/// any) abandons it. The buttons keep their names, captions and default roles; what a click does
/// is the caller's to connect.
QDialogButtonBox* buttonRow(QWidget* parent, QPushButton* accept, QPushButton* reject = nullptr);

}  // namespace vorkel::gui
