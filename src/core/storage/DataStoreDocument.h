#pragma once

#include <string>
#include <vector>

#include "core/entries/Entry.h"
#include "core/entries/EntryList.h"
#include "core/storage/SecureBytes.h"

namespace vorkel {

/// The data store document: root "filedataxml" with its "application" attribute and one
/// "item" element of eighteen attributes per entry, in list order.
namespace datastore {

/// Serialises the whole list. `applicationPath` is the program file's full path.
SecureBytes serialize(const EntryList& list, const std::string& applicationPath);

/// Parses a deciphered document into entries numbered 0..n-1 in document order. The entries'
/// texts stay in the (decoded) buffer, which they keep alive. `Email` is read only when
/// dataVersion > 1.0 and `WebURL` only when > 1.1. Throws XmlError for a document that is not
/// well-formed and ConversionError for an item that lacks an attribute.
std::vector<EntryPtr> parse(SecureBytes plain, double dataVersion);

}  // namespace datastore
}  // namespace vorkel
