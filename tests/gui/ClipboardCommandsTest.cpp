// The "Edit" menu's clipboard commands on the editor fields of a logged-on window.

#include <QAction>
#include <QClipboard>
#include <QImage>
#include <QMimeData>

#include "MainWindowHarness.h"
#include "storage/SampleContent.h"

using namespace vorkel;
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

QTEST_MAIN(ClipboardCommandsTest)
#include "ClipboardCommandsTest.moc"
