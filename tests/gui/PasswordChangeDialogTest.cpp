#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "core/session/Session.h"
#include "gui/logon/PasswordChangeDialog.h"
#include "support/DialogWatch.h"
#include "support/ScriptedMessageService.h"
#include "support/TempDir.h"

using namespace vorkel::gui;

using vorkel::test::DialogWatch;
using vorkel::test::readFile;
using vorkel::test::ScriptedMessageService;
using Kind = MessageService::Kind;

namespace {

const std::string kUser = "bob";
const std::string kCurrent = "Old pass";

// A logged-on session with both files written, and the change dialog over it.
struct Rig {
    Rig() {
        session.SetLogon(kUser, kCurrent);
        session.InitAccount();
        dialog = std::make_unique<PasswordChangeDialog>(session, ui, nullptr);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    }

    QLineEdit* edit(const char* name) const { return dialog->findChild<QLineEdit*>(name); }
    QPushButton* button(const char* name) const { return dialog->findChild<QPushButton*>(name); }
    void type(const QString& password, const QString& confirmation) {
        edit("editPassword")->clear();
        edit("editConfirmPassword")->clear();
        QTest::keyClicks(edit("editPassword"), password);
        QTest::keyClicks(edit("editConfirmPassword"), confirmation);
    }
    void ok() { QTest::mouseClick(button("btnOK"), Qt::LeftButton); }
    // The dialog is still up, with nothing decided.
    bool stillOpen() const { return dialog->isVisible() && dialog->result() == 0; }

    vorkel::test::TempDir dir;
    vorkel::FixedRandom random{{0x01, 0x23, 0x45, 0x67, 0x89, 0xab, 0xcd, 0xef}};
    vorkel::FixedClock clock{{2024, 6, 2, 9, 15, 0}};
    vorkel::Session session{dir.file("vorkel"), random, clock};
    ScriptedMessageService ui;
    std::unique_ptr<PasswordChangeDialog> dialog;
};

// Answers the current-password prompt with `text` and OK, or Cancel when `text` is null; the
// prompt's caption and label are kept for checking.
struct CurrentPasswordAnswer {
    explicit CurrentPasswordAnswer(const char* text)
        : watch(DialogWatch::named(QStringLiteral("TfmPasswordConfirm"), [this, text](QWidget* w) {
              caption = w->windowTitle();
              label = w->findChild<QLabel*>("lblConfirm")->text();
              if (!text) {
                  QTest::mouseClick(w->findChild<QPushButton*>("btnCancel"), Qt::LeftButton);
                  return;
              }
              QTest::keyClicks(w->findChild<QLineEdit*>("editPassword"), QString::fromUtf8(text));
              QTest::mouseClick(w->findChild<QPushButton*>("btnOK"), Qt::LeftButton);
          })) {}
    bool shown() const { return watch.ran(); }
    QString caption;
    QString label;
    DialogWatch watch;
};

}  // namespace

class PasswordChangeDialogTest : public QObject {
    Q_OBJECT

private slots:
    void layoutNamesTextsAndMasking() {
        Rig rig;
        PasswordChangeDialog& d = *rig.dialog;
        QCOMPARE(d.objectName(), QStringLiteral("TfmPasswordChange"));
        QCOMPARE(d.windowTitle(), QStringLiteral("Change Master Password"));
        QCOMPARE(d.size(), QSize(312, 190));
        QCOMPARE(d.minimumSize(), d.maximumSize());
        QVERIFY(d.windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!(d.windowFlags() & Qt::WindowMinimizeButtonHint));
        QCOMPARE(d.findChild<QLabel*>("lblConfirm")->text(),
                 QStringLiteral("Please enter your new master password below.  Enter "
                                "confirmation of your new password and then click OK."));
        QCOMPARE(d.findChild<QLabel*>("lblPassword")->text(), QStringLiteral("Password:"));
        QCOMPARE(d.findChild<QLabel*>("lblConfirm1")->text(), QStringLiteral("Confirm Password:"));
        QCOMPARE(rig.edit("editPassword")->echoMode(), QLineEdit::Password);
        QCOMPARE(rig.edit("editConfirmPassword")->echoMode(), QLineEdit::Password);
        QCOMPARE(rig.button("btnOK")->text(), QStringLiteral("&OK"));
        QCOMPARE(rig.button("btnCancel")->text(), QStringLiteral("&Cancel"));
        for (QPushButton* b : d.findChildren<QPushButton*>()) QVERIFY(!b->isDefault());
        QCOMPARE(d.focusWidget(), rig.edit("editPassword"));
        QTest::keyClick(rig.edit("editPassword"), Qt::Key_Tab);
        QCOMPARE(d.focusWidget(), rig.edit("editConfirmPassword"));
        QTest::keyClick(rig.edit("editConfirmPassword"), Qt::Key_Tab);
        QCOMPARE(d.focusWidget(), rig.button("btnOK"));
    }

    void okAndCancelSitSideBySideAtTheBottomRight() {
        Rig rig;
        PasswordChangeDialog& d = *rig.dialog;
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        const QRect ok(rig.button("btnOK")->mapTo(&d, QPoint()), rig.button("btnOK")->size());
        const QRect cancel(rig.button("btnCancel")->mapTo(&d, QPoint()),
                           rig.button("btnCancel")->size());
        QCOMPARE(ok.top(), cancel.top());
        QVERIFY(ok.right() < cancel.left());
        QVERIFY(cancel.right() > d.width() - 20);
        QVERIFY(ok.bottom() > d.height() - 20);
        // Laid out by a button box, they still take no default role in a keyless dialog.
        for (QPushButton* b : d.findChildren<QPushButton*>()) QVERIFY(!b->isDefault());
    }

    void emptyPasswordWarns() {
        Rig rig;
        CurrentPasswordAnswer answer(kCurrent.c_str());
        rig.type("", "");
        rig.edit("editConfirmPassword")->setFocus();
        rig.ok();
        QCOMPARE(rig.ui.texts(), std::vector<std::string>{"Please enter a password."});
        QCOMPARE(rig.ui.said[0].kind, Kind::Warning);
        QCOMPARE(rig.dialog->focusWidget(), rig.edit("editPassword"));
        QVERIFY(!answer.shown());  // the current password is not asked for
        QVERIFY(rig.stillOpen());
        QVERIFY(rig.session.isCurrentMasterPassword(kCurrent));
    }

    void differentConfirmationWarns_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("confirmation");
        QTest::newRow("empty confirmation") << "New pass"
                                            << "";
        QTest::newRow("case") << "New pass"
                              << "new pass";
        QTest::newRow("trailing blank") << "New pass"
                                        << "New pass ";
    }
    void differentConfirmationWarns() {
        QFETCH(QString, password);
        QFETCH(QString, confirmation);
        Rig rig;
        CurrentPasswordAnswer answer(kCurrent.c_str());
        rig.type(password, confirmation);
        rig.ok();
        QCOMPARE(rig.ui.texts(), std::vector<std::string>{
                                     "Your password and confirmation passwords are not the same."});
        QCOMPARE(rig.ui.said[0].kind, Kind::Warning);
        QCOMPARE(rig.dialog->focusWidget(), rig.edit("editPassword"));
        QVERIFY(!answer.shown());
        QVERIFY(rig.stillOpen());
        // The fields keep what was typed.
        QCOMPARE(rig.edit("editConfirmPassword")->text(), confirmation);
        QVERIFY(rig.session.isCurrentMasterPassword(kCurrent));
    }

    void cancellingTheCurrentPasswordPromptKeepsTheDialogOpen() {
        Rig rig;
        CurrentPasswordAnswer answer(nullptr);
        rig.type("New pass", "New pass");
        rig.ok();
        QVERIFY(answer.shown());
        QCOMPARE(answer.caption, QStringLiteral("Confirm Password"));
        QCOMPARE(answer.label, QStringLiteral("Please enter your current Master password"));
        QVERIFY(rig.ui.said.empty());
        QVERIFY(rig.stillOpen());
        QVERIFY(rig.session.isCurrentMasterPassword(kCurrent));
    }

    void wrongCurrentPasswordNeverChangesAnything() {
        Rig rig;
        const std::string settings = readFile(rig.dir.file("Vorkel4.vfg"));
        const std::string store = readFile(rig.dir.file("Vorkel4.xdb"));
        rig.type("New pass", "New pass");
        for (const char* wrong : {"old pass", "Old pass ", "", "New pass"}) {
            CurrentPasswordAnswer answer(wrong);
            rig.ok();
            QVERIFY(answer.shown());
        }
        QCOMPARE(rig.ui.said.size(), std::size_t{4});
        for (const auto& said : rig.ui.said) {
            QCOMPARE(said.text,
                     "The password you entered does not match your current master password.");
            QCOMPARE(said.kind, Kind::Warning);
        }
        QVERIFY(rig.stillOpen());
        QVERIFY(rig.session.isCurrentMasterPassword(kCurrent));
        QVERIFY(!rig.session.isCurrentMasterPassword("New pass"));
        QCOMPARE(readFile(rig.dir.file("Vorkel4.vfg")), settings);
        QCOMPARE(readFile(rig.dir.file("Vorkel4.xdb")), store);
    }

    void rightCurrentPasswordChangesItAndCloses() {
        Rig rig;
        const std::string settings = readFile(rig.dir.file("Vorkel4.vfg"));
        CurrentPasswordAnswer answer(kCurrent.c_str());
        rig.type("New pass", "New pass");
        rig.ok();
        QVERIFY(answer.shown());
        QCOMPARE(rig.ui.texts(),
                 std::vector<std::string>{"Your master password has been updated."});
        QCOMPARE(rig.ui.said[0].kind, Kind::Information);
        QVERIFY(!rig.dialog->isVisible());
        QCOMPARE(rig.dialog->result(), int(QDialog::Accepted));
        QVERIFY(rig.session.isCurrentMasterPassword("New pass"));
        QVERIFY(!rig.session.isCurrentMasterPassword(kCurrent));
        QCOMPARE(rig.session.LogonUserName(), kUser);
        // Made in memory only: the files take it at their next write.
        QCOMPARE(readFile(rig.dir.file("Vorkel4.vfg")), settings);

        rig.session.SaveAll();
        vorkel::Session next(rig.dir.file("vorkel"), rig.random, rig.clock);
        next.SetLogon(kUser, "New pass");
        QVERIFY(next.VerifyLogon());
        next.SetLogon(kUser, kCurrent);
        QVERIFY(!next.VerifyLogon());
    }

    void theCurrentPasswordMayBeKept() {
        Rig rig;
        CurrentPasswordAnswer answer(kCurrent.c_str());
        rig.type(QString::fromStdString(kCurrent), QString::fromStdString(kCurrent));
        rig.ok();
        QCOMPARE(rig.ui.texts(),
                 std::vector<std::string>{"Your master password has been updated."});
        QVERIFY(rig.session.isCurrentMasterPassword(kCurrent));
    }

    void cancelCloseBoxEnterAndEscapeChangeNothing() {
        {
            Rig rig;
            rig.type("New pass", "New pass");
            QTest::keyClick(rig.edit("editConfirmPassword"), Qt::Key_Return);
            QTest::keyClick(rig.edit("editPassword"), Qt::Key_Escape);
            QVERIFY(rig.stillOpen());
            QVERIFY(rig.ui.said.empty());
            QTest::mouseClick(rig.button("btnCancel"), Qt::LeftButton);
            QCOMPARE(rig.dialog->result(), int(QDialog::Rejected));
            QVERIFY(rig.session.isCurrentMasterPassword(kCurrent));
        }
        {
            Rig rig;
            rig.type("New pass", "New pass");
            QVERIFY(rig.dialog->close());
            QCOMPARE(rig.dialog->result(), int(QDialog::Rejected));
            QVERIFY(rig.ui.said.empty());
            QVERIFY(rig.session.isCurrentMasterPassword(kCurrent));
        }
    }

    void modalShowingEndsWithTheChange() {
        vorkel::test::TempDir dir;
        vorkel::FixedRandom random({1, 2, 3});
        vorkel::FixedClock clock({2024, 6, 2, 9, 15, 0});
        vorkel::Session session(dir.file("vorkel"), random, clock);
        session.SetLogon(kUser, kCurrent);
        ScriptedMessageService ui;
        PasswordChangeDialog dialog(session, ui, nullptr);
        CurrentPasswordAnswer answer(kCurrent.c_str());
        auto watch = DialogWatch::named(QStringLiteral("TfmPasswordChange"), [](QWidget* w) {
            QTest::keyClicks(w->findChild<QLineEdit*>("editPassword"), QStringLiteral("x"));
            QTest::keyClicks(w->findChild<QLineEdit*>("editConfirmPassword"), QStringLiteral("x"));
            QTest::mouseClick(w->findChild<QPushButton*>("btnOK"), Qt::LeftButton);
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QVERIFY(session.isCurrentMasterPassword("x"));
    }
};

QTEST_MAIN(PasswordChangeDialogTest)
#include "PasswordChangeDialogTest.moc"
