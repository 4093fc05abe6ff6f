#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/entries/Workspace.h"

namespace vorkel {

/// Adds the four sample entries through AddEntry, in order, audited as `user`.
void AddSampleEntries(Workspace& workspace, std::string_view user);

/// The eleven default password type names, in order.
std::vector<std::string> defaultPasswordTypes();

}  // namespace vorkel
