// The unencrypted JSON export; the only core file that sees the JSON library.
#include <map>

#include <nlohmann/json.hpp>

#include "core/Error.h"
#include "core/transfer/Csv.h"
#include "core/transfer/ImportFormat.h"
#include "core/transfer/TransferTimes.h"

namespace vorkel {
namespace {

using Json = nlohmann::json;

[[noreturn]] void itemFault(std::size_t item, const std::string& what) {
    throw Error("Item " + std::to_string(item) + ": " + what);
}

// A string member, empty when absent or null; any other kind is a fault.
std::string text(const Json& object, const char* key, std::size_t item) {
    const auto found = object.find(key);
    if (found == object.end() || found->is_null()) return "";
    if (!found->is_string()) itemFault(item, std::string("\"") + key + "\" is not a string.");
    return found->get<std::string>();
}

// A member that must be an object (or absent or null, giving nullptr).
const Json* object(const Json& parent, const char* key, std::size_t item) {
    const auto found = parent.find(key);
    if (found == parent.end() || found->is_null()) return nullptr;
    if (!found->is_object()) itemFault(item, std::string("\"") + key + "\" is not an object.");
    return &*found;
}

const Json* array(const Json& parent, const char* key, std::size_t item) {
    const auto found = parent.find(key);
    if (found == parent.end() || found->is_null()) return nullptr;
    if (!found->is_array()) itemFault(item, std::string("\"") + key + "\" is not a list.");
    return &*found;
}

// Scalars as text, so a number or a flag in a card or identity is not lost.
std::string scalar(const Json& value) {
    if (value.is_string()) return value.get<std::string>();
    if (value.is_boolean()) return value.get<bool>() ? "true" : "false";
    if (value.is_number()) return value.dump();
    return "";
}

std::optional<LocalDateTime> time(const Json& item, const char* key, std::size_t n) {
    const std::string value = text(item, key, n);
    if (value.empty()) return std::nullopt;
    auto t = localFromIso8601(value);
    if (!t) itemFault(n, "\"" + value + "\" in " + key + " is not an ISO 8601 date and time.");
    return t;
}

ImportedEntry readItem(const Json& item, std::size_t n,
                       const std::map<std::string, std::string>& folders) {
    if (!item.is_object()) itemFault(n, "it is not an object.");
    ImportedEntry e;
    e.row = n;
    const auto type = item.find("type");
    if (type == item.end() || !type->is_number_integer())
        itemFault(n, "\"type\" is missing or not a whole number.");
    const int kind = type->get<int>();
    e.title = text(item, "name", n);
    e.notes = text(item, "notes", n);
    e.created = time(item, "creationDate", n);
    e.modified = time(item, "revisionDate", n);
    const std::string folderId = text(item, "folderId", n);
    if (!folderId.empty()) {
        const auto folder = folders.find(folderId);
        if (folder == folders.end()) itemFault(n, "its folder \"" + folderId + "\" is not listed.");
        e.addExtra("Folder", folder->second);
    }
    const auto favorite = item.find("favorite");
    if (favorite != item.end() && favorite->is_boolean() && favorite->get<bool>())
        e.addExtra("Favorite", "yes");
    if (kind == 1) {
        if (const Json* login = object(item, "login", n)) {
            e.username = text(*login, "username", n);
            e.password = text(*login, "password", n);
            if (const Json* uris = array(*login, "uris", n)) {
                for (const Json& uri : *uris) {
                    if (!uri.is_object()) itemFault(n, "an entry of \"uris\" is not an object.");
                    const std::string address = text(uri, "uri", n);
                    if (e.url.empty())
                        e.url = address;
                    else
                        e.addExtra("URL", address);
                }
            }
            e.addExtra("TOTP", text(*login, "totp", n));
        }
    } else if (kind == 2) {
        e.addExtra("Type", "secure note");
    } else {
        // Cards, identities and later kinds: every scalar of their object, so nothing is lost.
        static const std::map<int, std::pair<const char*, const char*>> kinds = {
            {3, {"card", "card"}}, {4, {"identity", "identity"}}, {5, {"sshKey", "SSH key"}}};
        const auto found = kinds.find(kind);
        if (found == kinds.end()) itemFault(n, "the type " + std::to_string(kind) + " is unknown.");
        e.addExtra("Type", found->second.second);
        if (const Json* details = object(item, found->second.first, n))
            for (const auto& [key, value] : details->items()) e.addExtra(key, scalar(value));
    }
    if (const Json* fields = array(item, "fields", n)) {
        for (const Json& field : *fields) {
            if (!field.is_object()) itemFault(n, "an entry of \"fields\" is not an object.");
            const auto value = field.find("value");
            e.addExtra(text(field, "name", n), value == field.end() ? "" : scalar(*value));
        }
    }
    return e;
}

}  // namespace

std::vector<ImportedEntry> readBitwardenJson(std::string_view source) {
    if (!isValidUtf8(source)) throw Error("The file is not UTF-8; export it again as UTF-8.");
    Json doc;
    try {
        doc = Json::parse(source);
    } catch (const Json::parse_error& e) {
        throw Error("The file is not JSON (at byte " + std::to_string(e.byte) + ").");
    } catch (const Json::exception&) {
        // A number too large for any type, say: the library's own text would quote the input.
        throw Error("The file is not JSON that can be read: it holds a number out of range.");
    }
    if (!doc.is_object()) throw Error("The file is not a JSON export: it is not an object.");
    const auto encrypted = doc.find("encrypted");
    if (encrypted != doc.end() && !(encrypted->is_boolean() && !encrypted->get<bool>()))
        throw Error(
            "The file is an encrypted export, which only its own program can read. Export again "
            "choosing the unencrypted JSON format, import that, then delete it.");
    const auto items = doc.find("items");
    if (items == doc.end() || !items->is_array())
        throw Error("The file is not a JSON export: it has no \"items\" list.");
    std::map<std::string, std::string> folders;
    if (const Json* list = array(doc, "folders", 0)) {
        for (const Json& folder : *list) {
            if (!folder.is_object()) throw Error("A folder of the export is not an object.");
            folders[text(folder, "id", 0)] = text(folder, "name", 0);
        }
    }
    std::vector<ImportedEntry> entries;
    std::size_t n = 0;
    for (const Json& item : *items) entries.push_back(readItem(item, ++n, folders));
    return entries;
}

}  // namespace vorkel
