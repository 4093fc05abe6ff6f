#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "support/TempDir.h"

namespace vorkel::test {

/// While it lives, local time is a zone two hours east of UTC with no summer time, so
/// conversions between UTC and local time show, whatever the machine's zone.
class ScopedTimeZone {
public:
    ScopedTimeZone() {
        if (const char* tz = std::getenv("TZ")) m_saved = tz;
        ::setenv("TZ", "XST-2", 1);
        ::tzset();
    }
    ~ScopedTimeZone() {
        if (m_saved)
            ::setenv("TZ", m_saved->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::optional<std::string> m_saved;
};

/// A file of tests/data/import.
inline std::string importSample(const std::string& name) {
    return readFile(std::string(VORKEL_TEST_DATA) + "/import/" + name);
}

/// Tests of the transfer rules, in the fixed zone.
class FixedZone : public ::testing::Test {
protected:
    static std::string sample(const std::string& name) { return importSample(name); }

private:
    ScopedTimeZone m_zone;
};

}  // namespace vorkel::test
