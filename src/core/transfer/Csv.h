#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vorkel {

/// One record of a CSV file and the row it is on (1 for the first record, the header).
struct CsvRecord {
    std::size_t row = 0;
    std::vector<std::string> fields;
};

/// The records of CSV text (RFC 4180: comma separated, fields optionally in double quotes with
/// quotes doubled, CR LF or LF between records, line breaks allowed inside quotes). A leading
/// UTF-8 byte order mark is skipped; empty lines are skipped but counted. Throws Error naming
/// the row of the first fault: text that is not UTF-8, a quote inside an unquoted field, text
/// after a closing quote, or a quote that never closes.
std::vector<CsvRecord> parseCsv(std::string_view text);

/// A field for a CSV file: always in double quotes, quotes doubled.
std::string csvQuote(std::string_view field);

/// True when `text` is well-formed UTF-8.
bool isValidUtf8(std::string_view text);

}  // namespace vorkel
