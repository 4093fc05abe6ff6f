#pragma once

#include <string>
#include <string_view>

#include "core/entries/EntryList.h"
#include "core/entries/TitleIndex.h"

namespace vorkel {

/// The four orders of the order box, by index.
enum class ListOrder { None = -1, DateAdded = 0, DateUpdated = 1, AtoZ = 2, ZtoA = 3 };

/// The order box's texts, by index: "Date added", "Date updated", "A - Z", "Z - A".
std::string_view listOrderText(ListOrder order);

/// The date key of a date-time text: characters 7-10, 4-5 and 1-2 (from 1) joined, with
/// characters the text lacks simply missing.
std::string dateKey(std::string_view dateTime);

/// Sorts the list itself by the order (stable: equal keys keep their relative order).
/// `titles` is a cache of folded titles that the sort reuses.
void sortEntryList(EntryList& list, ListOrder order, TitleIndex& titles);

}  // namespace vorkel
