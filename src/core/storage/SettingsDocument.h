#pragma once

#include <string>
#include <string_view>

#include "core/storage/SecureBytes.h"
#include "core/storage/Settings.h"

namespace vorkel {

/// The settings document "configdataxml": logon record, window, options, password types.
namespace settingsdoc {

/// Builds the document in the fixed element and attribute order, DataVersion "1.2".
SecureBytes serialize(const Settings& settings, const std::string& applicationPath,
                      std::string_view userName, std::string_view masterPassword);

/// Reads a deciphered document into `settings` (options reset first). Throws XmlError when it
/// is not well-formed and ConversionError for a missing or unconvertible required value or a
/// "passtypes" element whose attributes are not type0..typeN-1.
void parse(SecureBytes plain, Settings& settings);

/// Reads a data version written as "1.2" or "1,2" into out; false when it is not a number.
bool parseDataVersion(std::string_view text, double& out);

}  // namespace settingsdoc
}  // namespace vorkel
