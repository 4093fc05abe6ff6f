#include <gtest/gtest.h>

#include <random>

#include "core/session/Session.h"
#include "core/storage/Container.h"
#include "core/storage/PassString.h"
#include "core/storage/XmlDocument.h"
#include "core/storage/XmlError.h"
#include "support/TempDir.h"

using namespace vorkel;

// The logon rests on garbage never parsing: a real settings file deciphered under 100,000
// random wrong pass strings must never be accepted as a document.
TEST(WrongPassString, RealSettingsFileIsNeverAcceptedUnderAWrongKey) {
    vorkel::test::TempDir dir;
    SystemRandom random;
    FixedClock clock({2010, 12, 25, 14, 3, 59});
    Session s(dir.file("vorkel"), random, clock);
    s.SetLogon("alice", "correct horse");
    s.LoadWorkspace();
    s.SaveSettings();

    std::string file = vorkel::test::readFile(s.settingsPath());
    container::Salt salt;
    std::copy_n(file.begin(), container::kSaltSize, salt.begin());
    const std::string cipher = file.substr(container::kSaltSize);

    std::mt19937_64 gen(20261208);
    std::uniform_int_distribution<int> len(1, 24), byte(0x20, 0x7E);
    int accepted = 0;
    for (int i = 0; i < 100000; ++i) {
        std::string pass;
        for (int n = len(gen); n > 0; --n) pass += char(byte(gen));
        if (pass == "alicecorrect horse") continue;
        SecureBytes plain(cipher.begin(), cipher.end());
        container::decipher(salt, passStringBytes(pass, ""), plain.data(), plain.size());
        try {
            XmlDocument::LoadFromBuffer(std::move(plain));
            ++accepted;
        } catch (const XmlError&) {
        }
    }
    EXPECT_EQ(accepted, 0);

    // And the right pair does parse, so the loop above tested something.
    SecureBytes plain(cipher.begin(), cipher.end());
    container::decipher(salt, passStringBytes("alice", "correct horse"), plain.data(),
                        plain.size());
    EXPECT_NO_THROW(XmlDocument::LoadFromBuffer(std::move(plain)));
}
