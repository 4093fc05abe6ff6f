#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vorkel {

/// The attribute names of one element, for the duplicate check of the XML reader and writer.
/// Names are kept as (offset, length) into a buffer the caller passes on every call, so the
/// writer's output may move in memory between calls. A short list is scanned; past
/// kLinearLimit names a hash table takes over, so a hostile element with a million attributes
/// costs linear time. Memory is kept from element to element: no allocation in steady state.
class XmlNameSet {
public:
    /// Forgets every name; keeps the memory.
    void clear();
    /// Adds base[offset, offset + length); false (and nothing added) when it is already there.
    bool insert(const char* base, std::size_t offset, std::size_t length);

    /// Up to this many names are compared one by one.
    static constexpr std::size_t kLinearLimit = 24;  // above the eighteen of an item

private:
    struct Name {
        std::size_t offset;
        std::size_t length;
        std::uint32_t hash;  // made when the table is built
    };
    bool same(const char* base, const Name& a, std::size_t offset, std::size_t length,
              std::uint32_t hash) const;
    void rebuild(std::size_t slotCount);

    std::vector<Name> m_names;
    std::vector<std::uint32_t> m_slots;  // index + 1 into m_names; 0 is empty
    std::size_t m_slotCount = 0;         // slots in use by the table; 0 while scanning
};

}  // namespace vorkel
