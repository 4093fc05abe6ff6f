#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/entries/Clock.h"
#include "core/entries/EntryList.h"
#include "core/entries/Workspace.h"
#include "core/transfer/ImportedEntry.h"

namespace vorkel {

/// What an import will do: the entries to add, and those skipped as duplicates.
struct ImportPlan {
    std::vector<ImportedEntry> added;
    std::vector<ImportedEntry> duplicates;
};

/// The host of a web address ("https://user@mail.example.org:8443/x" gives "mail.example.org");
/// empty when there is none.
std::string hostOf(std::string_view url);
/// True when `text` has the shape of an e-mail address (one @, a dot in the domain, no blanks).
bool looksLikeEmail(std::string_view text);
/// The notes an imported entry gets: its own notes, then one "Name: value" line per extra
/// value (a value's own lines follow it); lines separated by LF.
std::string importedNotes(const ImportedEntry& entry);

/// Gives each entry its title (the host of its address when it has none) and sorts out
/// duplicates: an entry with the same title, user name and web address as one in `existing` or
/// one earlier in the file is skipped, unless `keepDuplicates`.
ImportPlan planImport(const EntryList& existing, std::vector<ImportedEntry> entries,
                      bool keepDuplicates);

/// Appends the entries as new entries audited by `user` now, with the creation and change times
/// the export gave; then shows all entries.
void addImported(Workspace& workspace, const std::vector<ImportedEntry>& entries,
                 std::string_view user, const Clock& clock);

}  // namespace vorkel
