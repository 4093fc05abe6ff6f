#include "core/transfer/Csv.h"

#include "core/Error.h"
#include "core/storage/XmlCharacters.h"

namespace vorkel {
namespace {

[[noreturn]] void fault(std::size_t row, const std::string& what) {
    throw Error("Row " + std::to_string(row) + ": " + what);
}

}  // namespace

bool isValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        const std::size_t length = xmlchars::decodeUtf8(text, i, cp);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

std::vector<CsvRecord> parseCsv(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::vector<CsvRecord> records;
    std::size_t row = 1;
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto atRecordEnd = [&](std::size_t k) { return k >= n || text[k] == '\n' || text[k] == '\r'; };
    auto skipLineEnd = [&](std::size_t& k) {
        if (k < n && text[k] == '\r') ++k;
        if (k < n && text[k] == '\n') ++k;
    };
    while (i < n) {
        if (text[i] == '\n' || text[i] == '\r') {  // an empty line
            skipLineEnd(i);
            ++row;
            continue;
        }
        CsvRecord record{row, {}};
        const std::size_t recordStart = i;
        for (;;) {
            std::string field;
            if (i < n && text[i] == '"') {
                ++i;
                for (;;) {
                    if (i >= n) fault(row, "a quoted field is not closed.");
                    if (text[i] == '"') {
                        if (i + 1 < n && text[i + 1] == '"') {
                            field += '"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    field += text[i++];
                }
                if (!(atRecordEnd(i) || text[i] == ','))
                    fault(row, "text follows the closing quote of a field.");
            } else {
                while (!atRecordEnd(i) && text[i] != ',') {
                    if (text[i] == '"') fault(row, "a quote inside a field that is not quoted.");
                    field += text[i++];
                }
            }
            record.fields.push_back(std::move(field));
            if (i < n && text[i] == ',') {
                ++i;
                continue;
            }
            break;
        }
        if (!isValidUtf8(text.substr(recordStart, i - recordStart)))
            fault(row, "the text is not UTF-8; export the file again as UTF-8.");
        skipLineEnd(i);
        records.push_back(std::move(record));
        ++row;
    }
    return records;
}

std::string csvQuote(std::string_view field) {
    std::string out = "\"";
    for (char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

}  // namespace vorkel
