#pragma once

#include <initializer_list>
#include <string_view>

#include "core/entries/Entry.h"
#include "core/entries/EntryList.h"

namespace vorkel::test {

// The entries the advanced search's tests search, shared by the core's tests of what is found
// and the window's tests of how it is drawn.

/// An entry with this description, notes and user name, created "01/02/2010 03:04:05" and last
/// changed "06/07/2011".
inline EntryPtr searchEntry(EntryId id, std::string_view title, std::string_view notes,
                            std::string_view username = "") {
    Entry::Texts t{};
    t[index(Field::Title)] = title;
    t[index(Field::Detail)] = notes;
    t[index(Field::Username)] = username;
    t[index(Field::CreateDate)] = "01/02/2010 03:04:05";
    t[index(Field::EditDate)] = "06/07/2011";
    return Entry::create(id, t);
}

/// An entry list holding `entries` in this order.
inline EntryList listOf(std::initializer_list<EntryPtr> entries) {
    EntryList list;
    for (const auto& e : entries) list.append(e);
    return list;
}

}  // namespace vorkel::test
