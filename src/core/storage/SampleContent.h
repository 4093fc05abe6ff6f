#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/entries/Workspace.h"

namespace vorkel {

/// The product web site, used by the first sample entry, the link label, the about box and
/// "Tell a Friend".
inline constexpr std::string_view kProductWebSite = "https://www.vorkel.app/";
/// Its host name, as the first sample's notes end with it.
inline constexpr std::string_view kProductHost = "www.vorkel.app";

/// Adds the four sample entries through AddEntry, in order, audited as `user`.
void AddSampleEntries(Workspace& workspace, std::string_view user);

/// The eleven default password type names, in order.
std::vector<std::string> defaultPasswordTypes();

}  // namespace vorkel
