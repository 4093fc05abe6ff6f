#pragma once

#include <cstdint>
#include <vector>

#include "core/entries/Clock.h"
#include "core/session/Session.h"
#include "core/storage/RandomSource.h"
#include "support/TempDir.h"

namespace vorkel::test {

/// A session logged on as alice over a folder of its own, with a fixed clock and random source,
/// for the panes that are tested without a main window.
struct FolderSession {
    TempDir dir;
    FixedRandom random{std::vector<std::uint8_t>{7}};
    FixedClock clock{LocalDateTime{2010, 12, 25, 14, 3, 59}};
    Session session{dir.file("vorkel"), random, clock};

    FolderSession() { session.SetLogon("alice", "secret"); }
};

}  // namespace vorkel::test
