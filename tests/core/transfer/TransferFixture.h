#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "support/TempDir.h"

namespace vorkel::test {

/// Runs a test in a fixed time zone two hours east of UTC with no summer time, so conversions
/// between UTC and local time show, whatever the machine's zone.
class FixedZone : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* tz = std::getenv("TZ")) m_saved = tz;
        ::setenv("TZ", "XST-2", 1);
        ::tzset();
    }
    void TearDown() override {
        if (m_saved)
            ::setenv("TZ", m_saved->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

    /// A file of tests/data/import.
    static std::string sample(const std::string& name) {
        return readFile(std::string(VORKEL_TEST_DATA) + "/import/" + name);
    }

private:
    std::optional<std::string> m_saved;
};

}  // namespace vorkel::test
