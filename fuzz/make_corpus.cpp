// Writes the seed corpora: real files and documents as the program writes them, one folder
// per fuzz target under the folder given.
//
//   make_fuzz_corpus OUT
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "FuzzSupport.h"
#include "core/entries/Clock.h"
#include "core/entries/SampleContent.h"
#include "core/entries/Workspace.h"
#include "core/storage/Container.h"
#include "core/storage/DataStoreDocument.h"
#include "core/storage/RandomSource.h"
#include "core/storage/SettingsDocument.h"

using namespace vorkel;
namespace fs = std::filesystem;

namespace {

void put(const fs::path& file, std::string_view bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::string text(const SecureBytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

std::string utf16le(std::string_view ascii) {
    std::string out("\xFF\xFE", 2);
    for (char c : ascii) {
        out.push_back(c);
        out.push_back('\0');
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_corpus OUT\n");
        return 2;
    }
    const fs::path out = argv[1];
    FixedClock clock({2010, 12, 25, 14, 3, 59});
    SystemRandom random;
    const SecureBytes pass = passStringBytes(fuzz::kUser, fuzz::kPassword);

    Workspace samples(clock);
    AddSampleEntries(samples, fuzz::kUser);
    Workspace empty(clock);
    Workspace one(clock);
    one.AddEntry("Bank", "line one\r\nline two\rthree\n\rfour\t<&>\"", "me", "me@example.com",
                 "p&ss<word>", "https://bank.example.com/", fuzz::kUser);

    Settings settings;
    settings.passTypes = defaultPasswordTypes();
    settings.window = {-4, 10, 800, 600, true};
    Settings noTypes;

    const std::string store = text(datastore::serialize(samples.master(), "/opt/vorkel"));
    const std::string emptyStore = text(datastore::serialize(empty.master(), "/opt/vorkel"));
    const std::string oneStore = text(datastore::serialize(one.master(), "/opt/vorkel"));
    const std::string config =
        text(settingsdoc::serialize(settings, "/opt/vorkel", fuzz::kUser, fuzz::kPassword));
    const std::string bareConfig =
        text(settingsdoc::serialize(noTypes, "/opt/vorkel", fuzz::kUser, fuzz::kPassword));

    // Real files, enciphered under the seeds' pair.
    const auto encipher = [&](const std::string& name, const std::string& plain) {
        container::EncryptToFile(SecureBytes(plain.begin(), plain.end()),
                                 (out / "container" / name).string(), pass, random);
    };
    fs::create_directories(out / "container");
    encipher("Vorkel4.xdb", store);
    encipher("empty.xdb", emptyStore);
    encipher("one.xdb", oneStore);
    encipher("Vorkel4.vfg", config);
    encipher("short.vfg", "<a/>");

    put(out / "datastore" / "samples.xml", store);
    put(out / "datastore" / "empty.xml", emptyStore);
    put(out / "datastore" / "one.xml", oneStore);
    put(out / "datastore" / "one-utf16.xml", utf16le(oneStore));

    put(out / "settings" / "settings.xml", config);
    put(out / "settings" / "no-types.xml", bareConfig);
    put(out / "settings" / "settings-utf16.xml", utf16le(config));

    std::string search = "sample";
    for (const auto& e : samples.master().entries()) {
        search += '\0';
        search += e->title();
        search += '\0';
        search += e->get(Field::Detail);
    }
    put(out / "search" / "samples", search);
    put(out / "search" / "markup", std::string("<b>\0A & B\0x <i>\"q\"</i> a&amp;b", 27));

    put(out / "form_fill" / "login",
        "me\nme@example.com\nsecret\npage\thttps://www.example.com/login\n"
        "entry\thttps://example.com/\ntext\tusername\npassword\tpass\nhidden\ttoken\n\n"
        "text\temail\n-\tx\ntext\t-\n");
    return 0;
}
