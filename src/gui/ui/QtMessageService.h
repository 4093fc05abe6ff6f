#pragma once

#include <QPointer>
#include <QWidget>

#include "gui/ui/MessageService.h"

namespace vorkel::gui {

/// The real prompts: modal message boxes, the input box and the data file dialogs, over a
/// parent window that may be set after construction.
class QtMessageService : public MessageService {
public:
    /// `parent` (may be null) owns and centres every box shown while no other window of the
    /// program is active.
    explicit QtMessageService(QWidget* parent = nullptr);

    /// The window the boxes are shown over from now on.
    void setParentWidget(QWidget* parent);

    bool askYesNo(Kind kind, const std::string& text) override;
    void tell(Kind kind, const std::string& text) override;
    std::optional<std::string> chooseSaveFile(const std::string& defaultName) override;
    std::optional<std::string> chooseOpenFile() override;
    bool askOkCancel(Kind kind, const std::string& text) override;
    std::optional<std::string> inputText(const std::string& caption, const std::string& prompt,
                                         const std::string& initial) override;
    void reportUnexpected(const std::string& text) override;

    /// A message text as a box shows it: carriage returns, alone or before a line feed, become
    /// line breaks.
    static QString displayText(const std::string& text);

private:
    // The window a box is centred on: the active one of the program, else the parent while it
    // is shown; null (the screen's centre) when neither is.
    QWidget* owner() const;
    // A question with two buttons; true when the first was pressed.
    bool askTwo(Kind kind, const std::string& text, const QString& accept, const QString& decline);
    QPointer<QWidget> m_parent;
};

}  // namespace vorkel::gui
