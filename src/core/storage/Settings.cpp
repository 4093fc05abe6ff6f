#include "core/storage/Settings.h"

namespace vorkel {

void Options::ResetOptions() {
    const Options defaults;
    AlwaysOnTop = defaults.AlwaysOnTop;
    ShowToolTips = defaults.ShowToolTips;
    HighlightURLs = defaults.HighlightURLs;
    ShowClearUsernames = defaults.ShowClearUsernames;
    ShowClearPasswords = defaults.ShowClearPasswords;
    ShowClearPassphrase = defaults.ShowClearPassphrase;
    EmptyClipboard = defaults.EmptyClipboard;
    PromptMasterPass = defaults.PromptMasterPass;
    MinProg = defaults.MinProg;
}

}  // namespace vorkel
