#include "core/storage/RandomSource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/Error.h"

namespace vorkel {
namespace {

std::vector<std::uint8_t> draw(RandomSource& random, std::size_t n) {
    std::vector<std::uint8_t> out(n);
    random.fill(out.data(), out.size());
    return out;
}

TEST(RandomSource, FixedSourceCyclesAndCounts) {
    FixedRandom random({1, 2, 3});
    EXPECT_EQ(draw(random, 7), (std::vector<std::uint8_t>{1, 2, 3, 1, 2, 3, 1}));
    EXPECT_EQ(draw(random, 2), (std::vector<std::uint8_t>{2, 3}));
    EXPECT_EQ(draw(random, 0), std::vector<std::uint8_t>{});
    EXPECT_EQ(random.drawn(), 9u);
}

TEST(RandomSource, FixedSourceNeedsBytes) {
    EXPECT_THROW(FixedRandom empty(std::vector<std::uint8_t>{}), Error);
}

TEST(RandomSource, SystemSourceDoesNotRepeat) {
    SystemRandom a;
    SystemRandom b;
    const auto first = draw(a, 8);
    EXPECT_NE(first, draw(b, 8));
    EXPECT_NE(first, draw(a, 8));
}

// getrandom hands back at most 32 MiB per call, so this needs the loop over short reads.
TEST(RandomSource, SystemSourceFillsBeyondOneCall) {
    SystemRandom random;
    std::vector<std::uint8_t> out(40 * 1024 * 1024, 0);
    random.fill(out.data(), out.size());
    const auto tail = out.end() - 4096;
    EXPECT_GT(std::count_if(tail, out.end(), [](std::uint8_t b) { return b != 0; }), 3500);
}

}  // namespace
}  // namespace vorkel
