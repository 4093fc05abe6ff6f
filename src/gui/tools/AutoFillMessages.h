#pragma once

#include <string_view>

// The texts web auto-fill shows.
namespace vorkel::msg {

inline constexpr std::string_view kStartingBrowser =
    "Starting your web browser. You may need to click Auto-Fill again if the browser startup is "
    "slow.";
inline constexpr std::string_view kNoBrowserFound =
    "Auto Fill needs the Chromium or Google Chrome web browser, and neither was found (looked "
    "for chromium, google-chrome and chromium-browser).";
inline constexpr std::string_view kNoEntryAddress =
    "This entry has no http or https address under \"Web site:\", so Auto Fill cannot tell "
    "which page to fill. Nothing was filled.";
inline constexpr std::string_view kNoMatchingPageStart = "No page open in the browser shows ";
inline constexpr std::string_view kNoMatchingPageEnd = ", so nothing was filled.";
inline constexpr std::string_view kSlowPagesStart = "These pages had not finished loading after ";
inline constexpr std::string_view kSlowPagesEnd = " seconds and were not filled:";
inline constexpr std::string_view kFailedPages =
    "These pages changed, closed or stopped answering while they were filled, and may be only "
    "partly filled:";
inline constexpr std::string_view kFillingPages = "Filling the open pages of ";
inline constexpr std::string_view kBrowserFailed = "Auto Fill stopped because the browser failed: ";

}  // namespace vorkel::msg
