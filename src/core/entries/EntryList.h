#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/entries/Entry.h"

namespace vorkel {

/// The one authoritative, ordered collection of entries (lvTitlesMaster). Its order is the
/// document's order. Lookups by EntryId are O(1).
class EntryList {
public:
    std::size_t size() const { return m_entries.size(); }
    bool empty() const { return m_entries.empty(); }
    const EntryPtr& at(std::size_t pos) const { return m_entries[pos]; }
    const std::vector<EntryPtr>& entries() const { return m_entries; }

    /// Position of the entry with that id, if it is in the list.
    std::optional<std::size_t> positionOf(EntryId id) const;
    /// The entry with that id, or null.
    EntryPtr find(EntryId id) const;
    /// The id a new entry gets: one past the highest in use (0 for an empty list).
    EntryId nextId() const;

    /// Appends an entry whose id is not in use.
    void append(EntryPtr entry);
    /// Replaces the entry at `pos` by a new value with the same id; returns the old value.
    EntryPtr replace(std::size_t pos, EntryPtr entry);
    /// Removes the entry at `pos`.
    void remove(std::size_t pos);
    /// Removes every entry.
    void clear();
    /// Replaces the whole list (ids must be unique).
    void assign(std::vector<EntryPtr> entries);
    /// Reorders the list by a permutation: the new position i holds the old order[i].
    void permute(const std::vector<std::uint32_t>& order);

    /// Changes when entries are added, removed or reordered (not when one is replaced).
    std::uint64_t structureVersion() const { return m_structureVersion; }
    /// Positions whose title changed through replace() since the last structural change, in
    /// order, so a title cache can follow an edit without rebuilding.
    const std::vector<std::uint32_t>& retitled() const { return m_retitled; }

private:
    void reindexFrom(std::size_t pos);
    void restructure() {
        ++m_structureVersion;
        m_retitled.clear();
    }

    std::vector<EntryPtr> m_entries;
    std::vector<std::uint32_t> m_positionById;  // kNoPosition where the id is not in use
    EntryId m_maxId = 0;
    std::uint64_t m_structureVersion = 0;
    std::vector<std::uint32_t> m_retitled;
};

}  // namespace vorkel
