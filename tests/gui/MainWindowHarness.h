#pragma once

// The main window as the program builds it, over a program folder of the test's own, driven the
// way a user drives it: real widgets found by their names, prompts answered from a script.

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/entries/Clock.h"
#include "core/entries/Field.h"
#include "core/session/Session.h"
#include "core/storage/RandomSource.h"
#include "gui/app/MainWindow.h"
#include "gui/logon/LogonDialog.h"
#include "gui/ui/LinkOpener.h"
#include "support/DialogWatch.h"
#include "support/ScriptedMessageService.h"
#include "support/TempDir.h"

namespace vorkel::test {

// The harness drives the desktop program's own classes.
using namespace vorkel::gui;

/// Records what would have been opened instead of opening it.
class RecordingLinks : public LinkOpener {
public:
    QStringList links;
    QStringList files;
    void OpenLink(const QString& text) override { links << text; }
    void OpenFile(const QString& path) override { files << path; }
};

/// Types `text` into the line edit named `field` of `dialog`.
inline void typeInto(QWidget& dialog, const char* field, const QString& text) {
    auto* edit = dialog.findChild<QLineEdit*>(field);
    QVERIFY2(edit, field);
    edit->clear();
    QTest::keyClicks(edit, text);
}

/// Clicks the button named `name` of `dialog`.
inline void clickButton(QWidget& dialog, const char* name) {
    auto* button = dialog.findChild<QPushButton*>(name);
    QVERIFY2(button, name);
    button->click();
}

/// The local time every harness starts at: 25 December 2010, 10:00:00.
inline LocalDateTime christmas() {
    return {2010, 12, 25, 10, 0, 0};
}

/// A program folder (the caller's) with the program, its session and its main window started.
class MainWindowHarness {
public:
    explicit MainWindowHarness(const std::string& folder)
        : clock(christmas()),
          session(folder + "vorkel", random, clock),
          window(std::make_unique<MainWindow>(session, ui, links)),
          ended(window.get(), &MainWindow::programEnd) {
        window->start();
    }

    SystemRandom random;
    FixedClock clock;
    Session session;
    ScriptedMessageService ui;
    RecordingLinks links;
    std::unique_ptr<MainWindow> window;
    QSignalSpy ended;

    LogonDialog& logon() { return window->logonDialog(); }
    template <typename T>
    T* child(const char* name) {
        return window->findChild<T*>(name);
    }
    /// A field of the entry editor (editTitle, editURL, editUsername ...).
    QLineEdit* field(const char* name) { return child<QLineEdit>(name); }
    QPlainTextEdit* notes() { return child<QPlainTextEdit>("richDetail"); }
    QTreeView* list() { return child<QTreeView>("lvTitlesView"); }
    QLineEdit* search() { return child<QLineEdit>("editSearch"); }
    QComboBox* orderBox() { return child<QComboBox>("cmbTitleOrder"); }

    /// Types the pair into the logon dialog and presses its Logon button.
    void logOn(const QString& user, const QString& password) {
        typeInto(logon(), "editUsername", user);
        typeInto(logon(), "editPassword", password);
        clickButton(logon(), "btnLogon");
    }
    /// A first run: the pair, then `confirmation` in the confirm dialog.
    void firstRun(const QString& user, const QString& password,
                  std::optional<QString> confirmation = std::nullopt) {
        const QString confirm = confirmation.value_or(password);
        auto confirmed = DialogWatch::dialog("TfmPasswordConfirm", [confirm](QDialog& d) {
            typeInto(d, "editPassword", confirm);
            clickButton(d, "btnOK");
        });
        logOn(user, password);
    }

    /// The titles the visible list shows, top to bottom.
    QStringList titles() {
        QStringList all;
        QAbstractItemModel* model = list()->model();
        for (int r = 0; r < model->rowCount(); ++r) all << model->index(r, 0).data().toString();
        return all;
    }
    int rowCount() { return list()->model()->rowCount(); }
    /// The selected row of the visible list, if any.
    std::optional<int> selectedRow() {
        const QModelIndexList rows = list()->selectionModel()->selectedRows();
        if (rows.isEmpty()) return std::nullopt;
        return rows.first().row();
    }
    /// Clicks a row of the visible list with the mouse.
    void clickRow(int row) {
        QTreeView* view = list();
        const QModelIndex index = view->model()->index(row, 0);
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
    }
    /// The current value of the entry whose title is `title` (null when there is none).
    EntryPtr entryTitled(std::string_view title) {
        for (const EntryPtr& e : session.workspace().master().entries())
            if (e->title() == title) return e;
        return nullptr;
    }
    std::string dataStore() { return readFile(session.dataStorePath()); }
    std::string settingsFile() { return readFile(session.settingsPath()); }
};

/// The titles of a store on disk, opened with a session of its own under the pair.
inline std::vector<std::string> storedTitles(const std::string& folder, const std::string& user,
                                             const std::string& password) {
    SystemRandom random;
    FixedClock clock(christmas());
    Session s(folder + "vorkel", random, clock);
    s.SetLogon(user, password);
    s.LoadForTool();
    std::vector<std::string> titles;
    for (const EntryPtr& e : s.workspace().master().entries()) titles.emplace_back(e->title());
    return titles;
}

/// Whether a file or folder lies at `path`.
inline bool exists(const std::string& path) {
    return std::filesystem::exists(path);
}

/// A folder holding the files of a first run of `user` with `password`, closed normally.
inline void makeAccount(const std::string& folder, const std::string& user,
                        const std::string& password) {
    SystemRandom random;
    FixedClock clock(christmas());
    Session s(folder + "vorkel", random, clock);
    s.SetLogon(user, password);
    s.InitAccount();
}

/// A window logged on as bob over the saved samples, with the first entry shown.
struct LoggedOnWindow {
    TempDir dir;
    std::unique_ptr<MainWindowHarness> h;
    LoggedOnWindow() {
        makeAccount(dir.path(), "bob", "pw");
        h = std::make_unique<MainWindowHarness>(dir.path());
        h->logOn("bob", "pw");
    }
    MainWindowHarness* operator->() { return h.get(); }
    MainWindowHarness& operator*() { return *h; }
    /// Triggers the menu item named `name`.
    void menu(const char* name) { h->child<QAction>(name)->trigger(); }
    /// Clicks the toolbar button named `name`.
    void button(const char* name) {
        QTest::mouseClick(h->child<QToolButton>(name), Qt::LeftButton);
    }
};

}  // namespace vorkel::test
