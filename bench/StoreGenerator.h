#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/entries/Entry.h"
#include "core/storage/SecureBytes.h"

namespace vorkel::bench {

/// The logon every generated store is enciphered under.
inline constexpr std::string_view kUser = "bench";
inline constexpr std::string_view kPassword = "Correct Horse 42";

/// The program path written into generated documents.
inline constexpr std::string_view kApplicationPath = "/opt/vorkel/vorkel";

/// The pass string bytes of kUser and kPassword.
SecureBytes benchPassString();

/// Makes entries that look like a real user's: titles of 10 to 40 characters from a word list
/// (a few with accents), notes of 0 to 400 characters in lines ending CR LF, and every other
/// field filled with text of its usual shape. The same seed always gives the same entries.
class StoreGenerator {
public:
    explicit StoreGenerator(std::uint64_t seed) : m_state(seed) {}

    /// The next `count` entries, numbered 0..count-1.
    std::vector<EntryPtr> entries(std::size_t count);

    /// The texts of the next entry, in field order (held until the next call).
    const std::vector<std::string>& nextTexts();

    /// A random number in [low, high].
    std::size_t between(std::size_t low, std::size_t high);

private:
    std::uint64_t nextRandom();
    const std::string& word();
    std::string title();
    std::string notes();
    std::string password();
    std::string dateTime();
    void checkShape() const;

    std::uint64_t m_state;
    std::vector<std::string> m_texts;
};

/// Writes `entries` as an enciphered data store at `path` with the core's own serialiser and
/// container, under benchPassString(); returns the plain document's size in bytes.
std::size_t writeStore(const std::vector<EntryPtr>& entries, const std::string& path);

}  // namespace vorkel::bench
