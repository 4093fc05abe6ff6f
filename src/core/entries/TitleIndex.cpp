#include "entries/TitleIndex.h"

#include <algorithm>
#include <cstring>

#include "entries/TextRules.h"

namespace vorkel {

void TitleIndex::refresh(const EntryList& list) {
    if (m_list == &list && m_version == list.version()) return;
    std::size_t total = 0;
    for (const auto& e : list.entries()) total += e->title().size() + 1;
    m_blob.clear();
    m_blob.resize(total);
    m_starts.clear();
    m_starts.reserve(list.size() + 1);
    char* out = m_blob.data();
    for (const auto& e : list.entries()) {
        m_starts.push_back(std::size_t(out - m_blob.data()));
        for (char c : e->title()) *out++ = lowerAsciiChar(c);
        *out++ = '\0';
    }
    m_starts.push_back(total);
    m_list = &list;
    m_version = list.version();
}

std::vector<std::uint32_t> TitleIndex::matching(std::string_view needle) const {
    std::vector<std::uint32_t> hits;
    const std::size_t count = m_starts.size() - 1;
    if (needle.empty()) {
        hits.resize(count);
        for (std::size_t i = 0; i < count; ++i) hits[i] = std::uint32_t(i);
        return hits;
    }
    // A title can never hold a NUL (documents cannot carry one), so a needle with one matches
    // nothing, and the separators keep a match from spanning two titles.
    if (needle.find('\0') != std::string_view::npos) return hits;
    const char* base = m_blob.data();
    const char* end = base + m_blob.size();
    const char* at = base;
    std::size_t pos = 0;
    while (at < end) {
        const void* found = memmem(at, std::size_t(end - at), needle.data(), needle.size());
        if (!found) break;
        std::size_t offset = std::size_t(static_cast<const char*>(found) - base);
        // The title holding the hit: advance from the last hit, binary search beyond a short walk.
        if (m_starts[pos + 1] <= offset) {
            auto it =
                std::upper_bound(m_starts.begin() + std::ptrdiff_t(pos), m_starts.end(), offset);
            pos = std::size_t(it - m_starts.begin()) - 1;
        }
        hits.push_back(std::uint32_t(pos));
        at = base + m_starts[pos + 1];  // next title
        ++pos;
        if (pos >= count) break;
    }
    return hits;
}

}  // namespace vorkel
