#include "core/storage/XmlNameSet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vorkel {
namespace {

// Names laid out one after another in one buffer, as the reader and writer see them.
struct Names {
    std::string buffer;
    std::vector<std::pair<std::size_t, std::size_t>> spans;
    void add(const std::string& name) {
        spans.emplace_back(buffer.size(), name.size());
        buffer += name;
    }
};

TEST(XmlNameSet, FindsDuplicatesBelowAndAboveTheLinearLimit) {
    for (std::size_t count : {1u, 2u, 16u, 17u, 18u, 100u, 5000u}) {
        Names names;
        for (std::size_t i = 0; i < count; ++i) names.add("n" + std::to_string(i));
        for (std::size_t i = 0; i < count; ++i) names.add("n" + std::to_string(i));
        XmlNameSet set;
        for (std::size_t i = 0; i < count; ++i)
            EXPECT_TRUE(
                set.insert(names.buffer.data(), names.spans[i].first, names.spans[i].second));
        for (std::size_t i = count; i < 2 * count; ++i)
            EXPECT_FALSE(
                set.insert(names.buffer.data(), names.spans[i].first, names.spans[i].second))
                << count << " " << i;
    }
}

TEST(XmlNameSet, ClearForgetsTheNames) {
    Names names;
    for (int i = 0; i < 40; ++i) names.add("x" + std::to_string(i));
    XmlNameSet set;
    for (int round = 0; round < 3; ++round) {
        for (const auto& [offset, length] : names.spans)
            EXPECT_TRUE(set.insert(names.buffer.data(), offset, length)) << round;
        set.clear();
    }
}

TEST(XmlNameSet, PrefixesAndEqualHashesAreDistinct) {
    Names names;
    for (const char* n : {"a", "ab", "abc", "b", "ba", ""}) names.add(n);
    XmlNameSet set;
    for (const auto& [offset, length] : names.spans)
        EXPECT_TRUE(set.insert(names.buffer.data(), offset, length));
    EXPECT_FALSE(set.insert(names.buffer.data(), 1, 2));  // "ab" again
}

}  // namespace
}  // namespace vorkel
