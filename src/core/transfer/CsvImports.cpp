// The CSV exports. Each format names the columns it must have and those it may have; any other
// column means a file we do not understand, so the import is refused rather than guessed at.
#include <map>

#include "core/Error.h"
#include "core/transfer/Csv.h"
#include "core/transfer/ImportFormat.h"
#include "core/transfer/TransferTimes.h"

namespace vorkel {
namespace {

/// The columns that hold an entry's own texts in a format; empty for a text it does not carry.
struct LoginColumns {
    std::string_view title = {};
    std::string_view username = {};
    std::string_view password = {};
    std::string_view url = {};
    std::string_view notes = {};
};

/// A parsed CSV file whose header was checked against a format's columns.
class CsvTable {
public:
    CsvTable(std::string_view text, std::string_view format,
             std::initializer_list<std::string_view> required,
             std::initializer_list<std::string_view> optional)
        : m_records(parseCsv(text)) {
        if (m_records.empty()) throw Error("The file is empty: it has no header row.");
        const CsvRecord& header = m_records.front();
        for (std::size_t i = 0; i < header.fields.size(); ++i) {
            const std::string& name = header.fields[i];
            bool known = false;
            for (auto list : {required, optional})
                for (std::string_view k : list) known = known || k == name;
            if (!known)
                throw Error("Row " + std::to_string(header.row) + ": the column \"" + name +
                            "\" is not one of a " + std::string(format) + " export.");
            if (!m_columns.emplace(name, i).second)
                throw Error("Row " + std::to_string(header.row) + ": the column \"" + name +
                            "\" appears twice.");
        }
        for (std::string_view k : required)
            if (!m_columns.count(std::string(k)))
                throw Error("Row " + std::to_string(header.row) + ": the column \"" +
                            std::string(k) + "\" of a " + std::string(format) +
                            " export is missing.");
        for (std::size_t r = 1; r < m_records.size(); ++r)
            if (m_records[r].fields.size() != header.fields.size())
                throw Error("Row " + std::to_string(m_records[r].row) + ": it has " +
                            std::to_string(m_records[r].fields.size()) + " fields, the header " +
                            std::to_string(header.fields.size()) + ".");
    }

    std::size_t rows() const { return m_records.size() - 1; }
    std::size_t rowNumber(std::size_t r) const { return m_records[r + 1].row; }
    /// One imported entry a data row, in order: `fill(r, entry)` reads row `r` into an entry
    /// that already knows its row number.
    template <typename Fill>
    std::vector<ImportedEntry> entries(Fill fill) const {
        std::vector<ImportedEntry> out;
        out.reserve(rows());
        for (std::size_t r = 0; r < rows(); ++r) {
            ImportedEntry e;
            e.row = rowNumber(r);
            fill(r, e);
            out.push_back(std::move(e));
        }
        return out;
    }
    /// Reads the entry's own texts of data row `r` from the format's `columns`.
    void readLogin(std::size_t r, const LoginColumns& columns, ImportedEntry& e) const {
        const auto read = [&](std::string& into, std::string_view column) {
            if (!column.empty()) into = at(r, column);
        };
        read(e.title, columns.title);
        read(e.username, columns.username);
        read(e.password, columns.password);
        read(e.url, columns.url);
        read(e.notes, columns.notes);
    }
    /// The value of a column in data row `r` (from 0); empty when the column is absent.
    const std::string& at(std::size_t r, std::string_view column) const {
        static const std::string none;
        const auto found = m_columns.find(std::string(column));
        return found == m_columns.end() ? none : m_records[r + 1].fields[found->second];
    }

private:
    std::vector<CsvRecord> m_records;
    std::map<std::string, std::size_t> m_columns;
};

[[noreturn]] void rowFault(std::size_t row, const std::string& what) {
    throw Error("Row " + std::to_string(row) + ": " + what);
}

// A time column's value, nullopt when empty; a value `read` cannot take faults the row, saying
// what the column should hold.
std::optional<LocalDateTime> rowTime(std::size_t row, std::string_view column,
                                     std::string_view text,
                                     std::optional<LocalDateTime> (*read)(std::string_view),
                                     std::string_view expected) {
    if (text.empty()) return std::nullopt;
    auto t = read(text);
    if (!t)
        rowFault(row, "\"" + std::string(text) + "\" in " + std::string(column) + " is not " +
                          std::string(expected) + ".");
    return t;
}

std::optional<LocalDateTime> isoTime(std::size_t row, std::string_view column,
                                     std::string_view text) {
    return rowTime(row, column, text, localFromIso8601, "an ISO 8601 date and time");
}

std::optional<LocalDateTime> epochTime(std::size_t row, std::string_view column,
                                       std::string_view text) {
    return rowTime(row, column, text, localFromEpochMillis, "a time in milliseconds");
}

}  // namespace

std::vector<ImportedEntry> readKeePassXcCsv(std::string_view text) {
    const CsvTable table(text, "keepassxc-csv",
                         {"Group", "Title", "Username", "Password", "URL", "Notes"},
                         {"TOTP", "Icon", "Last Modified", "Created"});
    return table.entries([&](std::size_t r, ImportedEntry& e) {
        table.readLogin(r,
                        {.title = "Title",
                         .username = "Username",
                         .password = "Password",
                         .url = "URL",
                         .notes = "Notes"},
                        e);
        e.created = isoTime(e.row, "Created", table.at(r, "Created"));
        e.modified = isoTime(e.row, "Last Modified", table.at(r, "Last Modified"));
        e.addExtra("Group", table.at(r, "Group"));
        e.addExtra("TOTP", table.at(r, "TOTP"));
        e.addExtra("Icon", table.at(r, "Icon"));
    });
}

std::vector<ImportedEntry> readBitwardenCsv(std::string_view text) {
    // archivedDate is the one column newer exports add that we know; others are refused.
    const CsvTable table(text, "bitwarden-csv",
                         {"folder", "favorite", "type", "name", "notes", "fields", "reprompt",
                          "login_uri", "login_username", "login_password", "login_totp"},
                         {"archivedDate"});
    return table.entries([&](std::size_t r, ImportedEntry& e) {
        const std::string& type = table.at(r, "type");
        if (type != "login" && type != "note")
            rowFault(e.row, "the type \"" + type + "\" is neither login nor note.");
        table.readLogin(r,
                        {.title = "name",
                         .username = "login_username",
                         .password = "login_password",
                         .notes = "notes"},
                        e);
        // Several addresses are joined with commas; an address may hold a comma itself, so
        // split only when every part is an address.
        const std::string& uris = table.at(r, "login_uri");
        std::vector<std::string> parts;
        std::size_t start = 0;
        for (;;) {
            const std::size_t comma = uris.find(',', start);
            parts.push_back(uris.substr(start, comma - start));
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
        bool allAddresses = parts.size() > 1;
        for (const auto& p : parts) allAddresses = allAddresses && p.find("://") != p.npos;
        if (allAddresses) {
            e.url = parts.front();
            for (std::size_t i = 1; i < parts.size(); ++i) e.addExtra("URL", parts[i]);
        } else {
            e.url = uris;
        }
        e.addExtra("Folder", table.at(r, "folder"));
        if (table.at(r, "favorite") == "1") e.addExtra("Favorite", "yes");
        if (type == "note") e.addExtra("Type", "secure note");
        if (table.at(r, "reprompt") == "1") e.addExtra("Master password re-prompt", "yes");
        e.addExtra("TOTP", table.at(r, "login_totp"));
        // Custom fields already come as "Name: value" lines.
        e.addExtra("", table.at(r, "fields"));
        e.addExtra("Archived", table.at(r, "archivedDate"));
    });
}

std::vector<ImportedEntry> readChromiumCsv(std::string_view text) {
    const CsvTable table(text, "chromium-csv", {"name", "url", "username", "password"}, {"note"});
    return table.entries([&](std::size_t r, ImportedEntry& e) {
        table.readLogin(r,
                        {.title = "name",
                         .username = "username",
                         .password = "password",
                         .url = "url",
                         .notes = "note"},
                        e);
    });
}

std::vector<ImportedEntry> readFirefoxCsv(std::string_view text) {
    const CsvTable table(text, "firefox-csv",
                         {"url", "username", "password", "httpRealm", "formActionOrigin", "guid",
                          "timeCreated", "timeLastUsed", "timePasswordChanged"},
                         {"timesUsed"});
    return table.entries([&](std::size_t r, ImportedEntry& e) {
        table.readLogin(r, {.username = "username", .password = "password", .url = "url"}, e);
        e.created = epochTime(e.row, "timeCreated", table.at(r, "timeCreated"));
        e.modified = epochTime(e.row, "timePasswordChanged", table.at(r, "timePasswordChanged"));
        const auto lastUsed = epochTime(e.row, "timeLastUsed", table.at(r, "timeLastUsed"));
        e.addExtra("HTTP realm", table.at(r, "httpRealm"));
        e.addExtra("Form action origin", table.at(r, "formActionOrigin"));
        if (lastUsed) e.addExtra("Last used", formatDateTime(*lastUsed));
        e.addExtra("Times used", table.at(r, "timesUsed"));
        // guid is the browser's own record key and means nothing anywhere else.
    });
}

}  // namespace vorkel
