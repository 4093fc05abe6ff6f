#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/entries/EntryList.h"

namespace vorkel {

/// Every title of an entry list folded to lower case (A to Z only) in one blob, so a quick-search
/// keystroke is one memmem pass and a sort compares flat keys. An edited title is appended and
/// its old text blanked, so typing in the editor never costs a rebuild; adding, removing or
/// reordering entries rebuilds on the next refresh.
class TitleIndex {
public:
    /// Brings the index up to date with `list` (no work when nothing changed).
    void refresh(const EntryList& list);
    /// Folded title of the entry at list position `pos` (after refresh).
    std::string_view folded(std::size_t pos) const {
        const Segment& s = m_segments[m_segmentOf[pos]];
        return std::string_view(m_blob).substr(s.offset, s.length);
    }
    /// Follows a reordering of `list` by `order` (new position i holds old order[i]) that was
    /// made right after a refresh, reusing the folded titles instead of rebuilding.
    void permuted(const EntryList& list, const std::vector<std::uint32_t>& order);
    /// Positions of the entries whose folded title contains `foldedNeedle`, in list order.
    std::vector<std::uint32_t> matching(std::string_view foldedNeedle) const;

private:
    struct Segment {
        std::size_t offset;
        std::uint32_t length;
        std::uint32_t position;  // kRetired once the title was replaced
    };
    void rebuild(const EntryList& list);
    void retitle(std::uint32_t position, std::string_view title);
    void appendSegment(std::uint32_t position, std::string_view title);

    std::string m_blob;               // folded titles, each followed by a NUL; retired ones all NUL
    std::vector<Segment> m_segments;  // in blob order
    std::vector<std::uint32_t> m_segmentOf;  // list position -> segment
    std::size_t m_retiredBytes = 0;
    bool m_inListOrder = true;  // false once an edited title was appended out of place
    const EntryList* m_list = nullptr;
    std::uint64_t m_structureVersion = 0;
    std::size_t m_retitledSeen = 0;
};

}  // namespace vorkel
