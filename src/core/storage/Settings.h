#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vorkel {

/// The options record. A flag is on exactly when it holds 1.
struct Options {
    std::int32_t AlwaysOnTop = 0;
    std::int32_t ShowToolTips = 1;
    std::int32_t HighlightURLs = 1;
    std::int32_t ShowClearUsernames = 1;
    std::int32_t ShowClearPasswords = 0;
    std::int32_t ShowClearPassphrase = 1;
    std::int32_t EmptyClipboard = 1;
    std::int32_t PromptMasterPass = 1;
    std::int32_t MinProg = 0;
    std::int32_t MinProgMins = 0;
    double DataVersion = 0.0;

    /// Sets the nine flags to their defaults; leaves MinProgMins and DataVersion alone.
    void ResetOptions();
    /// True when a flag value counts as on.
    static bool on(std::int32_t flag) { return flag == 1; }
};

/// The main window's outer geometry in pixels.
struct WindowGeometry {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    /// False until a settings file or the window gave a geometry.
    bool known = false;
};

/// Everything the settings file carries besides the logon record.
struct Settings {
    Options options;
    WindowGeometry window;
    std::vector<std::string> passTypes;
};

/// The data version this program writes, and reads when it found no settings file.
inline constexpr double kCurrentDataVersion = 1.2;

}  // namespace vorkel
