#include "core/tools/PasswordGenerator.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace vorkel {
namespace {

const std::string kBase64Letters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

struct Vector {
    std::array<std::uint8_t, 8> random;
    std::string password;
    std::string text;
    std::string expected;
};

// Rows made with the openssl tool (see make-generator-vectors.sh).
std::vector<Vector> vectors() {
    std::ifstream in(std::string(VORKEL_TEST_DATA) + "/generator/vectors.tsv");
    EXPECT_TRUE(in);
    std::vector<Vector> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string random, password, text, expected;
        std::getline(fields, random, '\t');
        std::getline(fields, password, '\t');
        std::getline(fields, text, '\t');
        std::getline(fields, expected, '\t');
        Vector row;
        const std::string randomBytes = test::fromHex(random);
        EXPECT_EQ(randomBytes.size(), 8u) << line;
        std::copy_n(randomBytes.begin(), 8, row.random.begin());
        row.password = test::fromHex(password);
        row.text = text;
        row.expected = expected;
        rows.push_back(row);
    }
    EXPECT_EQ(rows.size(), 7u);
    return rows;
}

Vector rowFor(const std::string& text, const std::string& passwordHex) {
    for (const Vector& row : vectors())
        if (row.text == text && test::toHex(row.password) == passwordHex) return row;
    ADD_FAILURE() << "no vector for " << text;
    return {};
}

FixedRandom sourceOf(const std::array<std::uint8_t, 8>& bytes) {
    return FixedRandom(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

TEST(PasswordGenerator, MatchesTheOpensslVectors) {
    for (const Vector& row : vectors()) {
        SCOPED_TRACE(row.text + " / " + test::toHex(row.password));
        EXPECT_EQ(generatePasswordFrom(row.random, row.password, row.text), row.expected);
    }
}

TEST(PasswordGenerator, GeneratePasswordUsesDrawnBytesPasswordAndClock) {
    const Vector row = rowFor("14/03/2024 09:26:53", "736563726574");
    FixedRandom random = sourceOf(row.random);
    const FixedClock clock({2024, 3, 14, 9, 26, 53});
    EXPECT_EQ(GeneratePassword(random, clock, "secret"), row.expected);
    EXPECT_EQ(random.drawn(), 8u);
}

TEST(PasswordGenerator, PasswordBytesFollowThePassStringRule) {
    const FixedClock clock({2024, 2, 29, 12, 0, 0});
    const Vector western = rowFor("29/02/2024 12:00:00", "50e4737377f67264");
    FixedRandom random = sourceOf(western.random);
    EXPECT_EQ(GeneratePassword(random, clock, "P\u00e4ssw\u00f6rd"), western.expected);
    const Vector foreign = rowFor("29/02/2024 12:00:00", "d096756b");
    random = sourceOf(foreign.random);
    EXPECT_EQ(GeneratePassword(random, clock, "\u0416uk"), foreign.expected);
}

TEST(PasswordGenerator, MidnightGivesTheDateAlone) {
    const Vector row = rowFor("25/12/2023", "736563726574");
    FixedRandom random = sourceOf(row.random);
    const FixedClock midnight({2023, 12, 25, 0, 0, 0});
    const std::string generated = GeneratePassword(random, midnight, "secret");
    EXPECT_EQ(generated, row.expected);
    ASSERT_EQ(generated.size(), 16u);
    EXPECT_EQ(generated.substr(14), "==");
    EXPECT_EQ(cutPassword(generated, 20), generated);
}

TEST(PasswordGenerator, OneSecondPastMidnightKeepsTheTime) {
    const Vector row = rowFor("01/01/2000 00:00:01", "736563726574");
    FixedRandom random = sourceOf(row.random);
    EXPECT_EQ(GeneratePassword(random, FixedClock({2000, 1, 1, 0, 0, 1}), "secret"), row.expected);
}

TEST(PasswordGenerator, LengthIsFourCharactersPerThreeBytes) {
    const std::array<std::uint8_t, 8> random{1, 2, 3, 4, 5, 6, 7, 8};
    for (std::size_t length = 0; length <= 24; ++length) {
        SCOPED_TRACE(length);
        const std::string generated = generatePasswordFrom(random, "pw", std::string(length, '7'));
        EXPECT_EQ(generated.size(), 4 * ((length + 2) / 3));
        const std::size_t padding = (3 - length % 3) % 3;
        const std::size_t firstPad = padding == 0 ? std::string::npos : generated.size() - padding;
        EXPECT_EQ(generated.find('='), firstPad);
        EXPECT_EQ(generated.find_first_not_of(kBase64Letters + "="), std::string::npos);
    }
}

TEST(PasswordGenerator, DifferentRandomBytesGiveDifferentPasswords) {
    FixedRandom random({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
    const FixedClock clock({2024, 6, 1, 10, 11, 12});
    const std::string first = GeneratePassword(random, clock, "secret");
    const std::string second = GeneratePassword(random, clock, "secret");
    EXPECT_EQ(random.drawn(), 16u);
    EXPECT_NE(first, second);
    EXPECT_NE(cutPassword(first, 8), cutPassword(second, 8));
}

TEST(PasswordGenerator, FixedSourceRepeats) {
    const FixedClock clock({2024, 6, 1, 10, 11, 12});
    FixedRandom a({42, 43, 44, 45, 46, 47, 48, 49});
    FixedRandom b({42, 43, 44, 45, 46, 47, 48, 49});
    EXPECT_EQ(GeneratePassword(a, clock, "secret"), GeneratePassword(b, clock, "secret"));
}

TEST(PasswordGenerator, PasswordAndTimeChangeTheResult) {
    const std::array<std::uint8_t, 8> random{9, 9, 9, 9, 9, 9, 9, 9};
    const std::string base = generatePasswordFrom(random, "secret", "01/06/2024 10:11:12");
    EXPECT_NE(base, generatePasswordFrom(random, "Secret", "01/06/2024 10:11:12"));
    EXPECT_NE(base, generatePasswordFrom(random, "secret", "01/06/2024 10:11:13"));
}

TEST(PasswordGenerator, SystemSourceGivesFreshPasswords) {
    SystemRandom random;
    const FixedClock clock({2024, 6, 1, 10, 11, 12});
    EXPECT_NE(GeneratePassword(random, clock, "secret"), GeneratePassword(random, clock, "secret"));
}

TEST(PasswordGenerator, CutTakesThePrefixOrEverything) {
    EXPECT_EQ(cutPassword("abcdefgh", 6), "abcdef");
    EXPECT_EQ(cutPassword("abcdefgh", 8), "abcdefgh");
    EXPECT_EQ(cutPassword("abcdefgh", 20), "abcdefgh");
    EXPECT_EQ(cutPassword("abcdefgh", 0), "");
    EXPECT_EQ(cutPassword("", 8), "");
}

}  // namespace
}  // namespace vorkel
