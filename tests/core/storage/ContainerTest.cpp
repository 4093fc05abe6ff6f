#include "core/storage/Container.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "core/Error.h"
#include "core/storage/AtomicFile.h"
#include "core/storage/PassString.h"
#include "core/storage/RandomSource.h"
#include "support/TempDir.h"

namespace vorkel {
namespace {

using test::TempDir;

std::string str(const SecureBytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}
SecureBytes bytes(const std::string& text) {
    return SecureBytes(text.begin(), text.end());
}

// The plain text the reference files were made from: byte i is (i * 7 + 3) mod 256.
SecureBytes plainText(std::size_t size) {
    SecureBytes out(size);
    for (std::size_t i = 0; i < size; ++i) out[i] = static_cast<std::uint8_t>((i * 7 + 3) % 256);
    return out;
}

// A reference container made by the openssl tool (see make-container-vectors.sh).
std::string referenceContainer(const std::string& name) {
    std::ifstream in(std::string(VORKEL_TEST_DATA) + "/container/" + name + ".hex");
    EXPECT_TRUE(in) << name;
    std::string line;
    std::string hex;
    while (std::getline(in, line))
        if (!line.empty() && line[0] != '#') hex += line;
    return test::fromHex(hex);
}

SecureBytes saltOf(const std::string& container) {
    return SecureBytes(container.begin(), container.begin() + container::kSaltSize);
}

struct Reference {
    const char* name;
    const char* user;
    const char* password;
    std::size_t size;
};

const Reference kReferences[] = {
    {"empty", "alice", "secret", 0},         {"size1", "alice", "secret", 1},
    {"size15", "alice", "secret", 15},       {"size16", "alice", "secret", 16},
    {"size17", "alice", "secret", 17},       {"size8191", "alice", "secret", 8191},
    {"size8192", "alice", "secret", 8192},   {"size8193", "alice", "secret", 8193},
    {"size40009", "alice", "secret", 40009}, {"windows1252", "Jos\u00e9", "pw", 33},
    {"utf8", "\u0416enya", "pw", 33},
};

TEST(Container, WritesTheReferenceFilesByteForByte) {
    TempDir dir;
    for (const Reference& ref : kReferences) {
        SCOPED_TRACE(ref.name);
        const std::string expected = referenceContainer(ref.name);
        ASSERT_EQ(expected.size(), ref.size + container::kSaltSize);
        const SecureBytes salt = saltOf(expected);
        FixedRandom random(std::vector<std::uint8_t>(salt.begin(), salt.end()));
        const std::string path = dir.file(ref.name);
        container::EncryptToFile(plainText(ref.size), path, passStringBytes(ref.user, ref.password),
                                 random);
        EXPECT_EQ(random.drawn(), container::kSaltSize);
        EXPECT_EQ(test::toHex(test::readFile(path)), test::toHex(expected));
    }
}

TEST(Container, ReadsTheReferenceFiles) {
    TempDir dir;
    for (const Reference& ref : kReferences) {
        SCOPED_TRACE(ref.name);
        const std::string path = dir.file(ref.name);
        test::writeFile(path, referenceContainer(ref.name));
        const SecureBytes plain =
            container::DecryptFromFile(path, passStringBytes(ref.user, ref.password));
        EXPECT_EQ(test::toHex(str(plain)), test::toHex(str(plainText(ref.size))));
    }
}

TEST(Container, CipherTextIsAsLongAsThePlainText) {
    const container::Salt salt{1, 2, 3, 4, 5, 6, 7, 8};
    const SecureBytes pass = bytes("alicesecret");
    for (std::size_t size : {0, 1, 15, 16, 17, 31, 32, 33, 16384, 16385, 49152 + 15}) {
        SCOPED_TRACE(size);
        SecureBytes data = plainText(size);
        container::encipher(salt, pass, data.data(), data.size());
        ASSERT_EQ(data.size(), size);
        if (size >= 16) {
            EXPECT_NE(str(data), str(plainText(size)));
        }
        container::decipher(salt, pass, data.data(), data.size());
        EXPECT_EQ(str(data), str(plainText(size)));
    }
}

// A text shorter than a block is the text xor AES(K, IV); a tail after whole blocks is the text
// xor AES(K, last cipher block). Either way each tail byte depends only on its own plain byte,
// so shorter tails are prefixes of longer ones; CBC padding or ciphertext stealing would not be.
TEST(Container, TailBlockIsOutputFeedback) {
    const container::Salt salt{9, 8, 7, 6, 5, 4, 3, 2};
    const SecureBytes pass = bytes("bobhunter2");
    for (std::size_t whole : {0, 16, 48}) {
        SecureBytes longest = plainText(whole + 15);
        container::encipher(salt, pass, longest.data(), longest.size());
        for (std::size_t r = 1; r < 15; ++r) {
            SCOPED_TRACE(testing::Message() << whole << " + " << r);
            SecureBytes shorter = plainText(whole + r);
            container::encipher(salt, pass, shorter.data(), shorter.size());
            EXPECT_EQ(str(shorter), str(longest).substr(0, whole + r));
        }
    }
    // The key stream is visible when the tail is all zeros.
    SecureBytes zeros(15, 0);
    SecureBytes ones(15, 0xFF);
    container::encipher(salt, pass, zeros.data(), zeros.size());
    container::encipher(salt, pass, ones.data(), ones.size());
    for (std::size_t i = 0; i < 15; ++i) EXPECT_EQ(zeros[i] ^ 0xFF, ones[i]);
}

// CBC: every prefix of whole blocks enciphers to the same prefix, however long the text.
TEST(Container, LongTextChainsLikeItsPrefixes) {
    const container::Salt salt{0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0};
    const SecureBytes pass = bytes("carolpieces");
    SecureBytes whole(1024 * 1024 + 7);
    SystemRandom().fill(whole.data(), whole.size());
    const SecureBytes plain = whole;
    container::encipher(salt, pass, whole.data(), whole.size());
    for (std::size_t prefix : {16384 - 16, 16384, 16384 + 16, 3 * 16384, 1024 * 1024}) {
        SCOPED_TRACE(prefix);
        SecureBytes part(plain.begin(), plain.begin() + static_cast<std::ptrdiff_t>(prefix));
        container::encipher(salt, pass, part.data(), part.size());
        EXPECT_TRUE(std::equal(part.begin(), part.end(), whole.begin()));
        container::decipher(salt, pass, part.data(), part.size());
        EXPECT_TRUE(std::equal(part.begin(), part.end(), plain.begin()));
    }
    container::decipher(salt, pass, whole.data(), whole.size());
    EXPECT_TRUE(whole == plain);
}

class ContainerTamper : public testing::Test {
protected:
    // Writes plainText(size) under a fixed salt, lets `change` alter the file, reads it back.
    std::string readTampered(std::size_t size, std::size_t offset, std::uint8_t mask) {
        FixedRandom random({0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE});
        const std::string path = m_dir.file("store.xdb");
        container::EncryptToFile(plainText(size), path, m_pass, random);
        std::string file = test::readFile(path);
        file.at(offset) = static_cast<char>(file.at(offset) ^ mask);
        test::writeFile(path, file);
        return str(container::DecryptFromFile(path, m_pass));
    }
    static std::string block(const std::string& text, std::size_t i) {
        return text.substr(16 * i, 16);
    }

    TempDir m_dir;
    SecureBytes m_pass = bytes("davetamper");
};

TEST_F(ContainerTamper, SaltChangeGarblesEverything) {
    const std::string plain = str(plainText(40));
    for (std::size_t at = 0; at < container::kSaltSize; ++at) {
        SCOPED_TRACE(at);
        const std::string read = readTampered(40, at, 0x01);
        ASSERT_EQ(read.size(), plain.size());
        EXPECT_NE(block(read, 0), block(plain, 0));
        EXPECT_NE(block(read, 1), block(plain, 1));
        EXPECT_NE(read.substr(32), plain.substr(32));
    }
}

TEST_F(ContainerTamper, BlockChangeGarblesItAndOneByteOfTheNext) {
    const std::string plain = str(plainText(64));
    const std::string read = readTampered(64, 8 + 16 + 5, 0x20);
    EXPECT_EQ(block(read, 0), block(plain, 0));
    EXPECT_NE(block(read, 1), block(plain, 1));
    std::string expectedNext = block(plain, 2);
    expectedNext[5] = static_cast<char>(expectedNext[5] ^ 0x20);
    EXPECT_EQ(block(read, 2), expectedNext);
    EXPECT_EQ(block(read, 3), block(plain, 3));
}

TEST_F(ContainerTamper, LastWholeBlockChangeGarblesTheWholeTail) {
    const std::size_t size = 48 + 9;
    const std::string plain = str(plainText(size));
    const std::string read = readTampered(size, 8 + 32 + 3, 0x04);
    EXPECT_EQ(block(read, 0), block(plain, 0));
    EXPECT_EQ(block(read, 1), block(plain, 1));
    EXPECT_NE(block(read, 2), block(plain, 2));
    // A fresh key stream, not a one-byte change: every tail byte differs.
    for (std::size_t i = 48; i < size; ++i) EXPECT_NE(read[i], plain[i]) << i;
}

TEST_F(ContainerTamper, TailChangeChangesOnlyThatByte) {
    const std::size_t size = 48 + 9;
    std::string expected = str(plainText(size));
    expected[48 + 4] = static_cast<char>(expected[48 + 4] ^ 0x81);
    EXPECT_EQ(test::toHex(readTampered(size, 8 + 48 + 4, 0x81)), test::toHex(expected));
}

TEST(Container, TwoWritesDifferAndReadAlike) {
    TempDir dir;
    SystemRandom random;
    const SecureBytes pass = passStringBytes("alice", "secret");
    const SecureBytes document = bytes("<?xml version=\"1.0\"?><Entries/>");
    container::EncryptToFile(document, dir.file("one"), pass, random);
    container::EncryptToFile(document, dir.file("two"), pass, random);
    const std::string one = test::readFile(dir.file("one"));
    const std::string two = test::readFile(dir.file("two"));
    EXPECT_EQ(one.size(), document.size() + 8);
    EXPECT_NE(one.substr(0, 8), two.substr(0, 8));
    EXPECT_NE(one.substr(8), two.substr(8));
    EXPECT_EQ(str(container::DecryptFromFile(dir.file("one"), pass)), str(document));
    EXPECT_EQ(str(container::DecryptFromFile(dir.file("two"), pass)), str(document));
}

TEST(Container, KeyDependsOnTheJoinedPassStringOnly) {
    TempDir dir;
    FixedRandom random({7, 7, 7, 7, 1, 1, 1, 1});
    const std::string document = "<?xml version=\"1.0\"?><Settings user=\"alice\"/>";
    container::EncryptToFile(bytes(document), dir.file("f"), passStringBytes("alice", "secret"),
                             random);
    const auto readWith = [&](const char* user, const char* password) {
        return str(container::DecryptFromFile(dir.file("f"), passStringBytes(user, password)));
    };
    EXPECT_EQ(readWith("alic", "esecret"), document);
    EXPECT_EQ(readWith("alicesec", "ret"), document);
    EXPECT_EQ(readWith("", "alicesecret"), document);
    for (auto [user, password] : {std::pair{"Alice", "secret"}, std::pair{"alice", "Secret"},
                                  std::pair{"alice", "secreu"}, std::pair{"alice", "secret "}}) {
        SCOPED_TRACE(std::string(user) + "/" + password);
        const std::string read = readWith(user, password);
        EXPECT_EQ(read.size(), document.size());
        EXPECT_NE(read, document);
    }
}

TEST(Container, EmptyDocumentIsJustTheSalt) {
    TempDir dir;
    FixedRandom random({1, 2, 3, 4, 5, 6, 7, 8});
    container::EncryptToFile({}, dir.file("empty"), bytes("x"), random);
    EXPECT_EQ(test::readFile(dir.file("empty")), std::string("\1\2\3\4\5\6\7\10"));
    EXPECT_TRUE(container::DecryptFromFile(dir.file("empty"), bytes("x")).empty());
}

TEST(Container, FileShorterThanTheSaltReadsEmpty) {
    TempDir dir;
    for (std::size_t size = 0; size < container::kSaltSize; ++size) {
        SCOPED_TRACE(size);
        test::writeFile(dir.file("short"), std::string(size, 'x'));
        EXPECT_TRUE(container::DecryptFromFile(dir.file("short"), bytes("x")).empty());
    }
}

TEST(Container, MissingFileCannotBeOpened) {
    TempDir dir;
    const std::string path = dir.file("Vorkel4.xdb");
    try {
        container::DecryptFromFile(path, bytes("x"));
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot open file \"" + path + "\". " + std::strerror(ENOENT));
    }
}

std::string readError(const std::string& path) {
    try {
        container::DecryptFromFile(path, bytes("x"));
    } catch (const Error& e) {
        return e.what();
    }
    return "no error";
}

// A folder, a FIFO (which would wait for a writer for ever) or a device is turned away before
// anything is read from it.
TEST(Container, OnlyARegularFileIsRead) {
    TempDir dir;
    const std::string notRegular = "\". It is not a regular file.";
    EXPECT_EQ(readError(dir.path()), "Cannot read file \"" + dir.path() + notRegular);
    const std::string fifo = dir.file("Vorkel4.xdb");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(readError(fifo), "Cannot read file \"" + fifo + notRegular);
    EXPECT_EQ(readError("/dev/zero"), "Cannot read file \"/dev/zero" + notRegular);
}

// A sparse file costs no disk, yet reading it would ask for all its bytes at once.
TEST(Container, AnImpossibleSizeIsRefusedBeforeAllocating) {
    TempDir dir;
    const std::string path = dir.file("Vorkel4.xdb");
    test::writeFile(path, "saltsalt");
    for (const std::uint64_t size : {container::kLargestFile + 1, std::uint64_t(64) << 30}) {
        ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(size)), 0);
        EXPECT_EQ(readError(path), "Cannot read file \"" + path + "\". Its size, " +
                                       std::to_string(size) + " bytes, is beyond the " +
                                       std::to_string(container::kLargestFile) +
                                       " bytes a store may have.");
    }
}

TEST(Container, UncreatableFileKeepsNothingAndSaysWhy) {
    TempDir dir;
    FixedRandom random({1});
    const std::string path = dir.file("missing/Vorkel4.xdb");
    try {
        container::EncryptToFile(bytes("<a/>"), path, bytes("x"), random);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot create file \"" + path + "\". " + std::strerror(ENOENT));
    }
    EXPECT_FALSE(fileExists(dir.file("missing")));
}

}  // namespace
}  // namespace vorkel
