#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/entries/Clock.h"
#include "core/session/Session.h"
#include "core/storage/RandomSource.h"
#include "support/TempDir.h"

namespace vorkel::test {

/// What every test of sessions over real files starts from: a temporary folder for the two
/// files, the system's random source and a fixed clock.
class SessionFixture : public ::testing::Test {
protected:
    /// Sessions run as the program file `programName` in `dir`: the desktop program's by
    /// default, "vorkel-cli" for the tool.
    explicit SessionFixture(std::string programName = "vorkel")
        : m_programName(std::move(programName)) {}

    TempDir dir;
    // A fresh salt for every write, so any rewrite of a file changes its bytes.
    SystemRandom random;
    FixedClock clock{{2010, 12, 25, 14, 3, 59}};

    /// The program file the sessions run as; its folder is `dir`.
    std::string programFile() const { return dir.file(m_programName); }
    /// A new session on the folder with the logon pair set and not yet checked.
    std::unique_ptr<Session> sessionFor(std::string_view user, std::string_view password);
    /// An account made as the tool's init makes it: both files, the four sample entries.
    void makeAccount(std::string_view user, std::string_view password);
    /// The titles of the folder's data store in document order, read as `user` would read
    /// them; {"<logon refused>"} when the pair does not open the settings file.
    std::vector<std::string> storedTitles(std::string_view user, std::string_view password);
    /// The titles of a session's visible rows, in order.
    static std::vector<std::string> titles(const Session& session);
    /// The titles of a session's entry list, in list order.
    static std::vector<std::string> listTitles(const Session& session);

private:
    std::string m_programName;
};

}  // namespace vorkel::test
