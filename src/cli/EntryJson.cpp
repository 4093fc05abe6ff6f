#include "cli/EntryJson.h"

#include <nlohmann/json.hpp>

#include "core/Error.h"
#include "core/entries/Field.h"
#include "core/entries/TextRules.h"

namespace vorkel::cli::entryjson {
namespace {

// Keys keep the order they were inserted in, so objects come out in document order.
using Json = nlohmann::ordered_json;

std::string at(std::size_t position) {
    return "Entry at position " + std::to_string(position);
}

std::string inQuotes(std::string_view key) {
    return "\"" + std::string(key) + "\"";
}

void checkEntry(const Json& item, std::size_t position) {
    if (!item.is_object()) throw Error(at(position) + " is not a JSON object.");
    for (Field f : kDocumentFieldOrder) {
        const std::string_view key = fieldName(f);
        auto it = item.find(std::string(key));
        if (it == item.end()) throw Error(at(position) + " lacks the key " + inQuotes(key) + ".");
        if (!it->is_string())
            throw Error(at(position) + ": the value of " + inQuotes(key) + " is not a string.");
        const auto& text = it->get_ref<const std::string&>();
        // The data store keeps only what XML can carry; anything else would not read back.
        if (sanitizeText(text) != text)
            throw Error(at(position) + ": the value of " + inQuotes(key) +
                        " holds characters a data store cannot carry.");
    }
    if (item.size() != kFieldCount) {
        for (const auto& [key, value] : item.items()) {
            bool known = false;
            for (Field f : kDocumentFieldOrder) known = known || key == fieldName(f);
            // The key is the file's text, which may be a secret pasted in the wrong place.
            if (!known) throw Error(at(position) + " has a key that is not a field name.");
        }
    }
}

}  // namespace

std::string write(const EntryList& list) {
    Json document = Json::array();
    for (const EntryPtr& entry : list.entries()) {
        Json item = Json::object();
        for (Field f : kDocumentFieldOrder)
            item[std::string(fieldName(f))] = std::string(entry->get(f));
        document.push_back(std::move(item));
    }
    return document.dump(2) + "\n";
}

std::vector<EntryPtr> read(std::string_view text) {
    Json document;
    try {
        document = Json::parse(text.begin(), text.end());
    } catch (const Json::parse_error& e) {
        // Only the place: the parser's own text quotes the input, which holds passwords.
        throw Error("The import is not valid JSON: the fault is at byte " + std::to_string(e.byte) +
                    ".");
    } catch (const Json::exception&) {
        // A number too large for any type, say: the library's text quotes it.
        throw Error("The import is not valid JSON: it holds a number out of range.");
    }
    if (!document.is_array()) throw Error("The import must be a JSON array of entries.");
    for (std::size_t i = 0; i < document.size(); ++i) checkEntry(document[i], i);

    std::vector<EntryPtr> entries;
    entries.reserve(document.size());
    for (std::size_t i = 0; i < document.size(); ++i) {
        Entry::Texts texts;
        for (Field f : kDocumentFieldOrder)
            texts[index(f)] =
                document[i].at(std::string(fieldName(f))).get_ref<const std::string&>();
        entries.push_back(Entry::create(static_cast<EntryId>(i), texts));
    }
    return entries;
}

}  // namespace vorkel::cli::entryjson
