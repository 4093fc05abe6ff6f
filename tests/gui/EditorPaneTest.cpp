#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTest>
#include <memory>

#include "core/session/Session.h"
#include "core/session/WindowRules.h"
#include "core/storage/Settings.h"
#include "gui/entries/EditorPane.h"
#include "gui/entries/NotesEdit.h"
#include "support/FolderSession.h"

using namespace vorkel::gui;

using vorkel::Field;

namespace {

const char* const kTextFields[] = {"editTitle",    "editURL",        "editUsername", "editEmail",
                                   "editPassword", "editPassPhrase", "editExpires"};

}  // namespace

class EditorPaneTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<vorkel::test::FolderSession> m_folder;
    vorkel::Session* m_session = nullptr;
    vorkel::FixedClock* m_clock = nullptr;
    std::unique_ptr<EditorPane> m_pane;

    template <typename W = QLineEdit>
    W* child(const char* name) {
        W* w = m_pane->findChild<W*>(QString::fromLatin1(name));
        if (!w) qFatal("no control %s", name);
        return w;
    }
    QString text(const char* name) { return child(name)->text(); }
    QComboBox* types() { return child<QComboBox>("cmbPassType"); }
    NotesEdit* notes() { return child<NotesEdit>("richDetail"); }

    // An entry with every field set, added to the session's list.
    vorkel::EntryPtr fullEntry(std::string detail, std::string type = "Banking") {
        vorkel::Entry::Texts t{};
        t[index(Field::Title)] = "My Bank";
        t[index(Field::Detail)] = detail;
        t[index(Field::Password)] = "p@ss";
        t[index(Field::Passphrase)] = "open sesame";
        t[index(Field::CreateDate)] = "01/02/2003 04:05:06";
        t[index(Field::EditDate)] = "07/08/2009 10:11:12";
        t[index(Field::Type)] = type;
        t[index(Field::Expires)] = "31/12/2030";
        t[index(Field::Username)] = "jdoe";
        t[index(Field::ModifyCount)] = "1";
        t[index(Field::AccessCount)] = "1";
        t[index(Field::Email)] = "j@example.com";
        t[index(Field::WebURL)] = "https://bank.example";
        auto& ws = m_session->workspace();
        ws.AppendEntries({vorkel::Entry::create(ws.master().nextId(), t)});
        return ws.master().entries().back();
    }
    void showPane() {
        m_pane->resize(700, 600);
        m_pane->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pane.get()));
    }

private slots:
    void init() {
        m_folder = std::make_unique<vorkel::test::FolderSession>();
        m_session = &m_folder->session;
        m_clock = &m_folder->clock;
        m_pane = std::make_unique<EditorPane>();
        m_pane->setPassTypes({"Banking", "Email", "Web Site"});
    }
    void cleanup() {
        m_pane.reset();
        m_folder.reset();
    }

    void controlsCarryTheirNamesAndCaptions() {
        QCOMPARE(m_pane->objectName(), QStringLiteral("pnlRightBase"));
        for (const char* name : kTextFields) QVERIFY(child(name));
        QVERIFY(notes());
        QVERIFY(m_pane->findChild<QWidget*>("tabDetails"));
        QCOMPARE(child<QPushButton>("btnURLGo")->text(), QStringLiteral("Go"));
        QCOMPARE(child<QPushButton>("btnGenPassword1")->text(), QStringLiteral("Generate"));
        QCOMPARE(child<QPushButton>("btnGenPassword1")->toolTip(),
                 QStringLiteral("Generate a password"));
        QCOMPARE(child<QPushButton>("btnEditType")->text(), QStringLiteral("Edit..."));
        QCOMPARE(child<QPushButton>("btnDate")->text(), QStringLiteral("Pick Date..."));
        QCOMPARE(child<QPushButton>("btnAutoEnter")->text(), QStringLiteral("Auto Fill"));
        QCOMPARE(child<QGroupBox>("grpAutoFill")->title(),
                 QStringLiteral("New Powerful Features!"));
        QVERIFY(types()->isEditable());
        QCOMPARE(types()->maxVisibleItems(), 10);
    }

    void focusMovesThroughTheFieldsThenTheButtons() {
        showPane();
        child("editTitle")->setFocus();
        QStringList seen{QApplication::focusWidget()->objectName()};
        for (int i = 0; i < 11; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* f = QApplication::focusWidget();
            // The type box's text field has the focus on behalf of the box.
            seen << (f->parentWidget() == types() ? types()->objectName() : f->objectName());
        }
        QCOMPARE(seen, (QStringList{"editTitle", "editURL", "editUsername", "editEmail",
                                    "editPassword", "editPassPhrase", "cmbPassType", "editExpires",
                                    "btnURLGo", "btnGenPassword1", "btnEditType", "btnDate"}));
    }

    void showEntryFillsEveryFieldWithNotesAsPlainLines() {
        const auto e = fullEntry("line1\r\nline2\rline3\n<b>not bold</b>\r\n");
        showPane();
        notes()->setNotesText(QStringLiteral("old notes"));
        notes()->moveCursor(QTextCursor::End);
        m_pane->ShowEntry(*e);
        QCOMPARE(text("editTitle"), QStringLiteral("My Bank"));
        QCOMPARE(text("editURL"), QStringLiteral("https://bank.example"));
        QCOMPARE(text("editUsername"), QStringLiteral("jdoe"));
        QCOMPARE(text("editEmail"), QStringLiteral("j@example.com"));
        QCOMPARE(text("editPassword"), QStringLiteral("p@ss"));
        QCOMPARE(text("editPassPhrase"), QStringLiteral("open sesame"));
        QCOMPARE(types()->currentText(), QStringLiteral("Banking"));
        QCOMPARE(text("editExpires"), QStringLiteral("31/12/2030"));
        QCOMPARE(notes()->toPlainText(), QStringLiteral("line1\nline2\nline3\n<b>not bold</b>"));
        QCOMPARE(notes()->document()->blockCount(), 4);
        QCOMPARE(notes()->textCursor().position(), 0);
    }

    void aTypeOutsideTheListIsShownAndStoredUnchanged() {
        const auto e = fullEntry("", "Retired type");
        m_pane->ShowEntry(*e);
        QCOMPARE(types()->currentText(), QStringLiteral("Retired type"));
        QCOMPARE(types()->count(), 3);
        QCOMPARE(m_pane->fields().type, std::string("Retired type"));
    }

    void fieldsGiveWhatIsShownAndNotesComeBackWithCrLf() {
        const auto e = fullEntry("a\nb\rc");
        m_pane->ShowEntry(*e);
        const vorkel::EditorFields f = m_pane->fields();
        QCOMPARE(f.title, std::string("My Bank"));
        QCOMPARE(f.webUrl, std::string("https://bank.example"));
        QCOMPARE(f.username, std::string("jdoe"));
        QCOMPARE(f.email, std::string("j@example.com"));
        QCOMPARE(f.password, std::string("p@ss"));
        QCOMPARE(f.passphrase, std::string("open sesame"));
        QCOMPARE(f.type, std::string("Banking"));
        QCOMPARE(f.expires, std::string("31/12/2030"));
        QCOMPARE(f.notes, std::string("a\nb\nc"));
        m_session->StoreEntry(0, f);
        QCOMPARE(std::string(m_session->workspace().entryOfRow(0)->get(Field::Detail)),
                 std::string("a\r\nb\r\nc\r\n"));
    }

    void unicodeSurvivesTheRoundTrip() {
        const auto e = fullEntry("caf\xC3\xA9\xC2\xA0\xE2\x82\xAC\r\n\xF0\x9F\x98\x80");
        m_pane->ShowEntry(*e);
        m_session->StoreEntry(0, m_pane->fields());
        QCOMPARE(std::string(m_session->workspace().entryOfRow(0)->get(Field::Detail)),
                 std::string("caf\xC3\xA9\xC2\xA0\xE2\x82\xAC\r\n\xF0\x9F\x98\x80\r\n"));
    }

    void clearEditorEmptiesEveryField() {
        m_pane->ShowEntry(*fullEntry("notes"));
        m_pane->ClearEditor();
        for (const char* name : kTextFields) QCOMPARE(text(name), QString());
        QCOMPARE(types()->currentText(), QString());
        QCOMPARE(notes()->toPlainText(), QString());
        QCOMPARE(types()->count(), 3);
    }

    void maskingFollowsTheOptionsWithOneMeaningClear() {
        vorkel::Options o;  // defaults: user name and passphrase clear, password masked
        m_pane->ApplyDisplayOptions(o);
        QCOMPARE(child("editUsername")->echoMode(), QLineEdit::Normal);
        QCOMPARE(child("editPassword")->echoMode(), QLineEdit::Password);
        QCOMPARE(child("editPassPhrase")->echoMode(), QLineEdit::Normal);
        o.ShowClearUsernames = 0;
        o.ShowClearPasswords = 1;
        o.ShowClearPassphrase = 2;
        m_pane->ApplyDisplayOptions(o);
        QCOMPARE(child("editUsername")->echoMode(), QLineEdit::Password);
        QCOMPARE(child("editPassword")->echoMode(), QLineEdit::Normal);
        QCOMPARE(child("editPassPhrase")->echoMode(), QLineEdit::Password);
        o.ShowClearPassphrase = -1;
        m_pane->ApplyDisplayOptions(o);
        QCOMPARE(child("editPassPhrase")->echoMode(), QLineEdit::Password);
        for (const char* name : {"editTitle", "editURL", "editEmail", "editExpires"})
            QCOMPARE(child(name)->echoMode(), QLineEdit::Normal);
    }

    void maskedFieldsShowOneMaskCharacterPerCharacterButGiveTheirText() {
        m_pane->ShowEntry(*fullEntry(""));
        vorkel::Options o;
        o.ShowClearUsernames = 0;
        m_pane->ApplyDisplayOptions(o);
        QLineEdit* user = child("editUsername");
        QStyleOptionFrame opt;
        opt.initFrom(user);
        const QChar mask(
            char16_t(user->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, &opt, user)));
        qInfo("mask character: U+%04X", unsigned(mask.unicode()));
        QCOMPARE(user->displayText(), QString(4, mask));
        QCOMPARE(m_pane->fields().username, std::string("jdoe"));
        QCOMPARE(m_pane->fields().password, std::string("p@ss"));
    }

    void everyKeyReleasedInTheFieldsAndNotesIsReported() {
        showPane();
        QSignalSpy released(m_pane.get(), &EditorPane::fieldKeyReleased);
        for (const char* name : kTextFields) {
            child(name)->setFocus();
            QTest::keyClicks(child(name), "abc");
        }
        notes()->setFocus();
        QTest::keyClicks(notes(), "abc");
        QCOMPARE(released.count(), 8 * 3);
        // Deletions, arrows and Shift alike.
        released.clear();
        for (Qt::Key key : {Qt::Key_Backspace, Qt::Key_Left, Qt::Key_Shift, Qt::Key_Delete})
            QTest::keyClick(child("editTitle"), key);
        QTest::keyClick(notes(), Qt::Key_Up);
        QCOMPARE(released.count(), 5);
    }

    void aHeldKeyIsReportedOnceAtItsPhysicalRelease() {
        showPane();
        QSignalSpy released(m_pane.get(), &EditorPane::fieldKeyReleased);
        QWidget* title = child("editTitle");
        title->setFocus();
        for (int i = 0; i < 10; ++i) {
            QTest::keyEvent(QTest::Press, title, Qt::Key_Right, Qt::NoModifier, -1);
            QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier, QString(), true);
            QApplication::sendEvent(title, &repeat);
        }
        QCOMPARE(released.count(), 0);
        QTest::keyRelease(title, Qt::Key_Right);
        QCOMPARE(released.count(), 1);
    }

    void settingFieldsByProgramReportsNothing() {
        QSignalSpy released(m_pane.get(), &EditorPane::fieldKeyReleased);
        QSignalSpy picked(m_pane.get(), &EditorPane::typePicked);
        m_pane->ShowEntry(*fullEntry("x"));
        m_pane->ClearEditor();
        m_pane->setPasswordText(QStringLiteral("generated"));
        m_pane->setExpiresText(QStringLiteral("01/01/2031"));
        m_pane->setPassTypes({"Other"});
        QCOMPARE(released.count(), 0);
        QCOMPARE(picked.count(), 0);
        QCOMPARE(m_pane->fields().password, std::string("generated"));
        QCOMPARE(m_pane->fields().expires, std::string("01/01/2031"));
    }

    void typingIntoTheTypeBoxIsNoPickAndStoresNothing() {
        showPane();
        QSignalSpy released(m_pane.get(), &EditorPane::fieldKeyReleased);
        QSignalSpy picked(m_pane.get(), &EditorPane::typePicked);
        types()->setFocus();
        QTest::keyClicks(types()->lineEdit(), "Bank");
        QTest::keyClick(types()->lineEdit(), Qt::Key_Return);
        QCOMPARE(types()->currentText(), QStringLiteral("Bank"));  // not completed to "Banking"
        QCOMPARE(types()->count(), 3);                             // nothing added to the list
        // Enter on a text that is in the list is no pick either, nor is leaving the box then.
        types()->clearEditText();
        QTest::keyClicks(types()->lineEdit(), "Email");
        QTest::keyClick(types()->lineEdit(), Qt::Key_Return);
        QCOMPARE(types()->currentText(), QStringLiteral("Email"));
        QTest::keyClick(types()->lineEdit(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), child("editExpires"));
        QCOMPARE(types()->currentText(), QStringLiteral("Email"));
        QCOMPARE(picked.count(), 0);
        QCOMPARE(released.count(), 0);
    }

    void pickingATypeFromTheListIsReported() {
        showPane();
        m_pane->ShowEntry(*fullEntry("", "Banking"));
        QSignalSpy picked(m_pane.get(), &EditorPane::typePicked);
        QTest::keyClick(types(), Qt::Key_Down);
        QCOMPARE(picked.count(), 1);
        QCOMPARE(types()->currentText(), QStringLiteral("Email"));

        // With the mouse from the open list.
        types()->showPopup();
        QAbstractItemView* list = types()->view();
        QVERIFY(QTest::qWaitForWindowExposed(list->window()));
        const QRect item = list->visualRect(list->model()->index(2, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
        QTRY_COMPARE(picked.count(), 2);
        QCOMPARE(types()->currentText(), QStringLiteral("Web Site"));
        QCOMPARE(m_pane->fields().type, std::string("Web Site"));
    }

    void setPassTypesKeepsTheShownText() {
        m_pane->ShowEntry(*fullEntry("", "Email"));
        m_pane->setPassTypes({"A", "B"});
        QCOMPARE(types()->currentText(), QStringLiteral("Email"));
        QCOMPARE(m_pane->passTypes(), (std::vector<std::string>{"A", "B"}));
    }

    void goOpensTheWebAddressUnlessEmpty() {
        QSignalSpy link(m_pane.get(), &EditorPane::linkRequested);
        QTest::mouseClick(child<QPushButton>("btnURLGo"), Qt::LeftButton);
        QCOMPARE(link.count(), 0);
        child("editURL")->setText(QStringLiteral("www.example.com/x"));
        QTest::mouseClick(child<QPushButton>("btnURLGo"), Qt::LeftButton);
        QCOMPARE(link.count(), 1);
        QCOMPARE(link.at(0).at(0).toString(), QStringLiteral("www.example.com/x"));
    }

    void linkClickedInTheNotesIsRequested() {
        showPane();
        m_pane->ShowEntry(*fullEntry("Visit http://bank.example/help now"));
        QSignalSpy link(m_pane.get(), &EditorPane::linkRequested);
        QTextCursor c(notes()->document());
        c.setPosition(10);
        QTest::mouseClick(notes()->viewport(), Qt::LeftButton, {},
                          notes()->cursorRect(c).center() + QPoint(2, 0));
        QCOMPARE(link.count(), 1);
        QCOMPARE(link.at(0).at(0).toString(), QStringLiteral("http://bank.example/help"));
    }

    void buttonsReportTheirCommands() {
        QSignalSpy generate(m_pane.get(), &EditorPane::generateClicked);
        QSignalSpy editTypes(m_pane.get(), &EditorPane::editTypesClicked);
        QSignalSpy date(m_pane.get(), &EditorPane::pickDateClicked);
        QSignalSpy autoFill(m_pane.get(), &EditorPane::autoFillClicked);
        child<QPushButton>("btnGenPassword1")->click();
        child<QPushButton>("btnEditType")->click();
        child<QPushButton>("btnDate")->click();
        child<QPushButton>("btnAutoEnter")->click();
        QCOMPARE(generate.count(), 1);
        QCOMPARE(editTypes.count(), 1);
        QCOMPARE(date.count(), 1);
        QCOMPARE(autoFill.count(), 1);
    }

    void fieldsFollowThePaneWidth() {
        showPane();
        QWidget* logo = child<QWidget>("pnlLogo");
        QWidget* page = child<QWidget>("tabDetails");
        // The widths themselves are the core's rule (WindowRules.FieldWidthRule); here, that
        // every field and button follows it, and follows the pane as it changes.
        auto check = [&] {
            QCOMPARE(logo->x() + logo->width(), page->width() - 8);
            const vorkel::EditorFieldLayout rule =
                vorkel::editorFieldLayout(logo->x(), child("editTitle")->x());
            for (const char* name : {"editTitle", "editUsername", "editEmail", "editPassPhrase"})
                QCOMPARE(child(name)->width(), rule.fullWidth);
            QCOMPARE(child("editURL")->width(), rule.urlWidth);
            for (const char* name : {"editPassword", "editExpires"})
                QCOMPARE(child(name)->width(), rule.shortWidth);
            QCOMPARE(types()->width(), rule.shortWidth);
            QCOMPARE(child<QPushButton>("btnURLGo")->x(), rule.goLeft);
            for (const char* name : {"btnGenPassword1", "btnEditType", "btnDate"})
                QCOMPARE(child<QPushButton>(name)->x(), rule.buttonsLeft);
        };
        check();
        const int before = child("editTitle")->width();
        m_pane->resize(m_pane->width() + 200, m_pane->height());
        QTRY_COMPARE(child("editTitle")->width(), before + 200);
        check();
        m_pane->pnlRightBaseResize();
        check();
    }
};

QTEST_MAIN(EditorPaneTest)
#include "EditorPaneTest.moc"
