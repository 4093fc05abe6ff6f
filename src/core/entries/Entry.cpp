#include "core/entries/Entry.h"

#include <algorithm>
#include <cstdint>

#include "core/storage/SecureBytes.h"

namespace vorkel {

EntryPtr Entry::create(EntryId id, const Texts& texts) {
    std::size_t total = 0;
    for (auto t : texts) total += t.size();
    auto blob = std::make_shared<std::string>();
    blob->reserve(total);
    for (auto t : texts) blob->append(t);
    Texts views;
    std::size_t at = 0;
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        views[i] = std::string_view(blob->data() + at, texts[i].size());
        at += texts[i].size();
    }
    return std::make_shared<const Entry>(Key(), id, views, std::move(blob));
}

Entry::~Entry() {
    // The storage outlives this (it is released after the body): each text's bytes belong to
    // this entry alone, in writable memory that create or the document parser made. Only the
    // fields that hold secrets: wiping all eighteen made dropping a loaded list four times
    // slower, for dates and counters.
    for (Field f : {Field::Password, Field::Passphrase, Field::Username, Field::Detail}) {
        const std::string_view text = m_texts[index(f)];
        secureWipe(const_cast<char*>(text.data()), text.size());
    }
}

namespace {
// Hands out arena memory to one entry's shared block; the copy in that block keeps the arena.
template <typename T>
struct ArenaAllocator {
    using value_type = T;
    explicit ArenaAllocator(std::shared_ptr<EntryArena> a) : arena(std::move(a)) {}
    template <typename U>
    ArenaAllocator(const ArenaAllocator<U>& other) : arena(other.arena) {}
    T* allocate(std::size_t n) { return static_cast<T*>(arena->take(n * sizeof(T), alignof(T))); }
    void deallocate(T*, std::size_t) noexcept {}  // the arena's blocks go with the arena
    template <typename U>
    bool operator==(const ArenaAllocator<U>& other) const noexcept {
        return arena == other.arena;
    }
    std::shared_ptr<EntryArena> arena;
};
}  // namespace

EntryPtr Entry::view(EntryId id, const Texts& texts, const std::shared_ptr<EntryArena>& arena) {
    return std::allocate_shared<const Entry>(ArenaAllocator<Entry>(arena), Key(), id, texts,
                                             nullptr);
}

EntryArena::EntryArena(std::shared_ptr<const void> storage, std::size_t expectedEntries)
    : m_storage(std::move(storage)),
      // An entry's shared block is a little over its own size; a block too large costs only
      // address space, as untouched pages are never made resident.
      m_blockSize(std::max<std::size_t>(4096, expectedEntries * (sizeof(Entry) + 64))) {}

void* EntryArena::take(std::size_t bytes, std::size_t align) {
    auto at = reinterpret_cast<std::uintptr_t>(m_next);
    at = (at + align - 1) & ~(std::uintptr_t(align) - 1);
    if (m_next == nullptr || at + bytes > reinterpret_cast<std::uintptr_t>(m_end)) {
        const std::size_t size = std::max(m_blockSize, bytes + align);
        // Left uninitialised: every byte is constructed over before it is read.
        m_blocks.emplace_back(new std::byte[size]);
        m_next = m_blocks.back().get();
        m_end = m_next + size;
        m_blockSize = std::max<std::size_t>(4096, m_blockSize / 4);
        at = (reinterpret_cast<std::uintptr_t>(m_next) + align - 1) & ~(std::uintptr_t(align) - 1);
    }
    m_next = reinterpret_cast<std::byte*>(at + bytes);
    return reinterpret_cast<void*>(at);
}

EntryPtr withField(const Entry& e, Field f, std::string_view value) {
    Entry::Texts texts = e.texts();
    texts[index(f)] = value;
    return Entry::create(e.id(), texts);
}

}  // namespace vorkel
