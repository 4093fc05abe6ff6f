#include "core/transfer/EntryImport.h"

#include <limits>
#include <set>
#include <tuple>

#include "core/Error.h"
#include "core/entries/TextRules.h"

namespace vorkel {
namespace {

using Key = std::tuple<std::string, std::string, std::string>;

Key keyOf(std::string_view title, std::string_view username, std::string_view url) {
    return {std::string(title), std::string(username), std::string(url)};
}

}  // namespace

std::string hostOf(std::string_view url) {
    std::size_t start = url.find("://");
    start = start == std::string_view::npos ? 0 : start + 3;
    std::string_view rest = url.substr(start);
    rest = rest.substr(0, rest.find_first_of("/?#"));
    if (const std::size_t at = rest.rfind('@'); at != std::string_view::npos)
        rest.remove_prefix(at + 1);
    if (!rest.empty() && rest.front() == '[') {  // an IPv6 literal keeps its colons
        const std::size_t close = rest.find(']');
        return std::string(rest.substr(0, close == rest.npos ? rest.size() : close + 1));
    }
    return std::string(rest.substr(0, rest.find(':')));
}

bool looksLikeEmail(std::string_view text) {
    const std::size_t at = text.find('@');
    if (at == 0 || at == std::string_view::npos || text.find('@', at + 1) != text.npos)
        return false;
    if (text.find_first_of(" \t\r\n") != text.npos) return false;
    const std::string_view domain = text.substr(at + 1);
    const std::size_t dot = domain.find('.');
    return dot != domain.npos && dot != 0 && domain.back() != '.';
}

std::string importedNotes(const ImportedEntry& entry) {
    std::string notes = entry.notes;
    for (const auto& [name, value] : entry.extras) {
        if (!notes.empty() && notes.back() != '\n' && notes.back() != '\r') notes += '\n';
        // A value that is already "Name: value" lines (custom fields) goes in as it is.
        if (!name.empty()) notes += name + ": ";
        notes += value;
    }
    return notes;
}

ImportPlan planImport(const EntryList& existing, std::vector<ImportedEntry> entries,
                      bool keepDuplicates) {
    std::set<Key> seen;
    for (const EntryPtr& e : existing.entries())
        seen.insert(keyOf(e->title(), e->get(Field::Username), e->get(Field::WebURL)));
    ImportPlan plan;
    for (ImportedEntry& e : entries) {
        if (e.title.empty()) e.title = hostOf(e.url);
        // The key is compared as the store will hold it.
        Key key = keyOf(sanitizeText(e.title), sanitizeText(e.username), sanitizeText(e.url));
        const bool duplicate = !seen.insert(std::move(key)).second;
        (duplicate && !keepDuplicates ? plan.duplicates : plan.added).push_back(std::move(e));
    }
    return plan;
}

void addImported(Workspace& workspace, const std::vector<ImportedEntry>& entries,
                 std::string_view user, const Clock& clock) {
    const std::string now = formatDateTime(clock.now());
    const std::string by = sanitizeText(user);
    std::vector<EntryPtr> added;
    EntryId id = workspace.master().nextId();
    for (const ImportedEntry& e : entries) {
        const std::string title = sanitizeText(e.title), username = sanitizeText(e.username),
                          password = sanitizeText(e.password), url = sanitizeText(e.url),
                          detail = notesFromEditorText(sanitizeText(importedNotes(e)));
        const std::string created = e.created ? formatDateTime(*e.created) : now;
        const std::string modified = e.modified ? formatDateTime(*e.modified) : created;
        Entry::Texts t = newEntryTexts(created, modified, now, by);
        t[index(Field::Title)] = title;
        t[index(Field::Detail)] = detail;
        t[index(Field::Password)] = password;
        t[index(Field::Username)] = username;
        // The user name stays too: it is what the site's logon form asks for.
        t[index(Field::Email)] = looksLikeEmail(username) ? std::string_view(username) : "";
        t[index(Field::WebURL)] = url;
        if (id == std::numeric_limits<EntryId>::max()) throw Error("Too many entries.");
        added.push_back(Entry::create(id++, t));
    }
    workspace.AppendEntries(std::move(added));
}

}  // namespace vorkel
