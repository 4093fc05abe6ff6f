#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "core/session/UserInterface.h"

namespace vorkel::gui {

/// Every prompt a window shows goes through this service, so tests can answer it from a script.
/// Messages are of the four kinds, each captioned after its kind.
class MessageService : public vorkel::UserInterface {
public:
    /// A question with the buttons OK and Cancel; true for OK.
    virtual bool askOkCancel(Kind kind, const std::string& text) = 0;
    /// The one-line input box with OK and Cancel; the typed text, or nullopt on Cancel.
    virtual std::optional<std::string> inputText(const std::string& caption,
                                                 const std::string& prompt,
                                                 const std::string& initial) = 0;
    /// An unexpected failure: an error box captioned with the application title; the program
    /// goes on.
    virtual void reportUnexpected(const std::string& text) = 0;

    /// Runs a command at its boundary: an unexpected failure is reported, the program goes on.
    void guarded(const std::function<void()>& command);

    /// The caption of a message of `kind`: "Warning", "Error", "Information" or "Confirm".
    static QString caption(Kind kind);
};

}  // namespace vorkel::gui
