#include "core/entries/ListOrder.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace vorkel {

std::string_view listOrderText(ListOrder order) {
    switch (order) {
        case ListOrder::DateAdded:
            return "Date added";
        case ListOrder::DateUpdated:
            return "Date updated";
        case ListOrder::AtoZ:
            return "A - Z";
        case ListOrder::ZtoA:
            return "Z - A";
        case ListOrder::None:
            break;
    }
    return "";
}

std::string dateKey(std::string_view t) {
    auto part = [&](std::size_t from, std::size_t len) {
        return from < t.size() ? t.substr(from, len) : std::string_view();
    };
    std::string key;
    key.reserve(8);
    key.append(part(6, 4));
    key.append(part(3, 2));
    key.append(part(0, 2));
    return key;
}

namespace {

// A sort item: sixteen bytes of a key, most significant first, and the list position it is for.
struct Item {
    std::uint64_t high;
    std::uint64_t low;
    std::uint32_t pos;
};

bool keyLess(const Item& x, const Item& y) {
    return x.high != y.high ? x.high < y.high : x.low < y.low;
}

// Eight bytes of `text` from `from`, big-endian, zero past its end: keys then compare as the
// texts' bytes do (as std::string_view compares), since no entry text holds a NUL.
std::uint64_t keyAt(std::string_view text, std::size_t from) {
    std::uint64_t key = 0;
    if (from + 8 <= text.size()) {
        std::memcpy(&key, text.data() + from, 8);
        return __builtin_bswap64(key);
    }
    for (std::size_t i = 0; i < 8; ++i)
        key =
            (key << 8) | (from + i < text.size() ? static_cast<unsigned char>(text[from + i]) : 0);
    return key;
}

// Stable least-significant-digit radix sort by the sixteen key bytes, a byte a pass (256
// buckets keep the scattering in cache); all counts come from one read, and a pass whose byte
// is the same everywhere is skipped.
void radixSort(Item* a, std::size_t n, std::vector<Item>& scratch) {
    if (n < 64) {
        // Items come in position order, so ties broken by position keep the sort stable.
        std::sort(a, a + n, [](const Item& x, const Item& y) {
            return keyLess(x, y) || (!keyLess(y, x) && x.pos < y.pos);
        });
        return;
    }
    scratch.resize(std::max(scratch.size(), n));
    static constexpr unsigned kPasses = 16;
    const auto digit = [](const Item& item, unsigned pass) {
        return pass < 8 ? (item.low >> (8 * pass)) & 0xFF : (item.high >> (8 * (pass - 8))) & 0xFF;
    };
    std::vector<std::array<std::uint32_t, 256>> count(kPasses);
    for (std::size_t i = 0; i < n; ++i)
        for (unsigned pass = 0; pass < kPasses; ++pass) ++count[pass][digit(a[i], pass)];
    Item* from = a;
    Item* to = scratch.data();
    for (unsigned pass = 0; pass < kPasses; ++pass) {
        auto& c = count[pass];
        if (c[digit(from[0], pass)] == n) continue;
        std::uint32_t sum = 0;
        for (auto& bucket : c) sum += std::exchange(bucket, sum);
        for (std::size_t i = 0; i < n; ++i) to[c[digit(from[i], pass)]++] = from[i];
        std::swap(from, to);
    }
    if (from != a) std::copy(from, from + n, a);
}

// Sorts items of equal title prefix [0, depth) by the rest of their folded titles: sixteen
// bytes at a time, then each run of equal bytes again, until the titles end. At the top the
// keys are read in list order; deeper, only titles that share sixteen bytes are read again.
// Deep into long titles a comparison sort takes over, which also bounds the recursion.
void sortTitles(Item* a, std::size_t n, std::size_t depth, const TitleIndex& titles,
                bool descending, std::vector<Item>& scratch) {
    constexpr std::size_t kDeepest = 64;
    if (depth >= kDeepest) {
        std::stable_sort(a, a + n, [&](const Item& x, const Item& y) {
            const std::string_view tx = titles.folded(x.pos).substr(depth),
                                   ty = titles.folded(y.pos).substr(depth);
            return descending ? ty < tx : tx < ty;
        });
        return;
    }
    // Complemented keys sort descending with ties still in position order.
    const std::uint64_t flip = descending ? ~std::uint64_t(0) : 0;
    for (std::size_t i = 0; i < n; ++i) {
        // Deeper runs read titles all over the index: ask for them a little ahead.
        if (i + 8 < n) __builtin_prefetch(titles.folded(a[i + 8].pos).data() + depth);
        const std::string_view title = titles.folded(a[i].pos);
        a[i].high = keyAt(title, depth) ^ flip;
        a[i].low = keyAt(title, depth + 8) ^ flip;
    }
    radixSort(a, n, scratch);
    for (std::size_t i = 0; i < n;) {
        std::size_t j = i + 1;
        while (j < n && a[j].high == a[i].high && a[j].low == a[i].low) ++j;
        // A run whose last byte is past the titles' ends holds equal titles: done.
        if (j - i > 1 && ((a[i].low ^ flip) & 0xFF) != 0)
            sortTitles(a + i, j - i, depth + 16, titles, descending, scratch);
        i = j;
    }
}

}  // namespace

void sortEntryList(EntryList& list, ListOrder order, TitleIndex& titles) {
    if (order == ListOrder::None || list.size() < 2) return;
    std::vector<Item> items(list.size());
    for (std::size_t i = 0; i < items.size(); ++i) items[i] = {0, 0, std::uint32_t(i)};
    std::vector<Item> scratch;
    titles.refresh(list);
    if (order == ListOrder::DateAdded || order == ListOrder::DateUpdated) {
        // A date key is at most eight bytes, so one key orders it whole.
        const Field f = order == ListOrder::DateAdded ? Field::CreateDate : Field::EditDate;
        for (Item& item : items) item.high = keyAt(dateKey(list.at(item.pos)->get(f)), 0);
        radixSort(items.data(), items.size(), scratch);
    } else {
        sortTitles(items.data(), items.size(), 0, titles, order == ListOrder::ZtoA, scratch);
    }
    std::vector<std::uint32_t> perm(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) perm[i] = items[i].pos;
    // An already sorted list (the usual case at logon) stays as it is: nothing to redo.
    if (std::is_sorted(perm.begin(), perm.end())) return;
    list.permute(perm);
    titles.permuted(list, perm);
}

}  // namespace vorkel
