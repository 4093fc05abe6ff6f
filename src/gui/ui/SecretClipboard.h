#pragma once

#include <QString>

namespace vorkel::gui {

/// Every text the program puts on the system clipboard goes through here. Secrets (passwords,
/// passphrases, user names) carry the hint that clipboard-history tools honour, and the clipboard
/// remembers a digest of what the program put there last, so the program can take back its own
/// text without wiping whatever the user copied from elsewhere since.
namespace SecretClipboard {

/// The hint's MIME type and value: clipboard managers neither store nor show such an entry.
inline constexpr const char* kHintType = "x-kde-passwordManagerHint";
inline constexpr const char* kHintValue = "secret";

/// Puts `text` on the clipboard, marked as a secret.
void copySecret(const QString& text);
/// Puts `text` on the clipboard without the mark (web addresses, e-mail addresses).
void copyText(const QString& text);
/// Empties the clipboard when it still holds the text the program put there last; true when it
/// did. Text another program put there since stays.
bool clearIfOurs();
/// Empties the clipboard, whatever it holds.
void clear();

}  // namespace SecretClipboard

}  // namespace vorkel::gui
