#pragma once

#include <QDialog>

/// A tool dialog: fixed border, a title bar with only the close box, opened centred on the
/// screen at every showing. Escape and the close box reject it.
class ToolDialog : public QDialog {
    Q_OBJECT
public:
    /// A modal dialog owned by `parent` (which may be null).
    explicit ToolDialog(QWidget* parent);

protected:
    void showEvent(QShowEvent* event) override;
};
