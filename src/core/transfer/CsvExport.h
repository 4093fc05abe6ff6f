#pragma once

#include <string>

#include "core/entries/EntryList.h"

namespace vorkel {

/// The entries in the KeePass-family CSV layout ("Group","Title","Username","Password","URL",
/// "Notes","TOTP","Icon","Last Modified","Created"), every field quoted, records ended by LF.
/// Fields that layout has no column for (e-mail, passphrase, type, expiry) end the notes as
/// "Name: value" lines; times are ISO 8601 in UTC.
std::string keePassCsv(const EntryList& list);

}  // namespace vorkel
