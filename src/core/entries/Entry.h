#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/entries/Field.h"

namespace vorkel {

/// In-memory identifier of an entry; never stored, renumbered by every load.
using EntryId = std::uint32_t;

class Entry;
/// Entries are shared immutable values: a change makes a new Entry and swaps the pointer.
using EntryPtr = std::shared_ptr<const Entry>;

/// Memory for the entries of one load, handed out from large blocks: one allocation per load
/// instead of one per entry, and no per-entry free when the list goes. It keeps the document
/// the entries' texts lie in, and goes with the last of its entries; an entry that goes earlier
/// is still wiped at once, only its few hundred bytes stay until then.
class EntryArena {
public:
    /// `expectedEntries` sizes the first block; more come as needed.
    EntryArena(std::shared_ptr<const void> storage, std::size_t expectedEntries);
    EntryArena(const EntryArena&) = delete;
    EntryArena& operator=(const EntryArena&) = delete;
    /// `bytes` aligned to `align` (at most alignof(std::max_align_t)).
    void* take(std::size_t bytes, std::size_t align);

private:
    std::shared_ptr<const void> m_storage;
    std::vector<std::unique_ptr<std::byte[]>> m_blocks;
    std::byte* m_next = nullptr;
    std::byte* m_end = nullptr;
    std::size_t m_blockSize;
};

/// One password entry: eighteen texts and its identifier. Immutable. When the last pointer to
/// an entry goes, its secret texts (password, passphrase, user name, notes) are wiped where
/// they lie: in its own block, or in the parsed
/// document it was read from, which other entries may keep alive for the whole run. A value an
/// edit superseded is thus gone once no row shows it any more, at a cost in proportion to the
/// entry alone.
class Entry {
    // Only create and view make entries: the texts must lie in memory the entry may wipe.
    struct Key {
        explicit Key() = default;
    };

public:
    using Texts = std::array<std::string_view, kFieldCount>;

    /// An entry owning copies of the given texts (one allocation for all of them).
    static EntryPtr create(EntryId id, const Texts& texts);
    /// An entry whose texts live in a parsed document, made in `arena`, which keeps that
    /// document alive.
    static EntryPtr view(EntryId id, const Texts& texts, const std::shared_ptr<EntryArena>& arena);

    EntryId id() const { return m_id; }
    std::string_view get(Field f) const { return m_texts[index(f)]; }
    std::string_view title() const { return get(Field::Title); }
    const Texts& texts() const { return m_texts; }

    Entry(Key, EntryId id, const Texts& texts, std::shared_ptr<const void> storage)
        : m_id(id), m_texts(texts), m_storage(std::move(storage)) {}
    ~Entry();
    Entry(const Entry&) = delete;
    Entry& operator=(const Entry&) = delete;

private:
    EntryId m_id;
    Texts m_texts;
    std::shared_ptr<const void> m_storage;
};

/// The same entry with one field replaced; id kept.
EntryPtr withField(const Entry& e, Field f, std::string_view value);

}  // namespace vorkel
