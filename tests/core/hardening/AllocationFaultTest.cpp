// Secret memory running out in the middle of a logon's read or a save: each allocation from the
// wiping allocator fails in turn. Every failure must reach the caller as a failure (not end the
// program), leave the user's files and the loaded workspace as they were, and give back every
// secret block, since a block never given back is also never wiped.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <new>
#include <string>

#include "core/Error.h"
#include "core/hardening/FolderSnapshot.h"
#include "core/session/Session.h"
#include "core/storage/SecureBytes.h"
#include "support/SessionFixture.h"
#include "support/TempDir.h"

namespace vorkel {
namespace {

// Disarms the fault when a test ends early.
struct Disarm {
    ~Disarm() { failSecureAllocationAfter(-1); }
};

class AllocationFault : public test::SessionFixture {
protected:
    Disarm disarm;

    std::unique_ptr<Session> loggedOn() { return sessionFor("alice", "Secret1"); }
    // Both files on disk, with entries whose secrets go through the wiping allocator.
    void makeStore() {
        auto s = loggedOn();
        s->LoadWorkspace();
        for (int i = 0; i < 60; ++i) {
            const std::size_t row = s->AddEntry("entry " + std::to_string(i));
            EditorFields f = Workspace::editorFields(*s->workspace().entryOfRow(row));
            f.password = "pw-" + std::to_string(i) + "-kept-secret";
            f.notes = "notes " + std::string(std::size_t(i) * 40, 'n');
            s->StoreEntry(row, f);
        }
        s->SaveAll();
    }

    // Runs `operation` with the n-th secure allocation failing, n = 0, 1, ... until it runs
    // through without reaching the fault. After each failure `check` judges the state. Returns
    // how many allocations failed in turn.
    int failEachAllocation(const std::function<void()>& operation,
                           const std::function<void()>& check) {
        for (long n = 0;; ++n) {
            SCOPED_TRACE("allocation " + std::to_string(n) + " fails");
            failSecureAllocationAfter(n);
            bool failed = false;
            try {
                operation();
            } catch (const std::bad_alloc&) {
                failed = true;
            } catch (const Error&) {
                failed = true;  // reported in the program's own terms: as good
            }
            const long pending = failSecureAllocationAfter(-1);
            if (!failed) {
                // Ran through: either the fault came after the last allocation, or it was
                // swallowed and the operation claimed success over a failed allocation.
                EXPECT_GE(pending, 0) << "an allocation failed and the operation said nothing";
                return int(n);
            }
            EXPECT_EQ(pending, -1) << "failed without the injected fault";
            check();
            if (::testing::Test::HasFailure()) return int(n);
        }
    }
};

TEST_F(AllocationFault, AFailedReadKeepsTheWorkspaceAndGivesEverySecretBack) {
    makeStore();
    auto s = loggedOn();
    s->LoadWorkspace();
    const auto shown = listTitles(*s);
    const auto files = test::snapshot(dir.path());
    const std::size_t blocks = secureBlocksInUse();

    const int faults = failEachAllocation([&] { s->LoadWorkspace(); },
                                          [&] {
                                              EXPECT_EQ(listTitles(*s), shown);
                                              EXPECT_EQ(secureBlocksInUse(), blocks);
                                              EXPECT_EQ(test::snapshot(dir.path()), files);
                                          });
    EXPECT_GT(faults, 3) << "the read made too few secret allocations to test";
    RecordProperty("failedAllocations", faults);
    EXPECT_EQ(listTitles(*s), shown);

    // A session that fails its very first read gives back everything too.
    const std::size_t none = secureBlocksInUse();
    failEachAllocation(
        [&] {
            auto fresh = loggedOn();
            fresh->LoadForTool();
        },
        [&] { EXPECT_EQ(secureBlocksInUse(), none); });
    EXPECT_EQ(secureBlocksInUse(), none);
}

TEST_F(AllocationFault, AFailedSaveLeavesBothFilesAndGivesEverySecretBack) {
    makeStore();
    auto s = loggedOn();
    s->LoadWorkspace();
    for (int i = 0; i < 20; ++i) s->AddEntry("unsaved " + std::to_string(i));
    const auto files = test::snapshot(dir.path());
    const std::size_t blocks = secureBlocksInUse();

    const int faults = failEachAllocation([&] { s->SaveAll(); },
                                          [&] {
                                              EXPECT_EQ(test::snapshot(dir.path()), files);
                                              EXPECT_EQ(secureBlocksInUse(), blocks);
                                          });
    EXPECT_GT(faults, 3) << "the save made too few secret allocations to test";
    RecordProperty("failedAllocations", faults);

    // The save that got through wrote what the user had.
    auto again = loggedOn();
    again->LoadForTool();
    EXPECT_EQ(again->workspace().master().size(), s->workspace().master().size());
}

}  // namespace
}  // namespace vorkel
