#include "core/transfer/CsvExport.h"

#include "core/entries/TextRules.h"
#include "core/transfer/Csv.h"
#include "core/transfer/TransferTimes.h"

namespace vorkel {

std::string keePassCsv(const EntryList& list) {
    std::string out =
        "\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\",\"TOTP\",\"Icon\","
        "\"Last Modified\",\"Created\"\n";
    for (const EntryPtr& e : list.entries()) {
        std::string notes = editorTextFromNotes(e->get(Field::Detail));
        const std::pair<const char*, Field> extras[] = {{"Email", Field::Email},
                                                        {"Passphrase", Field::Passphrase},
                                                        {"Password type", Field::Type},
                                                        {"Expires", Field::Expires}};
        for (const auto& [name, field] : extras) {
            if (e->get(field).empty()) continue;
            if (!notes.empty() && notes.back() != '\n') notes += '\n';
            notes += std::string(name) + ": " + std::string(e->get(field));
        }
        const std::string fields[] = {"Root",
                                      std::string(e->title()),
                                      std::string(e->get(Field::Username)),
                                      std::string(e->get(Field::Password)),
                                      std::string(e->get(Field::WebURL)),
                                      notes,
                                      "",
                                      "0",
                                      iso8601FromStored(e->get(Field::EditDate)),
                                      iso8601FromStored(e->get(Field::CreateDate))};
        bool first = true;
        for (const std::string& f : fields) {
            if (!first) out += ',';
            first = false;
            out += csvQuote(f);
        }
        out += '\n';
    }
    return out;
}

}  // namespace vorkel
