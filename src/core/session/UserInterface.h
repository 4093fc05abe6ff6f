#pragma once

#include <optional>
#include <string>

namespace vorkel {

/// How the core talks to the user: the GUI answers with message boxes and file dialogs,
/// tests with scripted answers.
class UserInterface {
public:
    enum class Kind { Warning, Error, Information, Confirm };

    virtual ~UserInterface() = default;
    /// A question with the buttons Yes and No; true for Yes.
    virtual bool askYesNo(Kind kind, const std::string& text) = 0;
    /// A message with the single button OK.
    virtual void tell(Kind kind, const std::string& text) = 0;
    /// The save dialog for data files, offering `defaultName`; nullopt when cancelled.
    virtual std::optional<std::string> chooseSaveFile(const std::string& defaultName) = 0;
    /// The open dialog for data files; nullopt when cancelled.
    virtual std::optional<std::string> chooseOpenFile() = 0;
    /// An unexpected failure of a command (a file that does not load): the windows caption it
    /// with the application title.
    virtual void reportUnexpected(const std::string& text) { tell(Kind::Error, text); }
};

}  // namespace vorkel
