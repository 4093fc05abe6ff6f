#include "support/ScriptedMessageService.h"

#include <algorithm>

using namespace vorkel::gui;

namespace vorkel::test {

void ScriptedMessageService::record(Said s) {
    said.push_back(std::move(s));
    if (onSaid) onSaid(said.back());
}

template <typename T>
T ScriptedMessageService::next(std::deque<T>& queue, T otherwise) {
    if (queue.empty()) {
        ++unscripted;
        return otherwise;
    }
    T answer = std::move(queue.front());
    queue.pop_front();
    return answer;
}

bool ScriptedMessageService::askYesNo(Kind kind, const std::string& text) {
    record({Prompt::YesNo, kind, text});
    return next(yesNo, false);
}

void ScriptedMessageService::tell(Kind kind, const std::string& text) {
    record({Prompt::Tell, kind, text});
}

std::optional<std::string> ScriptedMessageService::chooseSaveFile(const std::string& defaultName) {
    record({Prompt::SaveFile, Kind::Information, defaultName});
    return next(fileNames, std::optional<std::string>());
}

std::optional<std::string> ScriptedMessageService::chooseOpenFile() {
    record({Prompt::OpenFile, Kind::Information, ""});
    return next(fileNames, std::optional<std::string>());
}

bool ScriptedMessageService::askOkCancel(Kind kind, const std::string& text) {
    record({Prompt::OkCancel, kind, text});
    return next(okCancel, false);
}

std::optional<std::string> ScriptedMessageService::inputText(const std::string& caption,
                                                             const std::string& prompt,
                                                             const std::string& initial) {
    record({Prompt::Input, Kind::Information, prompt, caption, initial});
    return next(inputs, std::optional<std::string>());
}

void ScriptedMessageService::reportUnexpected(const std::string& text) {
    record({Prompt::Unexpected, Kind::Error, text});
}

std::vector<std::string> ScriptedMessageService::texts() const {
    std::vector<std::string> all;
    all.reserve(said.size());
    for (const Said& s : said) all.push_back(s.text);
    return all;
}

std::string ScriptedMessageService::lastText() const {
    return said.empty() ? std::string() : said.back().text;
}

int ScriptedMessageService::count(const std::string& text) const {
    return static_cast<int>(
        std::count_if(said.begin(), said.end(), [&](const Said& s) { return s.text == text; }));
}

void ScriptedMessageService::clearSaid() {
    said.clear();
}

}  // namespace vorkel::test
