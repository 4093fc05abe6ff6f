#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/transfer/ImportedEntry.h"

namespace vorkel {

/// The exports of other password managers that import reads.
enum class ImportFormat { KeePassXcCsv, BitwardenCsv, BitwardenJson, ChromiumCsv, FirefoxCsv };

/// The format named on the command line ("keepassxc-csv", ...), or nullopt.
std::optional<ImportFormat> importFormatNamed(std::string_view name);
/// The names of every format, comma separated, for messages and help.
std::string importFormatNames();

/// Every entry of an export, checked whole first: any fault throws Error naming its row (or
/// item) and nothing is returned.
std::vector<ImportedEntry> readExport(ImportFormat format, std::string_view text);

/// The CSV formats (CsvImports.cpp).
std::vector<ImportedEntry> readKeePassXcCsv(std::string_view text);
std::vector<ImportedEntry> readBitwardenCsv(std::string_view text);
std::vector<ImportedEntry> readChromiumCsv(std::string_view text);
std::vector<ImportedEntry> readFirefoxCsv(std::string_view text);
/// An unencrypted JSON export (BitwardenJson.cpp); an encrypted one is refused.
std::vector<ImportedEntry> readBitwardenJson(std::string_view text);

}  // namespace vorkel
