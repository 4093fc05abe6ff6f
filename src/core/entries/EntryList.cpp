#include "core/entries/EntryList.h"

#include <algorithm>
#include <cassert>
#include <limits>

#include "core/Error.h"

namespace vorkel {

namespace {
constexpr std::uint32_t kNoPosition = std::numeric_limits<std::uint32_t>::max();
}

std::optional<std::size_t> EntryList::positionOf(EntryId id) const {
    if (id >= m_positionById.size() || m_positionById[id] == kNoPosition) return std::nullopt;
    return m_positionById[id];
}

EntryPtr EntryList::find(EntryId id) const {
    auto pos = positionOf(id);
    return pos ? m_entries[*pos] : nullptr;
}

EntryId EntryList::nextId() const {
    if (m_entries.empty()) return 0;
    if (m_maxId == std::numeric_limits<EntryId>::max() - 1) throw Error("Too many entries.");
    return m_maxId + 1;
}

void EntryList::append(EntryPtr entry) {
    EntryId id = entry->id();
    if (positionOf(id)) throw Error("Internal error: duplicate entry identifier.");
    if (m_entries.size() >= kNoPosition) throw Error("Too many entries.");
    if (id >= m_positionById.size()) m_positionById.resize(std::size_t(id) + 1, kNoPosition);
    m_positionById[id] = static_cast<std::uint32_t>(m_entries.size());
    m_maxId = m_entries.empty() ? id : std::max(m_maxId, id);
    m_entries.push_back(std::move(entry));
    restructure();
}

EntryPtr EntryList::replace(std::size_t pos, EntryPtr entry) {
    assert(entry->id() == m_entries[pos]->id());
    if (entry->title() != m_entries[pos]->title()) m_retitled.push_back(std::uint32_t(pos));
    std::swap(m_entries[pos], entry);
    return entry;
}

void EntryList::remove(std::size_t pos) {
    EntryId id = m_entries[pos]->id();
    m_positionById[id] = kNoPosition;
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(pos));
    reindexFrom(pos);
    if (id == m_maxId) {
        m_maxId = 0;
        for (const auto& e : m_entries) m_maxId = std::max(m_maxId, e->id());
    }
    restructure();
}

void EntryList::clear() {
    m_entries.clear();
    m_positionById.clear();
    m_maxId = 0;
    restructure();
}

void EntryList::assign(std::vector<EntryPtr> entries) {
    // One pass to size the index and one to fill it, instead of an append each.
    if (entries.size() >= kNoPosition) throw Error("Too many entries.");
    EntryId maxId = 0;
    for (const auto& e : entries) maxId = std::max(maxId, e->id());
    std::vector<std::uint32_t> positions(entries.empty() ? 0 : std::size_t(maxId) + 1, kNoPosition);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::uint32_t& slot = positions[entries[i]->id()];
        if (slot != kNoPosition) throw Error("Internal error: duplicate entry identifier.");
        slot = static_cast<std::uint32_t>(i);
    }
    m_entries = std::move(entries);
    m_positionById = std::move(positions);
    m_maxId = maxId;
    restructure();
}

void EntryList::permute(const std::vector<std::uint32_t>& order) {
    assert(order.size() == m_entries.size());
    std::vector<EntryPtr> sorted(order.size());
    std::vector<std::uint32_t> newPosition(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        sorted[i] = std::move(m_entries[order[i]]);
        newPosition[order[i]] = static_cast<std::uint32_t>(i);
    }
    // Through the positions, not the entries: reading a million entries' ids in the new order
    // would be a cache miss each.
    for (std::uint32_t& p : m_positionById)
        if (p != kNoPosition) p = newPosition[p];
    m_entries = std::move(sorted);
    restructure();
}

void EntryList::reindexFrom(std::size_t pos) {
    for (std::size_t i = pos; i < m_entries.size(); ++i)
        m_positionById[m_entries[i]->id()] = static_cast<std::uint32_t>(i);
}

}  // namespace vorkel
