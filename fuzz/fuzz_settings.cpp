// The settings loader on deciphered bytes; whatever it accepts must write and read back alike.
#include <cstdint>

#include "FuzzSupport.h"
#include "core/Error.h"
#include "core/entries/TextRules.h"
#include "core/storage/SettingsDocument.h"

using namespace vorkel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Settings read;
    try {
        settingsdoc::parse(fuzz::bytesOf(data, size), read);
    } catch (const Error&) {
        return 0;
    }
    Settings again;
    try {
        settingsdoc::parse(
            settingsdoc::serialize(read, "/fuzz/vorkel", fuzz::kUser, fuzz::kPassword), again);
    } catch (const Error&) {
        fuzz::broken("loaded settings do not load again once written");
    }
    const Options& a = read.options;
    const Options& b = again.options;
    const auto same = [](std::int32_t x, std::int32_t y) {
        return Options::on(x) == Options::on(y);
    };
    if (!same(a.AlwaysOnTop, b.AlwaysOnTop) || !same(a.ShowToolTips, b.ShowToolTips) ||
        !same(a.HighlightURLs, b.HighlightURLs) ||
        !same(a.ShowClearUsernames, b.ShowClearUsernames) ||
        !same(a.ShowClearPasswords, b.ShowClearPasswords) ||
        !same(a.ShowClearPassphrase, b.ShowClearPassphrase) ||
        !same(a.EmptyClipboard, b.EmptyClipboard) ||
        !same(a.PromptMasterPass, b.PromptMasterPass) || !same(a.MinProg, b.MinProg) ||
        a.MinProgMins != b.MinProgMins)
        fuzz::broken("an option changed on the way round");
    if (read.window.left != again.window.left || read.window.top != again.window.top ||
        read.window.width != again.window.width || read.window.height != again.window.height)
        fuzz::broken("the window geometry changed on the way round");
    if (read.passTypes.size() != again.passTypes.size()) fuzz::broken("password types lost");
    for (std::size_t i = 0; i < read.passTypes.size(); ++i)
        if (sanitizeText(read.passTypes[i]) != again.passTypes[i])
            fuzz::broken("a password type changed on the way round");
    return 0;
}
