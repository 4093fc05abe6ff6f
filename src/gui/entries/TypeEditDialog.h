#pragma once

#include <string>
#include <vector>

#include "gui/tools/ToolDialog.h"

class QListWidget;

namespace vorkel::gui {

class MessageService;

/// The password types editor TfmTypeEdit. It works on its own copy of the type list; the owner
/// takes types() back only when it closes with OK.
class TypeEditDialog : public ToolDialog {
    Q_OBJECT
public:
    /// The editor over a copy of `types`, in their order; prompts go through `messages`.
    TypeEditDialog(const std::vector<std::string>& types, MessageService& messages,
                   QWidget* parent);

    /// The list as edited so far (lstTypes), in order; empty and repeated texts included.
    std::vector<std::string> types() const;

    /// "&Add": asks for a text and appends it as typed.
    void btnAddClick();
    /// "&Edit": asks for a new text for the selected type and puts it in its place.
    void btnEditClick();
    /// "&Delete": after an OK, removes the selected type.
    void btnDeleteClick();

private:
    /// The row of the selected type, or -1 when none is selected.
    int selectedRow() const;

    MessageService& m_messages;
    QListWidget* m_types;
};

}  // namespace vorkel::gui
