// vorkel-gui-bench: the desktop program's interactive budgets, measured in the real main window
// on the offscreen platform over a generated store (a million entries unless told otherwise):
//   - start-up: from pressing Logon to the main window shown and painted;
//   - a quick-search keystroke: filter, model reset, first row selected and shown, repaint;
//   - a key release in the editor: the entry stored, the idle timer restarted, repaint.
// Usage: vorkel-gui-bench [entries] [start-up rounds]
// VORKEL_BENCH_WARM_HEAP set (as for vorkel-bench) keeps freed memory in the heap, so rounds after
// the first do not pay the virtual machine's cost of faulting fresh pages in.
#include <malloc.h>
#include <stdlib.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "StoreGenerator.h"
#include "core/entries/Clock.h"
#include "core/session/Session.h"
#include "core/storage/RandomSource.h"
#include "gui/app/MainWindow.h"
#include "gui/logon/LogonDialog.h"
#include "gui/ui/LinkOpener.h"
#include "gui/ui/MessageService.h"

using namespace vorkel::gui;

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

/// Nothing in a measured run may ask the user anything: a prompt means the run went wrong.
class NoPrompts : public MessageService {
public:
    bool askYesNo(Kind, const std::string& text) override { fail(text); }
    void tell(Kind, const std::string& text) override { fail(text); }
    std::optional<std::string> chooseSaveFile(const std::string& text) override { fail(text); }
    std::optional<std::string> chooseOpenFile() override { fail("open dialog"); }
    bool askOkCancel(Kind, const std::string& text) override { fail(text); }
    std::optional<std::string> inputText(const std::string&, const std::string& text,
                                         const std::string&) override {
        fail(text);
    }
    void reportUnexpected(const std::string& text) override { fail(text); }

private:
    [[noreturn]] static void fail(const std::string& text) {
        std::fprintf(stderr, "vorkel-gui-bench: unexpected prompt: %s\n", text.c_str());
        std::exit(1);
    }
};

class NoLinks : public LinkOpener {
public:
    void OpenLink(const QString&) override {}
    void OpenFile(const QString&) override {}
};

/// A private program folder under /tmp, removed with its files at the end.
class Folder {
public:
    Folder() {
        std::string templ =
            (std::filesystem::temp_directory_path() / "vorkel-gui-bench-XXXXXX").string();
        if (!mkdtemp(templ.data())) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        m_path = templ + "/";
    }
    ~Folder() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

struct Stats {
    double median = 0, p95 = 0, max = 0;
};

Stats stats(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    auto at = [&](double q) {
        return ms[std::min(ms.size() - 1, std::size_t(q * double(ms.size())))];
    };
    return {at(0.5), at(0.95), ms.back()};
}

void report(const char* what, const Stats& s, double budget, std::size_t samples) {
    std::printf(
        "%-34s median %9.3f ms   p95 %9.3f ms   max %9.3f ms   (%zu samples, budget %g ms%s)\n",
        what, s.median, s.p95, s.max, samples, budget, s.median <= budget ? "" : ", OVER BUDGET");
}

/// The program's objects for one run, over the folder's files.
struct Program {
    explicit Program(const std::string& folder)
        : session(folder + "vorkel", random, clock), window(session, prompts, links) {}
    vorkel::SystemRandom random;
    vorkel::SystemClock clock;
    vorkel::Session session;
    NoPrompts prompts;
    NoLinks links;
    MainWindow window;
};

/// Types the bench pair into the logon dialog, then times the Logon button to the painted window.
double timedLogon(Program& p) {
    p.window.start();
    LogonDialog& logon = p.window.logonDialog();
    logon.findChild<QLineEdit*>("editUsername")
        ->setText(QString::fromUtf8(vorkel::bench::kUser.data()));
    logon.findChild<QLineEdit*>("editPassword")
        ->setText(QString::fromUtf8(vorkel::bench::kPassword.data()));
    QCoreApplication::processEvents();
    const auto start = Clock::now();
    logon.findChild<QPushButton*>("btnLogon")->click();
    QCoreApplication::processEvents();
    const double ms = msSince(start);
    if (!p.window.isVisible()) {
        std::fprintf(stderr, "vorkel-gui-bench: the main window did not come up\n");
        std::exit(1);
    }
    return ms;
}

}  // namespace

/// Where start-up time goes, measured on the session alone (no window), in the order the
/// workspace load runs them.
void reportPhases(const std::string& folder) {
    vorkel::SystemRandom random;
    vorkel::SystemClock clock;
    vorkel::Session s(folder + "vorkel", random, clock);
    s.SetLogon(vorkel::bench::kUser, vorkel::bench::kPassword);
    auto start = Clock::now();
    const bool verified = s.VerifyLogon();
    std::printf("  phase: VerifyLogon (settings file)      %9.1f ms%s\n", msSince(start),
                verified ? "" : "  FAILED");
    start = Clock::now();
    s.LoadWorkspace();
    std::printf("  phase: Session::LoadWorkspace           %9.1f ms (read, parse, A - Z)\n",
                msSince(start));
    start = Clock::now();
    s.workspace().ApplyOrder(vorkel::ListOrder::AtoZ);
    std::printf("  phase: A - Z again (the order box's run) %8.1f ms\n", msSince(start));
    start = Clock::now();
    s.workspace().QuickSearch("b");
    std::printf("  phase: first quick search after a sort  %9.1f ms\n", msSince(start));
    start = Clock::now();
    s.workspace().QuickSearch("ba");
    std::printf("  phase: next quick search                %9.1f ms\n", msSince(start));
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const QByteArray warm = qgetenv("VORKEL_BENCH_WARM_HEAP");
    if (!warm.isEmpty() && warm != "0") {
        mallopt(M_MMAP_MAX, 0);
        mallopt(M_TRIM_THRESHOLD, INT_MAX);
    }
    QApplication app(argc, argv);
    const std::size_t count = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1'000'000;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;

    Folder folder;
    {
        const auto start = Clock::now();
        vorkel::SystemRandom random;
        vorkel::SystemClock clock;
        vorkel::Session prep(folder.path() + "vorkel", random, clock);
        prep.SetLogon(vorkel::bench::kUser, vorkel::bench::kPassword);
        prep.InitAccount();
        prep.workspace().ReplaceEntries(vorkel::bench::StoreGenerator(42).entries(count));
        prep.SaveAll();
        std::printf("vorkel-gui-bench: %zu entries, store of %.1f MB, prepared in %.1f s\n", count,
                    double(std::filesystem::file_size(prep.dataStorePath())) / 1e6,
                    msSince(start) / 1e3);
    }

    reportPhases(folder.path());

    std::vector<double> startups;
    for (int r = 1; r < rounds; ++r) {
        Program p(folder.path());
        startups.push_back(timedLogon(p));
    }
    Program p(folder.path());
    startups.push_back(timedLogon(p));
    report("start-up, Logon to shown window", stats(startups), 1500, startups.size());

    // Quick search: the box as a user reaches it (a click clears the prompt), then typing and
    // deleting, so both narrow and wide results are met. The first keystrokes match most of
    // the million titles.
    auto* search = p.window.findChild<QLineEdit*>("editSearch");
    auto* view = p.window.findChild<QTreeView*>("lvTitlesView");
    QTest::mouseClick(search, Qt::LeftButton);
    std::vector<double> searches;
    const std::vector<int> keys = {
        Qt::Key_B,         Qt::Key_A,         Qt::Key_N,         Qt::Key_K,
        Qt::Key_Backspace, Qt::Key_Backspace, Qt::Key_Backspace, Qt::Key_Backspace,
        Qt::Key_M,         Qt::Key_A,         Qt::Key_I,         Qt::Key_L,
        Qt::Key_Space,     Qt::Key_Backspace, Qt::Key_Backspace, Qt::Key_Backspace,
        Qt::Key_Backspace, Qt::Key_Backspace, Qt::Key_Shift,     Qt::Key_E};
    double first = 0;
    for (int pass = 0; pass < 2; ++pass)
        for (int key : keys) {
            const auto start = Clock::now();
            QTest::keyClick(search, Qt::Key(key));
            QCoreApplication::processEvents();
            const double ms = msSince(start);
            if (pass == 0 && key == keys.front())
                first = ms;
            else
                searches.push_back(ms);
        }
    std::printf("%-34s %9.3f ms\n", "first quick-search keystroke", first);
    report("later quick-search keystrokes", stats(searches), 50, searches.size());
    std::printf("  (last search left %d rows, row 0 selected: %s)\n", view->model()->rowCount(),
                view->selectionModel()->isRowSelected(0, {}) ? "yes" : "no");

    // The editor: every key release stores the whole entry; only the release is timed.
    QTest::mouseClick(search, Qt::LeftButton);
    search->selectAll();
    QTest::keyClick(search, Qt::Key_Backspace);
    auto* title = p.window.findChild<QLineEdit*>("editTitle");
    title->setFocus();
    std::vector<double> releases;
    for (int i = 0; i < 2000; ++i) {
        const Qt::Key key = i % 2 ? Qt::Key_Backspace : Qt::Key_X;
        QTest::keyPress(title, key);
        const auto start = Clock::now();
        QTest::keyRelease(title, key);
        QCoreApplication::processEvents();
        releases.push_back(msSince(start));
    }
    report("key release in the editor", stats(releases), 1, releases.size());
    return 0;
}
