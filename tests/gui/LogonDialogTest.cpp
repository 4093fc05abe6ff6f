#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "core/Error.h"
#include "core/Version.h"
#include "core/session/Messages.h"
#include "core/session/RunState.h"
#include "core/session/Session.h"
#include "gui/logon/LogonDialog.h"
#include "gui/logon/PasswordConfirmDialog.h"
#include "gui/ui/QtText.h"
#include "support/DialogWatch.h"
#include "support/ScriptedMessageService.h"
#include "support/TempDir.h"

using namespace vorkel::gui;

using vorkel::test::DialogWatch;
using vorkel::test::readFile;
using vorkel::test::ScriptedMessageService;
using vorkel::test::writeFile;
using Kind = MessageService::Kind;
using Prompt = ScriptedMessageService::Prompt;

namespace {

const std::string kUser = "alice";
const std::string kPassword = "Secret 1";
const std::string kOldStore = std::string("old store \0\x01\xff bytes", 20);

// One program folder with its session, a scripted user and the dialog over them.
struct Rig {
    explicit Rig(bool withAccount) {
        if (withAccount) {
            vorkel::Session maker(programFile(), random, clock);
            maker.SetLogon(kUser, kPassword);
            maker.InitAccount();
        }
        session = std::make_unique<vorkel::Session>(programFile(), random, clock);
        run = std::make_unique<vorkel::RunState>(*session, ui);
        run->start();
        dialog = std::make_unique<LogonDialog>(*run, ui, nullptr);
        QObject::connect(dialog.get(), &LogonDialog::entered, [this] {
            ++completed;
            dialog->hide();
        });
        ends = std::make_unique<QSignalSpy>(dialog.get(), &LogonDialog::programEnd);
    }

    std::string programFile() const { return dir.file("vorkel"); }
    std::string storePath() const { return dir.file("Vorkel4.xdb"); }
    QLineEdit* edit(const char* name) const { return dialog->findChild<QLineEdit*>(name); }
    QPushButton* button(const char* name) const { return dialog->findChild<QPushButton*>(name); }
    QString label(const char* name) const { return dialog->findChild<QLabel*>(name)->text(); }

    void show() {
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    }
    void type(const std::string& user, const std::string& password) {
        QTest::keyClicks(edit("editUsername"), toQString(user));
        QTest::keyClicks(edit("editPassword"), toQString(password));
    }
    void logon() { QTest::mouseClick(button("btnLogon"), Qt::LeftButton); }

    vorkel::test::TempDir dir;
    vorkel::FixedRandom random{{0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99}};
    vorkel::FixedClock clock{{2024, 5, 1, 12, 30, 0}};
    std::unique_ptr<vorkel::Session> session;
    ScriptedMessageService ui;
    std::unique_ptr<vorkel::RunState> run;
    std::unique_ptr<LogonDialog> dialog;
    std::unique_ptr<QSignalSpy> ends;
    int completed = 0;
};

// Answers the confirm dialog with `text` and OK, or with Cancel when `text` is null.
DialogWatch answerConfirm(const char* text) {
    return DialogWatch::named(QStringLiteral("TfmPasswordConfirm"), [text](QWidget* w) {
        if (!text) {
            QTest::mouseClick(w->findChild<QPushButton*>("btnCancel"), Qt::LeftButton);
            return;
        }
        QTest::keyClicks(w->findChild<QLineEdit*>("editPassword"), QString::fromUtf8(text));
        QTest::mouseClick(w->findChild<QPushButton*>("btnOK"), Qt::LeftButton);
    });
}

}  // namespace

class LogonDialogTest : public QObject {
    Q_OBJECT

private slots:
    void layoutNamesTextsAndMasking() {
        Rig rig(true);
        rig.show();
        LogonDialog& d = *rig.dialog;
        QCOMPARE(d.objectName(), QStringLiteral("TfmLogon"));
        QCOMPARE(d.windowTitle(), QStringLiteral("Vorkel Logon"));
        QCOMPARE(d.size(), QSize(411, 245));
        QCOMPARE(d.minimumSize(), d.maximumSize());
        QVERIFY(d.windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!(d.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(d.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(!(d.windowFlags() & Qt::WindowContextHelpButtonHint));
        QCOMPARE(d.palette().color(QPalette::Window), QColor(Qt::white));
        QCOMPARE(rig.label("lblUsername"), QStringLiteral("Username:"));
        QCOMPARE(rig.label("lblPassword"), QStringLiteral("Password:"));
        QCOMPARE(rig.label("lblVersion"), QString("version " VORKEL_VERSION));
        QVERIFY(d.findChild<QLabel*>("lblVersion")->alignment() & Qt::AlignRight);
        QCOMPARE(rig.label("lblProduct"), QStringLiteral("Vorkel"));
        QVERIFY(d.findChild<QLabel*>("lblProduct")->font().bold());
        QCOMPARE(rig.label("lblTagline"), QStringLiteral("protecting your data"));
        QCOMPARE(rig.button("btnLogon")->text(), QStringLiteral("&Logon"));
        QCOMPARE(rig.button("btnCancel")->text(), QStringLiteral("&Cancel"));
        QCOMPARE(rig.edit("editPassword")->echoMode(), QLineEdit::Password);
        QCOMPARE(rig.edit("editUsername")->echoMode(), QLineEdit::Normal);
        QCOMPARE(d.focusWidget(), rig.edit("editUsername"));
        for (QPushButton* b : d.findChildren<QPushButton*>()) QVERIFY(!b->isDefault());
        // Every control lies inside the fixed client area.
        for (QWidget* w : d.findChildren<QWidget*>()) {
            if (!w->isVisible()) continue;
            const QRect r(w->mapTo(&d, QPoint(0, 0)), w->size());
            QVERIFY2(d.rect().contains(r), qPrintable(w->objectName()));
        }
    }

    void tabCyclesUserPasswordLogonCancel() {
        Rig rig(true);
        rig.show();
        QWidget* expected[] = {rig.edit("editPassword"), rig.button("btnLogon"),
                               rig.button("btnCancel"), rig.edit("editUsername")};
        rig.edit("editUsername")->setFocus();
        for (QWidget* next : expected) {
            QTest::keyClick(rig.dialog->focusWidget(), Qt::Key_Tab);
            QCOMPARE(rig.dialog->focusWidget(), next);
        }
    }

    void promptFollowsTheSettingsFile() {
        Rig rig(false);
        QVERIFY(rig.dialog->newAccountMode());
        QCOMPARE(
            rig.label("lblPromo"),
            QStringLiteral(
                "Welcome to Vorkel.  The number one portable utility to maintain your personal "
                "passwords and other data.  Vorkel uses 128 bit encryption to keep all your data "
                "safe. "));
        QCOMPARE(rig.label("lblInstructions"),
                 QStringLiteral("To begin using Vorkel, please enter a new user name and "
                                "password below."));

        writeFile(rig.dir.file("Vorkel4.vfg"), "anything");
        QVERIFY(rig.dialog->newAccountMode());  // changes only when the prompt is set up
        rig.dialog->SetLogonPrompt();
        QVERIFY(!rig.dialog->newAccountMode());
        QCOMPARE(rig.label("lblInstructions"),
                 QStringLiteral("Please enter your user name and password below (case "
                                "sensitive)."));
    }

    void emptyUserNameWarnsAndFocusesIt() {
        Rig rig(true);
        rig.show();
        rig.type("", kPassword);
        rig.logon();
        QCOMPARE(rig.ui.said.size(), std::size_t{1});
        QCOMPARE(rig.ui.said[0].text, "Please enter a Username before continuing.");
        QCOMPARE(rig.ui.said[0].kind, Kind::Warning);
        QCOMPARE(rig.ui.said[0].prompt, Prompt::Tell);
        QCOMPARE(rig.dialog->focusWidget(), rig.edit("editUsername"));
        QCOMPARE(rig.completed, 0);
        QCOMPARE(rig.ends->count(), 0);
        QVERIFY(rig.dialog->isVisible());
    }

    void emptyPasswordWarnsAndFocusesIt() {
        Rig rig(true);
        rig.show();
        rig.type(kUser, "");
        rig.edit("editUsername")->setFocus();
        rig.logon();
        QCOMPARE(rig.ui.texts(),
                 std::vector<std::string>{"Please enter a Password before continuing."});
        QCOMPARE(rig.ui.said[0].kind, Kind::Warning);
        QCOMPARE(rig.dialog->focusWidget(), rig.edit("editPassword"));
        QCOMPARE(rig.completed, 0);
        QCOMPARE(rig.ends->count(), 0);
    }

    void blanksCountAsContent() {
        Rig rig(false);
        rig.show();
        rig.type(" ", " ");
        auto shown = answerConfirm(nullptr);
        rig.logon();
        QVERIFY(shown.ran());  // past both emptiness checks
        QVERIFY(rig.ui.said.empty());
        QCOMPARE(rig.session->LogonUserName(), " ");
    }

    void rightPairCompletesTheLogon() {
        Rig rig(true);
        rig.show();
        rig.type(kUser, kPassword);
        rig.logon();
        QVERIFY(rig.ui.said.empty());
        QCOMPARE(rig.completed, 1);
        QCOMPARE(rig.ends->count(), 0);
        QCOMPARE(rig.session->LogonUserName(), kUser);
        QVERIFY(rig.session->isCurrentMasterPassword(kPassword));
        // Hidden for re-use, never closed, and the password does not linger in it.
        QVERIFY(!rig.dialog->isVisible());
        QVERIFY(rig.edit("editPassword")->text().isEmpty());
    }

    void anySplitOfTheSameTextOpens() {
        Rig rig(true);
        rig.show();
        rig.type("alic", "e" + kPassword);
        rig.logon();
        QCOMPARE(rig.completed, 1);
        QCOMPARE(rig.session->LogonUserName(), "alic");
    }

    void wrongPairIsAnErrorAndEndsTheProgram_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::newRow("user's case") << "Alice" << toQString(kPassword);
        QTest::newRow("password's case") << toQString(kUser) << "secret 1";
        QTest::newRow("trailing blank") << toQString(kUser) << toQString(kPassword + " ");
    }
    void wrongPairIsAnErrorAndEndsTheProgram() {
        QFETCH(QString, user);
        QFETCH(QString, password);
        Rig rig(true);
        const std::string settingsBefore = readFile(rig.dir.file("Vorkel4.vfg"));
        const std::string storeBefore = readFile(rig.storePath());
        rig.show();
        QTest::keyClicks(rig.edit("editUsername"), user);
        QTest::keyClicks(rig.edit("editPassword"), password);
        rig.logon();
        QCOMPARE(rig.ui.said.size(), std::size_t{1});
        QCOMPARE(rig.ui.said[0].text, "The logon details you entered are incorrect.");
        QCOMPARE(rig.ui.said[0].kind, Kind::Error);
        QCOMPARE(rig.ends->count(), 1);
        QCOMPARE(rig.completed, 0);
        QVERIFY(!rig.dialog->isVisible());
        QCOMPARE(readFile(rig.dir.file("Vorkel4.vfg")), settingsBefore);
        QCOMPARE(readFile(rig.storePath()), storeBefore);
    }

    void damagedOrEmptySettingsFileRefusesEveryPair_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("short") << QByteArray("12345");
        QTest::newRow("noise") << QByteArray(64, '\x5a');
    }
    void damagedOrEmptySettingsFileRefusesEveryPair() {
        QFETCH(QByteArray, content);
        Rig rig(false);
        writeFile(rig.dir.file("Vorkel4.vfg"), content.toStdString());
        rig.dialog->SetLogonPrompt();
        rig.show();
        rig.type(kUser, kPassword);
        rig.logon();
        QCOMPARE(rig.ui.texts(),
                 std::vector<std::string>{"The logon details you entered are incorrect."});
        QCOMPARE(rig.ends->count(), 1);
        QCOMPARE(rig.completed, 0);
    }

    void enterReleasedInPasswordLogsOn() {
        Rig rig(true);
        rig.show();
        rig.type(kUser, kPassword);
        QTest::keyPress(rig.edit("editPassword"), Qt::Key_Return);
        QCOMPARE(rig.completed, 0);  // the press alone does nothing
        QTest::keyRelease(rig.edit("editPassword"), Qt::Key_Return);
        QCOMPARE(rig.completed, 1);
    }

    void keypadEnterReleasedInPasswordLogsOn() {
        Rig rig(true);
        rig.show();
        rig.type(kUser, kPassword);
        QTest::keyClick(rig.edit("editPassword"), Qt::Key_Enter);
        QCOMPARE(rig.completed, 1);
    }

    void repeatedEnterReleaseIsNotAnotherAttempt() {
        Rig rig(true);
        rig.show();
        rig.type(kUser, "wrong");
        QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(rig.edit("editPassword"), &repeat);
        QVERIFY(rig.ui.said.empty());
        QCOMPARE(rig.ends->count(), 0);
    }

    void enterReleasedWithoutItsPressHereIsNoAttempt() {
        // The Enter that closes a message box comes back up in the password field.
        Rig rig(true);
        rig.show();
        rig.type(kUser, kPassword);
        QTest::keyRelease(rig.edit("editPassword"), Qt::Key_Return);
        QCOMPARE(rig.completed, 0);
        // Pressed here, released after the focus went elsewhere and came back: no attempt.
        QTest::keyPress(rig.edit("editPassword"), Qt::Key_Return);
        QFocusEvent out(QEvent::FocusOut);
        QApplication::sendEvent(rig.edit("editPassword"), &out);
        QTest::keyRelease(rig.edit("editPassword"), Qt::Key_Return);
        QCOMPARE(rig.completed, 0);
        QTest::keyClick(rig.edit("editPassword"), Qt::Key_Return);
        QCOMPARE(rig.completed, 1);
    }

    void enterInUserNameDoesNothing() {
        Rig rig(true);
        rig.show();
        rig.type(kUser, kPassword);
        QTest::keyClick(rig.edit("editUsername"), Qt::Key_Return);
        QTest::keyClick(rig.edit("editUsername"), Qt::Key_Enter);
        QVERIFY(rig.ui.said.empty());
        QCOMPARE(rig.completed, 0);
        QCOMPARE(rig.ends->count(), 0);
        QVERIFY(rig.dialog->isVisible());
    }

    void escapeDoesNothing() {
        Rig rig(true);
        rig.show();
        for (const char* name : {"editUsername", "editPassword"}) {
            rig.edit(name)->setFocus();
            QTest::keyClick(rig.edit(name), Qt::Key_Escape);
        }
        QTest::keyClick(rig.dialog.get(), Qt::Key_Escape);
        QVERIFY(rig.dialog->isVisible());
        QCOMPARE(rig.ends->count(), 0);
        QVERIFY(rig.ui.said.empty());
    }

    void enterPressesTheFocusedButton() {
        Rig rig(true);
        rig.show();
        rig.button("btnCancel")->setFocus();
        QTest::keyClick(rig.button("btnCancel"), Qt::Key_Return);
        QCOMPARE(rig.ends->count(), 1);
    }

    void everyCloseEndsTheProgram() {
        {
            Rig rig(true);
            rig.show();
            QTest::mouseClick(rig.button("btnCancel"), Qt::LeftButton);
            QCOMPARE(rig.ends->count(), 1);
            QVERIFY(!rig.dialog->isVisible());
        }
        {
            Rig rig(true);
            rig.show();
            QVERIFY(rig.dialog->close());  // the close box
            QCOMPARE(rig.ends->count(), 1);
        }
        {
            // The main window's close sequence closes the hidden dialog.
            Rig rig(true);
            rig.show();
            rig.dialog->hide();
            QCOMPARE(rig.ends->count(), 0);
            rig.dialog->close();
            QCOMPARE(rig.ends->count(), 1);
        }
        {
            Rig rig(true);
            rig.show();
            rig.dialog->reject();
            QCOMPARE(rig.ends->count(), 1);
        }
    }

    void closingEndsAModalShowing() {
        Rig rig(true);
        auto watch = DialogWatch::named(QStringLiteral("TfmLogon"), [&rig](QWidget*) {
            QTest::mouseClick(rig.button("btnCancel"), Qt::LeftButton);
        });
        QCOMPARE(rig.dialog->exec(), int(QDialog::Rejected));
        QCOMPARE(rig.ends->count(), 1);
    }

    void successfulLogonEndsAModalShowing() {
        Rig rig(true);
        auto watch = DialogWatch::named(QStringLiteral("TfmLogon"), [&rig](QWidget*) {
            rig.type(kUser, kPassword);
            rig.logon();
        });
        rig.dialog->exec();
        QCOMPARE(rig.completed, 1);
        QCOMPARE(rig.ends->count(), 0);
    }

    void aStoreThatFailsToLoadKeepsTheDialogOpen() {
        Rig rig(true);
        writeFile(rig.storePath(), kOldStore);
        rig.show();
        rig.type(kUser, kPassword);
        rig.logon();
        QCOMPARE(rig.ui.said.size(), std::size_t{1});
        QCOMPARE(rig.ui.said[0].prompt, Prompt::YesNo);
        QVERIFY(rig.ui.said[0].text.starts_with(std::string(vorkel::msg::kStoreUnreadableStart)));
        QVERIFY(rig.dialog->isVisible());
        QCOMPARE(rig.ends->count(), 0);
        QCOMPARE(rig.completed, 0);
        // The user may try again as typed once the folder is mended.
        QCOMPARE(rig.edit("editPassword")->text(), toQString(kPassword));
        QFile::remove(QString::fromStdString(rig.storePath()));
        rig.logon();
        QCOMPARE(rig.completed, 1);
    }

    void firstRunMatchDeletesTheOldStoreThenCompletes() {
        Rig rig(false);
        writeFile(rig.storePath(), kOldStore);
        rig.show();
        rig.type(kUser, kPassword);
        auto shown = answerConfirm(kPassword.c_str());
        rig.logon();
        QVERIFY(shown.ran());
        QVERIFY(rig.ui.said.empty());
        QCOMPARE(rig.completed, 1);
        QVERIFY(!QFile::exists(QString::fromStdString(rig.storePath())));
        QCOMPARE(rig.session->LogonUserName(), kUser);
        QVERIFY(rig.session->isCurrentMasterPassword(kPassword));
    }

    void firstRunWithoutAStoreCompletes() {
        Rig rig(false);
        rig.show();
        rig.type(kUser, kPassword);
        auto confirmWatch = answerConfirm(kPassword.c_str());
        rig.logon();
        QCOMPARE(rig.completed, 1);
        QVERIFY(rig.ui.said.empty());
    }

    void firstRunMismatchKeepsTheOldStore_data() {
        QTest::addColumn<QString>("confirmation");
        QTest::newRow("case") << "secret 1";
        QTest::newRow("empty") << "";
        QTest::newRow("longer") << "Secret 12";
    }
    void firstRunMismatchKeepsTheOldStore() {
        QFETCH(QString, confirmation);
        Rig rig(false);
        writeFile(rig.storePath(), kOldStore);
        rig.show();
        rig.type(kUser, kPassword);
        const QByteArray typed = confirmation.toUtf8();
        auto shown = answerConfirm(typed.constData());
        rig.logon();
        QVERIFY(shown.ran());
        QCOMPARE(rig.ui.said.size(), std::size_t{1});
        QCOMPARE(rig.ui.said[0].text,
                 "Your confirmation password does not match your initial password.  Please try "
                 "again.");
        QCOMPARE(rig.ui.said[0].kind, Kind::Warning);
        QCOMPARE(readFile(rig.storePath()), kOldStore);
        QCOMPARE(rig.dialog->focusWidget(), rig.edit("editPassword"));
        QCOMPARE(rig.completed, 0);
        QCOMPARE(rig.ends->count(), 0);
        QVERIFY(rig.dialog->isVisible());

        // Another try with the right confirmation goes through.
        auto confirmWatch = answerConfirm(kPassword.c_str());
        rig.logon();
        QCOMPARE(rig.completed, 1);
        QVERIFY(!QFile::exists(QString::fromStdString(rig.storePath())));
    }

    void firstRunCancelledConfirmationDeletesNothing() {
        Rig rig(false);
        writeFile(rig.storePath(), kOldStore);
        rig.show();
        rig.type(kUser, kPassword);
        auto cancelled = answerConfirm(nullptr);
        rig.logon();
        QVERIFY(cancelled.ran());
        // The close box of the confirm dialog counts as a cancel too.
        auto closed = DialogWatch::named(QStringLiteral("TfmPasswordConfirm"), [](QWidget* w) {
            QTest::keyClicks(w->findChild<QLineEdit*>("editPassword"),
                             QString::fromStdString(kPassword));
            w->close();
        });
        rig.logon();
        QVERIFY(closed.ran());
        QVERIFY(rig.ui.said.empty());
        QCOMPARE(readFile(rig.storePath()), kOldStore);
        QCOMPARE(rig.completed, 0);
        QCOMPARE(rig.ends->count(), 0);
        QVERIFY(rig.dialog->isVisible());
    }

    void reuseClearsTheFieldsAndFocusesTheUserName() {
        Rig rig(false);
        rig.show();
        rig.type(kUser, kPassword);
        rig.edit("editPassword")->setFocus();
        rig.dialog->clearFields();
        QVERIFY(rig.edit("editUsername")->text().isEmpty());
        QVERIFY(rig.edit("editPassword")->text().isEmpty());
        QCOMPARE(rig.dialog->focusWidget(), rig.edit("editUsername"));
    }

    void confirmDialogLayoutAndResults() {
        PasswordConfirmDialog confirm(nullptr);
        QCOMPARE(confirm.objectName(), QStringLiteral("TfmPasswordConfirm"));
        QCOMPARE(confirm.windowTitle(), QStringLiteral("Confirm Password"));
        QCOMPARE(confirm.size(), QSize(318, 141));
        QCOMPARE(confirm.findChild<QLabel*>("lblConfirm")->text(),
                 QStringLiteral("Please confirm your password by re-entering into the box below."));
        auto* edit = confirm.findChild<QLineEdit*>("editPassword");
        QCOMPARE(edit->echoMode(), QLineEdit::Password);
        QCOMPARE(confirm.findChild<QPushButton*>("btnOK")->text(), QStringLiteral("&OK"));
        QCOMPARE(confirm.findChild<QPushButton*>("btnCancel")->text(), QStringLiteral("&Cancel"));
        confirm.setPrompt(QStringLiteral("Another prompt"));
        QCOMPARE(confirm.findChild<QLabel*>("lblConfirm")->text(),
                 QStringLiteral("Another prompt"));

        confirm.show();
        QVERIFY(QTest::qWaitForWindowExposed(&confirm));
        edit->insert(QStringLiteral("p\u00e4ss"));
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClick(edit, Qt::Key_Escape);
        QVERIFY(confirm.isVisible());
        QCOMPARE(confirm.password(), "p\xc3\xa4ss");
        QTest::mouseClick(confirm.findChild<QPushButton*>("btnOK"), Qt::LeftButton);
        QCOMPARE(confirm.result(), int(QDialog::Accepted));
        QVERIFY(!confirm.isVisible());
    }
};

QTEST_MAIN(LogonDialogTest)
#include "LogonDialogTest.moc"
