#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "gui/ui/MessageService.h"

namespace vorkel::test {

// The harness drives the desktop program's own classes.
using namespace vorkel::gui;

/// A user who answers every prompt from queues and remembers everything said to them.
/// An empty queue answers No, Cancel, or nothing chosen, and counts as unscripted.
class ScriptedMessageService : public MessageService {
public:
    /// Which prompt a text came through.
    enum class Prompt { Tell, YesNo, OkCancel, Input, Unexpected, SaveFile, OpenFile };

    /// One thing shown to the user.
    struct Said {
        Prompt prompt;
        Kind kind;         // Error for Unexpected; Information for the input box and file dialogs
        std::string text;  // the message, the input box's prompt, or the offered file name
        std::string caption = {};  // the input box's caption
        std::string initial = {};  // the input box's initial text
    };

    std::deque<bool> yesNo;                            // askYesNo answers, true = Yes
    std::deque<bool> okCancel;                         // askOkCancel answers, true = OK
    std::deque<std::optional<std::string>> inputs;     // inputText answers, nullopt = Cancel
    std::deque<std::optional<std::string>> fileNames;  // both file dialogs, nullopt = Cancel
    std::vector<Said> said;                            // everything shown, in order
    int unscripted = 0;                                // prompts met with an empty queue
    /// Runs as each prompt is shown, before it is answered (to look at the windows then).
    std::function<void(const Said&)> onSaid;

    bool askYesNo(Kind kind, const std::string& text) override;
    void tell(Kind kind, const std::string& text) override;
    std::optional<std::string> chooseSaveFile(const std::string& defaultName) override;
    std::optional<std::string> chooseOpenFile() override;
    bool askOkCancel(Kind kind, const std::string& text) override;
    std::optional<std::string> inputText(const std::string& caption, const std::string& prompt,
                                         const std::string& initial) override;
    void reportUnexpected(const std::string& text) override;

    /// The texts said, in order.
    std::vector<std::string> texts() const;
    /// The last text said ("" when nothing was).
    std::string lastText() const;
    /// How many times exactly `text` was said.
    int count(const std::string& text) const;
    /// Forgets what was said (the answer queues stay).
    void clearSaid();

private:
    void record(Said s);
    template <typename T>
    T next(std::deque<T>& queue, T otherwise);
};

}  // namespace vorkel::test
