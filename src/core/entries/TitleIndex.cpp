#include "core/entries/TitleIndex.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "core/entries/TextRules.h"

namespace vorkel {

namespace {
constexpr std::uint32_t kRetired = std::numeric_limits<std::uint32_t>::max();
}

void TitleIndex::appendSegment(std::uint32_t position, std::string_view title) {
    const std::size_t offset = m_blob.size();
    m_blob.resize(offset + title.size() + 1);
    char* out = m_blob.data() + offset;
    for (char c : title) *out++ = lowerAsciiChar(c);
    *out = '\0';
    m_segments.push_back({offset, std::uint32_t(title.size()), position});
}

void TitleIndex::rebuild(const EntryList& list) {
    std::size_t total = 0;
    for (const auto& e : list.entries()) total += e->title().size() + 1;
    // Sized once and filled in place: a resize per title costs more than the folding.
    m_blob.clear();
    m_blob.reserve(total + total / 8);
    m_blob.resize(total);
    m_segments.resize(list.size());
    m_segmentOf.resize(list.size());
    char* out = m_blob.data();
    const auto& entries = list.entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        // Titles lie hundreds of bytes apart in the loaded document, too irregular for the
        // hardware to guess: ask for them a little ahead, the entry first, then its title.
        if (i + 16 < entries.size()) __builtin_prefetch(entries[i + 16].get());
        if (i + 8 < entries.size()) __builtin_prefetch(entries[i + 8]->title().data());
        const std::string_view title = entries[i]->title();
        m_segments[i] = {std::size_t(out - m_blob.data()), std::uint32_t(title.size()),
                         std::uint32_t(i)};
        m_segmentOf[i] = std::uint32_t(i);
        for (char c : title) *out++ = lowerAsciiChar(c);
        *out++ = '\0';
    }
    m_retiredBytes = 0;
    m_inListOrder = true;
    m_list = &list;
    m_structureVersion = list.structureVersion();
    m_retitledSeen = list.retitled().size();
}

void TitleIndex::retitle(std::uint32_t position, std::string_view title) {
    Segment& old = m_segments[m_segmentOf[position]];
    // NULs never match a needle (titles cannot hold one), so the old text drops out of searches.
    std::memset(m_blob.data() + old.offset, 0, old.length);
    m_retiredBytes += old.length + 1;
    old.position = kRetired;
    m_segmentOf[position] = std::uint32_t(m_segments.size());
    appendSegment(position, title);
    m_inListOrder = false;
}

void TitleIndex::refresh(const EntryList& list) {
    if (m_list != &list || m_structureVersion != list.structureVersion()) return rebuild(list);
    const auto& retitled = list.retitled();
    for (; m_retitledSeen < retitled.size(); ++m_retitledSeen) {
        std::uint32_t pos = retitled[m_retitledSeen];
        retitle(pos, list.at(pos)->title());
    }
    if (m_retiredBytes > m_blob.size() / 2) rebuild(list);
}

void TitleIndex::permuted(const EntryList& list, const std::vector<std::uint32_t>& order) {
    std::string blob;
    blob.reserve(m_blob.size() - m_retiredBytes);
    std::vector<Segment> segments;
    segments.reserve(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        const Segment& s = m_segments[m_segmentOf[order[i]]];
        segments.push_back({blob.size(), s.length, std::uint32_t(i)});
        blob.append(m_blob, s.offset, std::size_t(s.length) + 1);
    }
    for (std::size_t i = 0; i < order.size(); ++i) m_segmentOf[i] = std::uint32_t(i);
    m_blob = std::move(blob);
    m_segments = std::move(segments);
    m_segmentOf.resize(order.size());
    m_retiredBytes = 0;
    m_inListOrder = true;
    m_structureVersion = list.structureVersion();
    m_retitledSeen = list.retitled().size();
}

std::vector<std::uint32_t> TitleIndex::matching(std::string_view needle) const {
    std::vector<std::uint32_t> hits;
    const std::size_t count = m_segmentOf.size();
    if (needle.empty()) {
        hits.resize(count);
        for (std::size_t i = 0; i < count; ++i) hits[i] = std::uint32_t(i);
        return hits;
    }
    if (needle.find('\0') != std::string_view::npos) return hits;
    const char* base = m_blob.data();
    const char* end = base + m_blob.size();
    const char* at = base;
    std::size_t seg = 0;
    while (at < end) {
        const void* found = memmem(at, std::size_t(end - at), needle.data(), needle.size());
        if (!found) break;
        const std::size_t offset = std::size_t(static_cast<const char*>(found) - base);
        // Segments lie in blob order: gallop from the last hit (hits are often close), then
        // halve the last stride, instead of a search over all that remain.
        if (m_segments[seg].offset + m_segments[seg].length < offset) {
            std::size_t low = seg, step = 1;
            while (low + step < m_segments.size() && m_segments[low + step].offset <= offset) {
                low += step;
                step *= 2;
            }
            const std::size_t high = std::min(low + step, m_segments.size());
            auto it = std::upper_bound(
                m_segments.begin() + std::ptrdiff_t(low), m_segments.begin() + std::ptrdiff_t(high),
                offset, [](std::size_t o, const Segment& s) { return o < s.offset; });
            seg = std::size_t(it - m_segments.begin()) - 1;
        }
        const Segment& s = m_segments[seg];
        hits.push_back(s.position);  // never a retired one: their text is all NUL
        at = base + s.offset + s.length + 1;
        ++seg;
        if (seg >= m_segments.size()) break;
    }
    if (!m_inListOrder) std::sort(hits.begin(), hits.end());
    return hits;
}

}  // namespace vorkel
