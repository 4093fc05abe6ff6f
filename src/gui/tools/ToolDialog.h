#pragma once

#include <QDialog>

class QPushButton;

namespace vorkel::gui {

/// A tool dialog: fixed border, a title bar with only the close box, opened centred on the
/// screen at every showing. Escape and the close box reject it.
class ToolDialog : public QDialog {
    Q_OBJECT
public:
    /// A modal dialog owned by `parent` (which may be null).
    explicit ToolDialog(QWidget* parent);

protected:
    /// The dialog's two buttons below its tab sheet.
    struct Buttons {
        QPushButton* ok;
        QPushButton* cancel;
    };
    /// Lays the dialog out as `tabs` above a right-aligned "&OK" (btnOK) and "&Cancel"
    /// (btnCancel). Cancel rejects; what OK does is the caller's.
    Buttons layOutTabs(QWidget* tabs);

    void showEvent(QShowEvent* event) override;
};

}  // namespace vorkel::gui
