// The "Edit" menu's clipboard commands on the editor fields of a logged-on window.

#include <QAction>
#include <QClipboard>
#include <QImage>
#include <QMimeData>

#include "MainWindowHarness.h"
#include "core/Product.h"
#include "gui/ui/SecretClipboard.h"

using namespace vorkel;
using namespace vorkel::gui;
using namespace vorkel::test;

namespace {

QClipboard& clipboard() {
    return *QGuiApplication::clipboard();
}

bool clipboardHasText() {
    const QMimeData* data = clipboard().mimeData();
    return data && data->hasText();
}

/// A window logged on as bob over the saved samples, "A Sample Entry" shown.
struct LoggedOn : LoggedOnWindow {
    /// Gives `field` the focus with `length` characters selected from `start`.
    QLineEdit* focusOn(const char* field, int start, int length) {
        QLineEdit* edit = h->field(field);
        edit->setFocus();
        edit->setSelection(start, length);
        return edit;
    }
};

}  // namespace

class ClipboardCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void pasteReplacesExactlyTheSelectedCharacters();
    void pasteNeedsASelectionAndText();
    void wholeFieldCopiesIgnoreTheFocusAndTheMask();
    void cutAndCopyActOnTheFocusedFieldOnly();
    void cutAndCopyOfAMaskedFieldCarryTheClearText();
    void clearClipboardEmptiesIt();
    void secretsCarryTheClipboardHistoryHint();
    void theLockTakesBackOnlyWhatTheProgramCopied();
    void clearIfOursLeavesOtherProgramsText();
};

void ClipboardCommandsTest::pasteReplacesExactlyTheSelectedCharacters() {
    LoggedOn w;
    const QString left(40000, 'L'), right(40000, 'R');
    w->field("editTitle")->setText(left + "MID" + right);
    w.focusOn("editTitle", left.size(), 3);
    clipboard().setText("pasted text");
    w.menu("Paste1");
    QCOMPARE(w->field("editTitle")->text(), left + "pasted text" + right);
    // Nothing stores it until the next key release.
    QCOMPARE(w->session.workspace().entryOfRow(0)->title(), "A Sample Entry");

    // A masked field takes a paste as well.
    QCOMPARE(w->field("editPassword")->echoMode(), QLineEdit::Password);
    w.focusOn("editPassword", 5, 8);  // "type password here"
    w.menu("Paste1");
    QCOMPARE(w->field("editPassword")->text(), QString("type pasted text here"));
}

void ClipboardCommandsTest::pasteNeedsASelectionAndText() {
    LoggedOn w;
    clipboard().setText("clip");
    QLineEdit* email = w.focusOn("editEmail", 0, 0);
    email->setCursorPosition(4);
    w.menu("Paste1");
    QCOMPARE(email->text(), QString("your.name@example.com"));

    w.focusOn("editEmail", 0, 4);
    clipboard().setImage(QImage(8, 8, QImage::Format_RGB32));
    QVERIFY(!clipboardHasText());
    w.menu("Paste1");
    QCOMPARE(email->text(), QString("your.name@example.com"));
}

void ClipboardCommandsTest::wholeFieldCopiesIgnoreTheFocusAndTheMask() {
    LoggedOn w;
    w.focusOn("editTitle", 0, 0);
    QLineEdit* password = w->field("editPassword");
    QCOMPARE(password->echoMode(), QLineEdit::Password);
    w.menu("CopyPassword1");
    QCOMPARE(clipboard().text(), QString("type password here"));
    QCOMPARE(password->selectionStart(), 0);
    QCOMPARE(password->selectionLength(), password->text().size());

    const std::pair<const char*, QString> copies[] = {
        {"CopyWebsiteURL1", QString::fromUtf8(kProductWebSite.data(), kProductWebSite.size())},
        {"CopyUsername1", "Administrator"},
        {"CopyEmail1", "your.name@example.com"},
    };
    for (const auto& [item, expected] : copies) {
        w.menu(item);
        QCOMPARE(clipboard().text(), expected);
    }
    // An empty field leaves no earlier secret behind.
    w.menu("CopyPassphrase1");
    QCOMPARE(clipboard().text(), QString());
    QCOMPARE(w->session.workspace().entryOfRow(0)->get(Field::AccessCount), "1");
}

void ClipboardCommandsTest::cutAndCopyActOnTheFocusedFieldOnly() {
    LoggedOn w;
    clipboard().setText("before");
    QPlainTextEdit* notes = w->notes();
    const QString notesText = notes->toPlainText();
    notes->setFocus();
    notes->selectAll();
    for (const char* item : {"Cut1", "Copy1", "Paste1"}) {
        w.menu(item);
        QCOMPARE(clipboard().text(), QString("before"));
        QCOMPARE(notes->toPlainText(), notesText);
    }

    QLineEdit* title = w.focusOn("editTitle", 2, 6);
    w.menu("Copy1");
    QCOMPARE(clipboard().text(), QString("Sample"));
    w.menu("Cut1");
    QCOMPARE(title->text(), QString("A  Entry"));
    QCOMPARE(clipboard().text(), QString("Sample"));
}

void ClipboardCommandsTest::cutAndCopyOfAMaskedFieldCarryTheClearText() {
    LoggedOn w;
    QLineEdit* password = w->field("editPassword");
    QCOMPARE(password->echoMode(), QLineEdit::Password);
    const QString secret = password->text();
    QVERIFY(secret.size() > 4);
    clipboard().setText("before");
    w.focusOn("editPassword", 1, 3);
    w.menu("Copy1");
    QCOMPARE(clipboard().text(), secret.mid(1, 3));
    QCOMPARE(password->text(), secret);

    clipboard().setText("before");
    w.focusOn("editPassword", 1, 3);
    w.menu("Cut1");
    QCOMPARE(clipboard().text(), secret.mid(1, 3));
    QCOMPARE(password->text(), secret.left(1) + secret.mid(4));

    // Nothing selected: nothing cut, and the clipboard keeps what it had.
    w.focusOn("editPassword", 0, 0);
    w.menu("Cut1");
    QCOMPARE(clipboard().text(), secret.mid(1, 3));
    QCOMPARE(password->text(), secret.left(1) + secret.mid(4));
}

void ClipboardCommandsTest::clearClipboardEmptiesIt() {
    LoggedOn w;
    clipboard().setText("put there by another program");
    w.menu("ClearClipboard1");
    QVERIFY(!clipboardHasText());
}

namespace {

bool markedSecret() {
    const QMimeData* data = clipboard().mimeData();
    return data && data->data(SecretClipboard::kHintType) == SecretClipboard::kHintValue;
}

}  // namespace

void ClipboardCommandsTest::secretsCarryTheClipboardHistoryHint() {
    LoggedOn w;
    for (const char* item : {"CopyPassword1", "CopyPassphrase1", "CopyUsername1"}) {
        clipboard().setText("other");
        w.menu(item);
        QVERIFY2(markedSecret(), item);
    }
    for (const char* item : {"CopyWebsiteURL1", "CopyEmail1"}) {
        w.menu(item);
        QVERIFY2(!markedSecret(), item);
        QVERIFY(clipboardHasText());
    }
    // The menu's Copy and Cut of a secret field mark it too; other fields' text is not marked.
    w->field("editUsername")->setEchoMode(QLineEdit::Normal);
    w.focusOn("editUsername", 0, 5);
    w.menu("Copy1");
    QCOMPARE(clipboard().text(), QString("Admin"));
    QVERIFY(markedSecret());
    w.focusOn("editTitle", 0, 1);
    w.menu("Copy1");
    QVERIFY(!markedSecret());
    w.focusOn("editUsername", 0, 5);
    w.menu("Cut1");
    QCOMPARE(clipboard().text(), QString("Admin"));
    QCOMPARE(w->field("editUsername")->text(), QString("istrator"));
    QVERIFY(markedSecret());
    // A masked field's Copy and Cut carry its clear text, marked; Cut deletes only after that.
    clipboard().setText("kept");
    w.focusOn("editPassword", 0, 4);
    w.menu("Copy1");
    QCOMPARE(clipboard().text(), QString("type"));
    QVERIFY(markedSecret());
    clipboard().setText("kept");
    w.focusOn("editPassword", 0, 4);
    w.menu("Cut1");
    QCOMPARE(clipboard().text(), QString("type"));
    QVERIFY(markedSecret());
    QCOMPARE(w->field("editPassword")->text(), QString(" password here"));

    // The keyboard's own copy and cut in a secret field are marked too.
    QLineEdit* username = w.focusOn("editUsername", 0, 4);
    QTest::keySequence(username, QKeySequence::Copy);
    QCOMPARE(clipboard().text(), QString("istr"));
    QVERIFY(markedSecret());
    w.focusOn("editTitle", 0, 1);
    QTest::keySequence(w->field("editTitle"), QKeySequence::Copy);
    QVERIFY(!markedSecret());
    username = w.focusOn("editUsername", 0, 4);
    QTest::keySequence(username, QKeySequence::Cut);
    QCOMPARE(username->text(), QString("ator"));
    QVERIFY(markedSecret());
}

void ClipboardCommandsTest::theLockTakesBackOnlyWhatTheProgramCopied() {
    {
        LoggedOn w;
        QVERIFY(Options::on(w->session.options().EmptyClipboard));
        w.menu("CopyPassword1");
        w->window->tmrMinimiseTimer();
        QVERIFY(w->window->isMinimized());
        QVERIFY(!clipboardHasText());
    }
    {
        // Copied by another program since: the lock leaves it.
        LoggedOn w;
        w.menu("CopyPassword1");
        clipboard().setText("another program's text");
        w->window->tmrMinimiseTimer();
        QCOMPARE(clipboard().text(), QString("another program's text"));
    }
    {
        // With the option off, the lock leaves the clipboard alone.
        LoggedOn w;
        w->session.options().EmptyClipboard = 0;
        w.menu("CopyPassword1");
        w->window->tmrMinimiseTimer();
        QCOMPARE(clipboard().text(), QString("type password here"));
    }
}

void ClipboardCommandsTest::clearIfOursLeavesOtherProgramsText() {
    SecretClipboard::clear();
    clipboard().setText("theirs");
    QVERIFY(!SecretClipboard::clearIfOurs());  // nothing of ours was ever there
    QCOMPARE(clipboard().text(), QString("theirs"));
    SecretClipboard::copySecret("s3cret");
    QVERIFY(markedSecret());
    QVERIFY(SecretClipboard::clearIfOurs());
    QVERIFY(!clipboardHasText());
    SecretClipboard::copyText("https://example.com/");
    clipboard().setText("theirs");
    QVERIFY(!SecretClipboard::clearIfOurs());
    QCOMPARE(clipboard().text(), QString("theirs"));
    // The same text put there again by another program is taken for ours: only the text is
    // remembered, as a digest.
    SecretClipboard::copyText("same");
    clipboard().setText("same");
    QVERIFY(SecretClipboard::clearIfOurs());
}

QTEST_MAIN(ClipboardCommandsTest)
#include "ClipboardCommandsTest.moc"
