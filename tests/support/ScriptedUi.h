#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/session/UserInterface.h"

namespace vorkel::test {

/// A user who answers from a script and remembers what was said to them.
class ScriptedUi : public UserInterface {
public:
    std::deque<bool> answers;                      // for askYesNo, in order
    std::deque<std::optional<std::string>> files;  // for the file dialogs, in order
    std::vector<std::string> asked;                // every question and message, in order
    std::vector<std::string> offeredNames;         // default names the save dialog offered

    bool askYesNo(Kind, const std::string& text) override {
        asked.push_back(text);
        if (answers.empty()) return false;
        bool a = answers.front();
        answers.pop_front();
        return a;
    }
    void tell(Kind, const std::string& text) override { asked.push_back(text); }
    std::optional<std::string> chooseSaveFile(const std::string& defaultName) override {
        offeredNames.push_back(defaultName);
        return next();
    }
    std::optional<std::string> chooseOpenFile() override { return next(); }

private:
    std::optional<std::string> next() {
        if (files.empty()) return std::nullopt;
        auto f = files.front();
        files.pop_front();
        return f;
    }
};

}  // namespace vorkel::test
