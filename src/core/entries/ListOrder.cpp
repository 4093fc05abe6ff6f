#include "entries/ListOrder.h"

#include <algorithm>
#include <numeric>

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

void sortEntryList(EntryList& list, ListOrder order, TitleIndex& titles) {
    if (order == ListOrder::None || list.size() < 2) return;
    std::vector<std::uint32_t> perm(list.size());
    std::iota(perm.begin(), perm.end(), 0u);
    titles.refresh(list);
    if (order == ListOrder::DateAdded || order == ListOrder::DateUpdated) {
        Field f = order == ListOrder::DateAdded ? Field::CreateDate : Field::EditDate;
        std::vector<std::string> keys(list.size());
        for (std::size_t i = 0; i < list.size(); ++i) keys[i] = dateKey(list.at(i)->get(f));
        std::stable_sort(perm.begin(), perm.end(),
                         [&](std::uint32_t a, std::uint32_t b) { return keys[a] < keys[b]; });
    } else {
        if (order == ListOrder::AtoZ)
            std::stable_sort(perm.begin(), perm.end(), [&](std::uint32_t a, std::uint32_t b) {
                return titles.folded(a) < titles.folded(b);
            });
        else
            std::stable_sort(perm.begin(), perm.end(), [&](std::uint32_t a, std::uint32_t b) {
                return titles.folded(b) < titles.folded(a);
            });
    }
    // An already sorted list (the usual case at logon) stays as it is: nothing to redo.
    if (std::is_sorted(perm.begin(), perm.end())) return;
    list.permute(perm);
    titles.permuted(list, perm);
}

}  // namespace vorkel
