#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/entries/Clock.h"
#include "core/entries/EntryList.h"
#include "core/entries/ListOrder.h"
#include "core/entries/TitleIndex.h"
#include "core/storage/SecureBytes.h"

namespace vorkel {

/// What the entry editor holds, as the user sees it; notes are the editor's plain text.
struct EditorFields {
    std::string title;
    std::string webUrl;
    std::string username;
    std::string email;
    std::string password;
    std::string passphrase;
    std::string type;
    std::string expires;
    std::string notes;  // editor text: lines separated by line breaks
    /// The secrets are wiped as the copy goes: these are handed about on every key release.
    ~EditorFields() {
        secureWipe(password.data(), password.size());
        secureWipe(passphrase.data(), passphrase.size());
        secureWipe(username.data(), username.size());
    }
};

/// The texts of a new entry with its creation audit values: made, changed and last opened by
/// `user`, both counters at 1, access "Private"; the caller fills in what the user typed.
Entry::Texts newEntryTexts(std::string_view created, std::string_view edited,
                           std::string_view accessed, std::string_view user);

/// The entry list and the visible rows with every operation on them that needs no window:
/// orders, quick search, add, store (with the audit rules) and delete.
class Workspace {
public:
    explicit Workspace(const Clock& clock) : m_clock(clock) {}

    /// The entry list (lvTitlesMaster). It changes only through the operations below, so the
    /// rows can never outlive the entries they show.
    const EntryList& master() const { return m_master; }
    /// The visible rows (lvTitlesView): the entry values as of the last rebuild. Plain pointers,
    /// so rebuilding a million rows copies them without touching a reference count; the values
    /// they show stay alive until the next rebuild.
    const std::vector<const Entry*>& rows() const { return m_rows; }

    /// Replaces every entry (a load, a restore, an import), then ShowAllEntries.
    void ReplaceEntries(std::vector<EntryPtr> entries);
    /// Appends entries whose ids are not in use (the next ids of master()), then
    /// ShowAllEntries.
    void AppendEntries(std::vector<EntryPtr> entries);

    /// Rebuilds the visible rows with every entry, in list order.
    void ShowAllEntries();
    /// Empties the entry list, then ShowAllEntries.
    void ClearEntryList();
    /// Sorts the entry list by the order, then ShowAllEntries (cmbTitleOrderChange).
    void ApplyOrder(ListOrder order);
    /// Rebuilds the rows with the entries whose title contains `text` (A to Z folded only).
    void QuickSearch(std::string_view text);

    /// Appends a new entry with the creation audit values, then ShowAllEntries; returns its row.
    std::size_t AddEntry(std::string_view title, std::string_view detail, std::string_view username,
                         std::string_view email, std::string_view password, std::string_view webUrl,
                         std::string_view user);
    /// Writes the editor's fields into the entry of `row` and advances its audit fields. Nothing
    /// happens without a row. A counter that is not a number stops it with ConversionError after
    /// the fields before it were stored.
    void StoreEntry(std::optional<std::size_t> row, const EditorFields& fields,
                    std::string_view user);
    /// Removes the entry of `row` and rebuilds the rows with all entries; returns the row to
    /// select afterwards (none when the first row was deleted or the list is empty).
    std::optional<std::size_t> DeleteEntry(std::size_t row);

    /// Gives the row (only the row: the entry list is untouched) the editor's title and notes,
    /// as the properties dialog shows them; returns the row's new value, null without the row.
    EntryPtr CopyEditorIntoRow(std::size_t row, const EditorFields& fields);

    /// The current value of the entry a row stands for (null when it is gone).
    EntryPtr entryOfRow(std::size_t row) const;
    /// The editor's view of an entry.
    static EditorFields editorFields(const Entry& e);

private:
    const Clock& m_clock;
    void rowsRebuilt() { m_retired.clear(); }

    EntryList m_master;
    std::vector<const Entry*> m_rows;
    // Values a row still shows that the list no longer holds (superseded by an edit, or given
    // to the row alone); let go at the next rebuild of the rows, which wipes their secrets.
    std::vector<EntryPtr> m_retired;
    TitleIndex m_titles;
};

}  // namespace vorkel
