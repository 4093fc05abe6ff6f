#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "entries/EntryList.h"

namespace vorkel {

/// Every title of an entry list folded to lower case (A to Z only) in one contiguous blob, so a
/// quick-search keystroke is one memmem pass and a sort compares flat keys. Rebuilt lazily when
/// the list's version changes.
class TitleIndex {
public:
    /// Brings the index up to date with `list` (no work when nothing changed).
    void refresh(const EntryList& list);
    /// Folded title of the entry at list position `pos` (after refresh).
    std::string_view folded(std::size_t pos) const {
        return std::string_view(m_blob).substr(m_starts[pos],
                                               m_starts[pos + 1] - m_starts[pos] - 1);
    }
    /// Positions of the entries whose folded title contains `foldedNeedle`, in list order.
    std::vector<std::uint32_t> matching(std::string_view foldedNeedle) const;

private:
    std::string m_blob;                 // folded titles, each followed by a NUL
    std::vector<std::size_t> m_starts;  // start of each title; one extra at the end
    std::uint64_t m_version = ~std::uint64_t(0);
    const EntryList* m_list = nullptr;
};

}  // namespace vorkel
