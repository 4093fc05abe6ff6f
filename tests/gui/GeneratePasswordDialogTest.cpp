// The password generator: the dialog on its own, opened from the menu and the toolbar, and the
// editor's "Generate" button.

#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QMimeData>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>

#include "MainWindowHarness.h"
#include "gui/tools/GeneratePasswordDialog.h"
#include "gui/ui/SecretClipboard.h"

using namespace vorkel;
using namespace vorkel::gui;
using namespace vorkel::test;

namespace {

const QString kBase64 =
    QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/");

bool isBase64Text(const QString& text) {
    for (QChar c : text)
        if (!kBase64.contains(c)) return false;
    return true;
}

// A logged-on session at a fixed time, and the dialog over it.
struct Rig {
    Rig() {
        session.SetLogon("bob", "pw");
        dialog = std::make_unique<GeneratePasswordDialog>(session, nullptr);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    }
    template <typename T>
    T* child(const char* name) const {
        return dialog->findChild<T*>(name);
    }
    QString password() const { return child<QLineEdit>("editPassword")->text(); }
    void generate() { QTest::mouseClick(child<QPushButton>("btnGeneratePass"), Qt::LeftButton); }

    TempDir dir;
    SystemRandom random;
    FixedClock clock{christmas()};
    Session session{dir.file("vorkel"), random, clock};
    std::unique_ptr<GeneratePasswordDialog> dialog;
};

/// A window logged on as bob over the saved sample entries.
struct LoggedOn : LoggedOnWindow {
    void emptyTheList() {
        h->ui.okCancel = {true, true, true, true};
        while (h->rowCount() > 0) {
            h->clickRow(0);
            h->child<QAction>("DeletePassword1")->trigger();
        }
    }
};

}  // namespace

class GeneratePasswordDialogTest : public QObject {
    Q_OBJECT
private slots:
    void opensWithItsControlsAndTexts() {
        Rig rig;
        QCOMPARE(rig.dialog->objectName(), QString("TfmGenPass"));
        QCOMPARE(rig.dialog->windowTitle(), QString("Generate Password"));
        QVERIFY(rig.dialog->isModal());
        auto* tabs = rig.child<QTabWidget>("pgcGenPass");
        QCOMPARE(tabs->count(), 1);
        QCOMPARE(tabs->widget(0)->objectName(), QString("tabGeneral"));
        QCOMPARE(tabs->tabText(0), QString("Generate Password"));
        QCOMPARE(rig.child<QLabel>("lblInfo")->text(),
                 QString("You can generate a new password by clicking the Generate Password "
                         "button below.  Also specifiy the password length and encryption "
                         "strength you require for the new password."));
        QVERIFY(rig.child<QLabel>("lblInfo")->wordWrap());
        QVERIFY(rig.child<QLineEdit>("editPassword")->isReadOnly());
        QVERIFY(rig.password().isEmpty());
        auto* length = rig.child<QSpinBox>("spinPassLen");
        QCOMPARE(length->minimum(), 1);
        QCOMPARE(length->maximum(), 20);
        QCOMPARE(length->value(), 6);
        auto* strength = rig.child<QComboBox>("cmbEncryptStrength");
        QCOMPARE(strength->count(), 2);
        QCOMPARE(strength->itemText(1), QString("512-bit encryption"));
        QCOMPARE(strength->currentText(), QString("256-bit encryption"));
        QStringList buttons;
        for (const char* name : {"btnCopy", "btnGeneratePass", "btnOK", "btnCancel"})
            buttons << rig.child<QPushButton>(name)->text();
        QCOMPARE(buttons, QStringList({"&Copy", "&Generate Password", "&OK", "&Cancel"}));
        QCOMPARE(rig.dialog->focusWidget(), rig.child<QPushButton>("btnGeneratePass"));
    }

    void eachClickMakesANewPasswordOfTheChosenLength() {
        Rig rig;
        rig.generate();
        const QString first = rig.password();
        QCOMPARE(first.size(), 6);
        QVERIFY(isBase64Text(first));
        rig.child<QSpinBox>("spinPassLen")->setValue(20);
        rig.generate();
        QCOMPARE(rig.password().size(), 20);
        QVERIFY(isBase64Text(rig.password()));
        // Same second, other random bytes.
        const QString second = rig.password();
        rig.generate();
        QVERIFY(rig.password() != second);
    }

    void atMidnightTheWholeShorterTextIsShown() {
        Rig rig;
        rig.clock.set({2010, 12, 25, 0, 0, 0});  // "25/12/2010": 10 bytes, 16 characters
        rig.child<QSpinBox>("spinPassLen")->setValue(20);
        rig.generate();
        QCOMPARE(rig.password().size(), 16);
        QVERIFY(rig.password().endsWith("=="));
        QVERIFY(isBase64Text(rig.password().left(14)));
    }

    void lengthTextThatIsNoNumberCountsAsOne() {
        Rig rig;
        auto* length = rig.child<QSpinBox>("spinPassLen");
        length->setFocus();
        length->findChild<QLineEdit*>()->clear();
        QTest::keyClick(length, Qt::Key_Return);  // Enter in the field generates
        QCOMPARE(rig.password().size(), 1);
        QCOMPARE(length->value(), 1);
    }

    void copyPutsThePasswordOnTheClipboard() {
        Rig rig;
        QGuiApplication::clipboard()->setText("before");
        QTest::mouseClick(rig.child<QPushButton>("btnCopy"), Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("before"));  // nothing shown yet
        rig.generate();
        QTest::mouseClick(rig.child<QPushButton>("btnCopy"), Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), rig.password());
        QCOMPARE(QGuiApplication::clipboard()->mimeData()->data(SecretClipboard::kHintType),
                 QByteArray(SecretClipboard::kHintValue));
    }

    void menuAndToolbarOpenAFreshModalDialogThatChangesNothing() {
        LoggedOn w;
        // A user's click comes after the window is on screen; under a window manager a click
        // on a window not yet framed can go nowhere.
        QVERIFY(QTest::qWaitForWindowExposed(w->window.get()));
        const std::string store = w->dataStore();
        const EntryPtr before = w->session.workspace().entryOfRow(0);
        const QString shownPassword = w->field("editPassword")->text();
        int opened = 0;
        auto check = [&](QDialog& d, const char* close) {
            ++opened;
            QCOMPARE(d.parentWidget(), w->window.get());
            QVERIFY(d.isModal());
            QCOMPARE(d.findChild<QSpinBox*>("spinPassLen")->value(), 6);
            QVERIFY(d.findChild<QLineEdit*>("editPassword")->text().isEmpty());
            d.findChild<QSpinBox*>("spinPassLen")->setValue(12);
            clickButton(d, "btnGeneratePass");
            QCOMPARE(d.findChild<QLineEdit*>("editPassword")->text().size(), 12);
            clickButton(d, close);
        };
        auto fromMenu = DialogWatch::dialog("TfmGenPass", [&](QDialog& d) { check(d, "btnOK"); });
        w->child<QAction>("GeneratePassword1")->trigger();
        auto fromToolbar =
            DialogWatch::dialog("TfmGenPass", [&](QDialog& d) { check(d, "btnCancel"); });
        QTest::mouseClick(w->child<QToolButton>("btnGenPassword"), Qt::LeftButton);
        QCOMPARE(opened, 2);
        QVERIFY(!w->window->findChild<GeneratePasswordDialog*>());  // destroyed on closing
        QCOMPARE(w->field("editPassword")->text(), shownPassword);
        QCOMPARE(w->session.workspace().entryOfRow(0), before);
        QCOMPARE(w->dataStore(), store);
        QVERIFY(w->ui.said.empty());
    }

    void editorGenerateStoresEightCharacters() {
        LoggedOn w;
        const EntryPtr before = w->session.workspace().entryOfRow(0);
        QTest::mouseClick(w->child<QPushButton>("btnGenPassword1"), Qt::LeftButton);
        const QString password = w->field("editPassword")->text();
        QCOMPARE(password.size(), 8);
        QVERIFY(isBase64Text(password));
        const EntryPtr after = w->entryTitled(before->title());
        QCOMPARE(QString::fromStdString(std::string(after->get(Field::Password))), password);
        QCOMPARE(std::stoi(std::string(after->get(Field::ModifyCount))),
                 std::stoi(std::string(before->get(Field::ModifyCount))) + 1);
    }

    void editorGenerateOnAnEmptyListAsksForADescriptionFirst() {
        LoggedOn w;
        w.emptyTheList();
        w->ui.inputs = {std::nullopt};  // cancelled: nothing is made
        QTest::mouseClick(w->child<QPushButton>("btnGenPassword1"), Qt::LeftButton);
        QCOMPARE(w->ui.said.back().text, std::string("Enter a Description"));
        QVERIFY(w->session.workspace().master().empty());
        QVERIFY(w->field("editPassword")->text().isEmpty());

        w->ui.inputs = {std::string("Bank")};
        QTest::mouseClick(w->child<QPushButton>("btnGenPassword1"), Qt::LeftButton);
        QCOMPARE(w->titles(), QStringList({"Bank"}));
        const EntryPtr bank = w->entryTitled("Bank");
        QCOMPARE(bank->get(Field::Password).size(), std::size_t(8));
        QCOMPARE(QString::fromStdString(std::string(bank->get(Field::Password))),
                 w->field("editPassword")->text());
    }
};

QTEST_MAIN(GeneratePasswordDialogTest)
#include "GeneratePasswordDialogTest.moc"
