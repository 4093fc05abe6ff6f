// The password types editor, opened from the "Tools" menu and from the editor's "Edit..."
// button: its own copy of the list, handed back on OK only, and saved at close.

#include <QAction>
#include <QListWidget>

#include "MainWindowHarness.h"
#include "core/entries/SampleContent.h"
#include "gui/entries/EditorPane.h"
#include "support/DialogWatch.h"

using namespace vorkel;
using namespace vorkel::gui;
using namespace vorkel::test;
using Prompt = ScriptedMessageService::Prompt;

namespace {

using Types = std::vector<std::string>;

struct LoggedOn : LoggedOnWindow {
    Types editorTypes() { return h->window->editorPane().passTypes(); }
};

/// The texts of the editor's list box, in order.
Types listed(QWidget* dialog) {
    auto* list = dialog->findChild<QListWidget*>("lstTypes");
    Types all;
    for (int i = 0; i < list->count(); ++i) all.push_back(list->item(i)->text().toStdString());
    return all;
}

void select(QWidget* dialog, int row) {
    dialog->findChild<QListWidget*>("lstTypes")->setCurrentRow(row);
}

void click(QWidget* dialog, const char* name) {
    dialog->findChild<QPushButton*>(name)->click();
}

}  // namespace

class TypeEditDialogTest : public QObject {
    Q_OBJECT
private slots:
    void cancelAfterSeveralChangesLeavesTheListAlone();
    void okHandsBackDuplicatesAndEmptyNamesAndTheyAreSaved();
};

void TypeEditDialogTest::cancelAfterSeveralChangesLeavesTheListAlone() {
    LoggedOn w;
    const Types before = defaultPasswordTypes();
    QCOMPARE(w->session.settings().passTypes, before);
    QCOMPARE(w.editorTypes(), before);

    Types inside;
    auto watch = DialogWatch::named("TfmTypeEdit", [&](QWidget* d) {
        inside = listed(d);
        w->ui.inputs = {"Added", "Renamed"};
        w->ui.okCancel = {true};
        click(d, "btnAdd");
        select(d, 0);
        click(d, "btnDelete");
        select(d, 1);
        click(d, "btnEdit");
        QCOMPARE(listed(d).size(), before.size());
        QCOMPARE(listed(d)[1], std::string("Renamed"));
        click(d, "btnCancel");
    });
    w->child<QAction>("PasswordTypes1")->trigger();
    QVERIFY(watch.ran());
    QCOMPARE(inside, before);
    QCOMPARE(w->session.settings().passTypes, before);
    QCOMPARE(w.editorTypes(), before);
    QCOMPARE(w->ui.unscripted, 0);
}

void TypeEditDialogTest::okHandsBackDuplicatesAndEmptyNamesAndTheyAreSaved() {
    LoggedOn w;
    auto* typeBox = w->child<QComboBox>("cmbPassType");
    typeBox->setEditText("PIN");  // the shown entry's type, about to be deleted from the list

    auto watch = DialogWatch::named("TfmTypeEdit", [&](QWidget* d) {
        QCOMPARE(d->windowTitle(), QString("Edit Password Types"));
        click(d, "btnEdit");    // nothing selected: no prompt
        click(d, "btnDelete");  // likewise
        w->ui.inputs = {"Skype", "", std::nullopt, "Bank"};
        click(d, "btnAdd");
        click(d, "btnAdd");
        click(d, "btnAdd");  // cancelled
        select(d, 0);
        click(d, "btnEdit");
        w->ui.okCancel = {false, true};
        select(d, 6);  // "PIN", the only one
        click(d, "btnDelete");
        click(d, "btnDelete");
        click(d, "btnOK");
    });
    QTest::mouseClick(w->child<QPushButton>("btnEditType"), Qt::LeftButton);
    QVERIFY(watch.ran());

    const Types expected = {"Bank",          "Computer Logon", "Credit Card",
                            "Document",      "Email Account",  "Instant Messaging",
                            "Security Code", "Skype",          "Software Access",
                            "Web Logon",     "Skype",          ""};
    QCOMPARE(w->session.settings().passTypes, expected);
    QCOMPARE(w.editorTypes(), expected);
    QCOMPARE(typeBox->currentText(), QString("PIN"));
    QTest::keyClick(w->field("editTitle"), Qt::Key_Shift);  // the next store keeps it
    QCOMPARE(w->session.workspace().entryOfRow(0)->get(Field::Type), "PIN");

    // The prompts as the user saw them.
    const auto& said = w->ui.said;
    QCOMPARE(int(said.size()), 6);
    QCOMPARE(said[0].caption, std::string("New Password Type"));
    QCOMPARE(said[0].text, std::string("Enter a Type Description"));
    QCOMPARE(said[0].initial, std::string());
    QCOMPARE(said[3].caption, std::string("Edit Password Type"));
    QCOMPARE(said[3].initial, std::string("Bank Details"));
    QCOMPARE(said[4].prompt, Prompt::OkCancel);
    QCOMPARE(said[4].text, std::string("Delete PIN?"));

    // Saved with the settings at close, duplicates and the empty name included.
    w->window->close();
    SystemRandom random;
    FixedClock clock(christmas());
    Session again(w.dir.path() + "vorkel", random, clock);
    again.SetLogon("bob", "pw");
    again.LoadForTool();
    QCOMPARE(again.settings().passTypes, expected);
}

QTEST_MAIN(TypeEditDialogTest)
#include "TypeEditDialogTest.moc"
