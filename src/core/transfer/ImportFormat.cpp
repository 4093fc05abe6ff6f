#include "core/transfer/ImportFormat.h"

#include <array>
#include <utility>

namespace vorkel {
namespace {

constexpr std::array<std::pair<std::string_view, ImportFormat>, 5> kNames = {{
    {"keepassxc-csv", ImportFormat::KeePassXcCsv},
    {"bitwarden-json", ImportFormat::BitwardenJson},
    {"bitwarden-csv", ImportFormat::BitwardenCsv},
    {"chromium-csv", ImportFormat::ChromiumCsv},
    {"firefox-csv", ImportFormat::FirefoxCsv},
}};

}  // namespace

std::optional<ImportFormat> importFormatNamed(std::string_view name) {
    for (const auto& [text, format] : kNames)
        if (text == name) return format;
    return std::nullopt;
}

std::string importFormatNames() {
    std::string names;
    for (const auto& entry : kNames) {
        if (!names.empty()) names += ", ";
        names += entry.first;
    }
    return names;
}

std::vector<ImportedEntry> readExport(ImportFormat format, std::string_view text) {
    switch (format) {
        case ImportFormat::KeePassXcCsv:
            return readKeePassXcCsv(text);
        case ImportFormat::BitwardenCsv:
            return readBitwardenCsv(text);
        case ImportFormat::BitwardenJson:
            return readBitwardenJson(text);
        case ImportFormat::ChromiumCsv:
            return readChromiumCsv(text);
        case ImportFormat::FirefoxCsv:
            return readFirefoxCsv(text);
    }
    return {};
}

}  // namespace vorkel
