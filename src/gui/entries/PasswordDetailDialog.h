#pragma once

#include "gui/tools/ToolDialog.h"

class QTreeWidget;

namespace vorkel {
class Entry;
}

namespace vorkel::gui {

/// The properties dialog TfmPasswordDetail: the audit fields, expiry and access class of one
/// visible row, as a read-only two-column list.
class PasswordDetailDialog : public ToolDialog {
    Q_OBJECT
public:
    /// An empty dialog owned by `parent`.
    explicit PasswordDetailDialog(QWidget* parent);

    /// Appends the eleven rows of `row` to lvDetails, every value exactly as the row holds it.
    void FillEntryProperties(const vorkel::Entry& row);

private:
    QTreeWidget* m_details;
};

}  // namespace vorkel::gui
