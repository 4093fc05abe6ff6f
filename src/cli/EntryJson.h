#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/entries/Entry.h"
#include "core/entries/EntryList.h"

namespace vorkel::cli {

/// The tool's JSON form of an entry list: an array with one object per entry in list order,
/// whose keys are the eighteen attribute names in document order and whose values are strings.
/// The only place the tool touches the JSON library.
namespace entryjson {

/// The whole list as JSON text (two-space indentation, a final line break).
std::string write(const EntryList& list);

/// Entries numbered 0..n-1 from JSON text of that shape. Everything is checked before any entry
/// is made: every entry an object holding exactly the eighteen keys, each value a string a data
/// store can carry. Throws Error naming the position (from 0) and key of the first fault.
std::vector<EntryPtr> read(std::string_view text);

}  // namespace entryjson
}  // namespace vorkel::cli
