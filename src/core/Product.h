#pragma once

#include <string_view>

// The product's own addresses, beside the generated core/Version.h that carries its version.

namespace vorkel {

/// The product web site, used by the first sample entry, the link label, the about box and
/// "Tell a Friend".
inline constexpr std::string_view kProductWebSite = "https://www.vorkel.app/";
/// Its host name, as the first sample's notes end with it.
inline constexpr std::string_view kProductHost = "www.vorkel.app";

}  // namespace vorkel
