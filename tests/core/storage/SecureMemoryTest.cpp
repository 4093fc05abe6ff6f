#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <istream>
#include <new>
#include <sstream>
#include <string>
#include <string_view>

#include "core/storage/SecureBytes.h"

namespace vorkel {
namespace {

bool holds(const void* at, std::size_t size, std::string_view secret) {
    return std::string_view(static_cast<const char*>(at), size).find(secret) !=
           std::string_view::npos;
}

// The object's own bytes: a string that kept short text inside itself would show it here.
struct Slot {
    alignas(SecureString) unsigned char bytes[sizeof(SecureString)];
    SecureString& make() { return *new (bytes) SecureString(); }
    bool holds(std::string_view secret) const { return vorkel::holds(bytes, sizeof bytes, secret); }
};

// The kernel's flags for the mapping holding `address`: "dd" is left out of core dumps, "lo"
// locked in memory.
std::string mappingFlags(const void* address) {
    std::ifstream smaps("/proc/self/smaps");
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    std::string line;
    bool inside = false;
    while (std::getline(smaps, line)) {
        std::uintptr_t from = 0;
        std::uintptr_t to = 0;
        if (std::sscanf(line.c_str(), "%lx-%lx ", &from, &to) == 2 &&
            line.find(':') != std::string::npos && line.find('-') < line.find(' ')) {
            inside = from <= at && at < to;
            continue;
        }
        if (inside && line.rfind("VmFlags:", 0) == 0) return line;
    }
    return {};
}

TEST(SecureMemory, ShortTextNeverLivesInTheObject) {
    const std::string_view secret = "Hunter2pw";  // well inside a plain string's 15 bytes
    Slot slot;
    SecureString& s = slot.make();
    s = secret;
    EXPECT_EQ(std::string_view(s), secret);
    EXPECT_FALSE(slot.holds(secret));
    s.push_back('!');
    s.pop_back();
    s.assign(secret.begin(), secret.end());
    std::istringstream in(std::string(secret) + "\nnext");
    std::getline(in, s);
    EXPECT_EQ(std::string_view(s), secret);
    EXPECT_FALSE(slot.holds(secret));

    // Copies, moves and a moved-from string that is used again: none ever holds it inline.
    Slot copy;
    SecureString& c = copy.make();
    c = s;
    Slot moved;
    new (moved.bytes) SecureString(std::move(c));
    c = "abc";
    c.append(secret);
    EXPECT_FALSE(copy.holds(secret));
    EXPECT_FALSE(moved.holds(secret));
    EXPECT_EQ(std::string_view(*reinterpret_cast<SecureString*>(moved.bytes)), secret);

    const SecureString fromView(secret);
    const SecureString fromRange(secret.begin(), secret.end());
    const SecureString repeated(3, 'x');
    EXPECT_EQ(fromView, fromRange);
    EXPECT_EQ(std::string_view(repeated), "xxx");

    s.~SecureString();
    c.~SecureString();
    reinterpret_cast<SecureString*>(moved.bytes)->~SecureString();
    EXPECT_FALSE(slot.holds(secret));
    EXPECT_FALSE(copy.holds(secret));
    EXPECT_FALSE(moved.holds(secret));
}

// Freed small blocks stay in the secret pool, so looking at one after it was given back is safe
// here; what it shows is that the whole block, not only the text's length, was wiped.
TEST(SecureMemory, AFreedBlockIsWipedWhole) {
    for (const std::size_t size : {std::size_t(9), std::size_t(100), std::size_t(2000)}) {
        WipingAllocator<char> allocator;
        char* block = allocator.allocate(size);
        std::memset(block, 'S', size);
        allocator.deallocate(block, size);
        EXPECT_FALSE(holds(block + sizeof(void*), size - sizeof(void*), "S")) << size;
    }
    SecureString grown;
    for (int i = 0; i < 100; ++i) grown += "Hunter2pw";  // through several reallocations
    const char* data = grown.data();
    const std::size_t capacity = grown.capacity();
    grown = "x";
    EXPECT_EQ(grown.data(), data);  // reassignment keeps the buffer, and the wipe frees it
    EXPECT_EQ(grown.capacity(), capacity);
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

TEST(SecureMemory, SecretPagesAreLeftOutOfCoreDumpsAndLockedWithinTheLimit) {
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_MEMLOCK, &limit), 0);
    for (const std::size_t size : {std::size_t(16), std::size_t(5000), std::size_t(9) << 20}) {
        WipingAllocator<char> allocator;
        char* block = allocator.allocate(size);
        block[0] = 1;
        const std::string flags = mappingFlags(block);
        ASSERT_FALSE(flags.empty()) << size;
        EXPECT_NE(flags.find(" dd"), std::string::npos) << size << flags;
        // Locking stops at the limit: a block beyond it is not locked.
        if (size > limit.rlim_cur) {
            EXPECT_EQ(flags.find(" lo"), std::string::npos) << flags;
        }
        // AddressSanitizer makes mlock a no-op, so only a plain build can see the lock.
        if (size == 16 && limit.rlim_cur >= (std::size_t(64) << 10) && !kSanitized) {
            EXPECT_NE(flags.find(" lo"), std::string::npos) << flags;
        }
        allocator.deallocate(block, size);
    }
    EXPECT_LE(secureLockedBytes(), limit.rlim_cur);
}

}  // namespace
}  // namespace vorkel
