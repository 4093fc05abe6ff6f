#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/entries/Clock.h"

namespace vorkel {

/// One entry read from another password manager's export, before it becomes an Entry.
struct ImportedEntry {
    std::size_t row = 0;  // the CSV row or the JSON item (from 1) it came from
    std::string title;
    std::string url;
    std::string username;
    std::string password;
    std::string notes;  // lines separated by LF
    std::optional<LocalDateTime> created;
    std::optional<LocalDateTime> modified;
    /// Everything else the export held, in its order, for "Name: value" lines in the notes.
    std::vector<std::pair<std::string, std::string>> extras;

    /// Keeps an extra value unless it is empty.
    void addExtra(std::string_view name, std::string_view value) {
        if (!value.empty()) extras.emplace_back(name, value);
    }
};

}  // namespace vorkel
