// The child of the crash test: builds a store of 10,000 entries in memory and saves both files
// over and over, each save a new generation, until it is killed. After each finished save it
// writes the generation's number on standard output; "ready" comes before the first save.
//
// With "passwd" every save is a master password change, to the password of its generation.
//
//   crash_writer FOLDER FIRST-GENERATION [passwd]
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/entries/Clock.h"
#include "core/entries/Entry.h"
#include "core/entries/SampleContent.h"
#include "core/hardening/crash/CrashPassword.h"
#include "core/session/Session.h"
#include "core/storage/RandomSource.h"

namespace {

constexpr std::size_t kEntries = 10000;

void say(const std::string& line) {
    const std::string text = line + "\n";
    if (::write(STDOUT_FILENO, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
        std::exit(3);
}

vorkel::EntryPtr makeEntry(std::size_t i, const std::string& title) {
    vorkel::Entry::Texts texts{};
    // The texts are views: every one must outlive create(), which copies them.
    const std::string detail = "notes of entry " + std::to_string(i) + "\r\nsecond line";
    const std::string password = "password-" + std::to_string(i);
    texts[vorkel::index(vorkel::Field::Title)] = title;
    texts[vorkel::index(vorkel::Field::Detail)] = detail;
    texts[vorkel::index(vorkel::Field::Password)] = password;
    texts[vorkel::index(vorkel::Field::Username)] = "user";
    texts[vorkel::index(vorkel::Field::ModifyCount)] = "1";
    texts[vorkel::index(vorkel::Field::AccessCount)] = "1";
    texts[vorkel::index(vorkel::Field::AllowedAccess)] = "Private";
    texts[vorkel::index(vorkel::Field::WebURL)] = "https://example.com/";
    return vorkel::Entry::create(static_cast<vorkel::EntryId>(i), texts);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) return 2;
    const std::string folder = argv[1];
    long generation = std::strtol(argv[2], nullptr, 10);
    const bool changePassword = argc == 4 && std::string(argv[3]) == "passwd";

    vorkel::SystemRandom random;
    vorkel::SystemClock clock;
    vorkel::Session session(folder + "/vorkel", random, clock);
    session.SetLogon("crash",
                     changePassword ? vorkel::test::crashPassword(generation - 1) : "test pair");
    session.settings().passTypes = vorkel::defaultPasswordTypes();

    std::vector<vorkel::EntryPtr> entries;
    entries.reserve(kEntries);
    for (std::size_t i = 0; i < kEntries; ++i)
        entries.push_back(makeEntry(i, "entry " + std::to_string(i)));
    session.workspace().ReplaceEntries(entries);
    say("ready");

    for (;; ++generation) {
        const std::string title = "generation " + std::to_string(generation);
        entries.front() = makeEntry(0, title);
        entries.back() = makeEntry(kEntries - 1, title);
        session.workspace().ReplaceEntries(entries);
        session.settings().window.left = static_cast<std::int32_t>(generation);
        if (changePassword)
            session.ChangeMasterPassword(vorkel::test::crashPassword(generation));
        else
            session.SaveAll();
        say(std::to_string(generation));
    }
}
