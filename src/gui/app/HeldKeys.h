#pragma once

namespace vorkel::gui {

/// Asks the X server to report a held key as repeated presses and one release, instead of a
/// release and a press for every repeat (XKB "detectable auto-repeat"). The editor stores the
/// entry at each key release, so a held arrow key would otherwise count as dozens of edits, and
/// Qt tells the server's repeats from real releases only when both arrive together. Does
/// nothing on other platforms; false when the server refused.
bool reportHeldKeysOnce();

}  // namespace vorkel::gui
