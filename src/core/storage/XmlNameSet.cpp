#include "core/storage/XmlNameSet.h"

#include <algorithm>
#include <cstring>

namespace vorkel {

namespace {

std::uint32_t hashOf(const char* p, std::size_t n) noexcept {
    std::uint32_t h = 2166136261u;  // FNV-1a
    for (std::size_t i = 0; i < n; ++i) {
        h ^= static_cast<unsigned char>(p[i]);
        h *= 16777619u;
    }
    return h;
}

}  // namespace

void XmlNameSet::clear() {
    m_names.clear();
    if (m_slotCount != 0) {
        // Only the part the last element used: a table sized for one huge element must not
        // make every later element pay for it.
        std::fill_n(m_slots.begin(), m_slotCount, 0u);
        m_slotCount = 0;
    }
}

bool XmlNameSet::same(const char* base, const Name& a, std::size_t offset, std::size_t length,
                      std::uint32_t hash) const {
    return a.hash == hash && a.length == length &&
           std::memcmp(base + a.offset, base + offset, length) == 0;
}

bool XmlNameSet::insert(const char* base, std::size_t offset, std::size_t length) {
    if (m_slotCount == 0) {
        // Few names: comparing is cheaper than hashing; hashes are made when the table is.
        for (const Name& n : m_names)
            if (n.length == length && std::memcmp(base + n.offset, base + offset, length) == 0)
                return false;
        m_names.push_back({offset, length, 0});
        if (m_names.size() > kLinearLimit) {
            for (Name& n : m_names) n.hash = hashOf(base + n.offset, n.length);
            rebuild(64);
        }
        return true;
    }
    const std::uint32_t hash = hashOf(base + offset, length);
    if ((m_names.size() + 1) * 2 > m_slotCount) rebuild(m_slotCount * 2);
    const std::size_t mask = m_slotCount - 1;
    std::size_t i = hash & mask;
    while (m_slots[i] != 0) {
        if (same(base, m_names[m_slots[i] - 1], offset, length, hash)) return false;
        i = (i + 1) & mask;
    }
    m_names.push_back({offset, length, hash});
    m_slots[i] = static_cast<std::uint32_t>(m_names.size());
    return true;
}

void XmlNameSet::rebuild(std::size_t slotCount) {
    if (m_slots.size() < slotCount) m_slots.resize(slotCount);
    std::fill_n(m_slots.begin(), slotCount, 0u);
    m_slotCount = slotCount;
    const std::size_t mask = slotCount - 1;
    // The names are distinct already; only their places are needed.
    for (std::size_t k = 0; k < m_names.size(); ++k) {
        std::size_t i = m_names[k].hash & mask;
        while (m_slots[i] != 0) i = (i + 1) & mask;
        m_slots[i] = static_cast<std::uint32_t>(k + 1);
    }
}

}  // namespace vorkel
