#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include "gui/entries/NotesEdit.h"

using namespace vorkel::gui;

namespace {

// The link-drawn ranges of a block: start and length of each underlined format.
QList<QPair<int, int>> linkRanges(const QTextBlock& block) {
    QList<QPair<int, int>> out;
    for (const QTextLayout::FormatRange& r : block.layout()->formats())
        if (r.format.fontUnderline()) out.append({r.start, r.length});
    return out;
}

}  // namespace

class NotesEditTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<NotesEdit> m_notes;
    QStringList m_clicked;

    // The centre of the character at a document position, in viewport coordinates.
    QPoint charCentre(int position) {
        QTextCursor c(m_notes->document());
        c.setPosition(position);
        const QRect left = m_notes->cursorRect(c);
        c.setPosition(position + 1);
        const QRect right = m_notes->cursorRect(c);
        return QPoint((left.x() + right.x()) / 2, left.center().y());
    }
    void click(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(m_notes->viewport(), button, {}, at);
    }

private slots:
    void init() {
        m_notes = std::make_unique<NotesEdit>();
        m_notes->resize(400, 300);
        m_notes->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_notes.get()));
        m_clicked.clear();
        connect(m_notes.get(), &NotesEdit::urlClicked, this,
                [this](const QString& url) { m_clicked << url; });
    }
    void cleanup() { m_notes.reset(); }

    void isTheNotesControl() {
        QCOMPARE(m_notes->objectName(), QStringLiteral("richDetail"));
        QCOMPARE(m_notes->font().family(), QStringLiteral("Arial"));
        QCOMPARE(m_notes->font().pointSize(), 10);
        QCOMPARE(m_notes->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    }

    void typedAddressBecomesALinkAtOnce() {
        m_notes->setFocus();
        QTest::keyClicks(m_notes.get(), "see www.example.com");
        QCOMPARE(linkRanges(m_notes->document()->firstBlock()), (QList<QPair<int, int>>{{4, 15}}));
        // Typing on past a blank ends the address; the text stays plain.
        QTest::keyClicks(m_notes.get(), ". x");
        QCOMPARE(linkRanges(m_notes->document()->firstBlock()), (QList<QPair<int, int>>{{4, 15}}));
        QCOMPARE(m_notes->toPlainText(), QStringLiteral("see www.example.com. x"));
    }

    void breakingAnAddressRemovesTheLink() {
        m_notes->setNotesText(QStringLiteral("http://a.example"));
        QCOMPARE(linkRanges(m_notes->document()->firstBlock()).size(), 1);
        m_notes->moveCursor(QTextCursor::Start);
        QTest::keyClick(m_notes.get(), Qt::Key_X);
        QCOMPARE(m_notes->toPlainText(), QStringLiteral("xhttp://a.example"));
        QVERIFY(linkRanges(m_notes->document()->firstBlock()).isEmpty());
    }

    void addressesOnEveryLineAreLinks() {
        m_notes->setNotesText(QStringLiteral(
            "first\nmail mailto:me@example.com\nftp://f.example and https://s.example"));
        QTextBlock b = m_notes->document()->firstBlock();
        QVERIFY(linkRanges(b).isEmpty());
        b = b.next();
        QCOMPARE(linkRanges(b), (QList<QPair<int, int>>{{5, 21}}));
        b = b.next();
        QCOMPARE(linkRanges(b), (QList<QPair<int, int>>{{0, 15}, {20, 17}}));
    }

    void leftClickOnALinkSelectsItAndReportsIt() {
        m_notes->setNotesText(
            QStringLiteral("line one\nGo to https://www.example.com/a?b=1 today"));
        const int start = m_notes->document()->firstBlock().next().position() + 6;
        click(charCentre(start + 10));
        QCOMPARE(m_clicked, QStringList{"https://www.example.com/a?b=1"});
        QCOMPARE(m_notes->textCursor().selectedText(),
                 QStringLiteral("https://www.example.com/a?b=1"));
        // The first and the last character are part of the link.
        m_clicked.clear();
        click(charCentre(start));
        click(charCentre(start + 28));
        QCOMPARE(m_clicked.size(), 2);
    }

    void clicksBesideALinkAreOrdinaryClicks() {
        m_notes->setNotesText(QStringLiteral("ab www.example.com\nnext"));
        click(charCentre(1));  // on "b"
        click(charCentre(2));  // on the blank before the address
        click(charCentre(3) + QPoint(0, 0), Qt::RightButton);
        // Right of the line's end, past the address.
        click(QPoint(m_notes->viewport()->width() - 5, charCentre(5).y()));
        // Below the text.
        click(QPoint(charCentre(5).x(), m_notes->viewport()->height() - 5));
        QVERIFY(m_clicked.isEmpty());
        QVERIFY(!m_notes->textCursor().hasSelection());
    }

    void markupIsNeverInterpreted() {
        const QString text =
            QStringLiteral("<b>bold</b> <a href=\"http://x.example\">y</a>\n&amp; <br>");
        m_notes->setNotesText(text);
        QCOMPARE(m_notes->toPlainText(), text);
        QCOMPARE(m_notes->document()->blockCount(), 2);
        QVERIFY(!m_notes->document()->firstBlock().charFormat().isAnchor());
        QCOMPARE(m_notes->notesText(), text);
    }

    void setNotesTextPutsTheCaretAtTheStart() {
        QString many;
        for (int i = 0; i < 200; ++i) many += QStringLiteral("line %1\n").arg(i);
        m_notes->setNotesText(many);
        m_notes->moveCursor(QTextCursor::End);
        QVERIFY(m_notes->verticalScrollBar()->value() > 0);
        m_notes->setNotesText(many);
        QCOMPARE(m_notes->textCursor().position(), 0);
        QCOMPARE(m_notes->verticalScrollBar()->value(), 0);
    }

    void notesTextKeepsEveryCharacterAndMapsLineBreaks() {
        m_notes->setNotesText(QStringLiteral("a\u00a0b\n\tc\n"));
        QCOMPARE(m_notes->notesText(), QStringLiteral("a\u00a0b\n\tc\n"));
        m_notes->moveCursor(QTextCursor::End);
        QTest::keyClick(m_notes.get(), Qt::Key_Return, Qt::ShiftModifier);  // a line separator
        QTest::keyClicks(m_notes.get(), "d");
        QCOMPARE(m_notes->notesText(), QStringLiteral("a\u00a0b\n\tc\n\nd"));
        m_notes->setNotesText({});
        QCOMPARE(m_notes->notesText(), QString());
    }

    void pointerIsAHandOverLinks() {
        m_notes->setNotesText(QStringLiteral("x www.example.com"));
        // On a real display the move goes through the window system and comes back later.
        QTest::mouseMove(m_notes->viewport(), charCentre(8));
        QTRY_COMPARE(m_notes->viewport()->cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseMove(m_notes->viewport(), charCentre(0));
        QTRY_COMPARE(m_notes->viewport()->cursor().shape(), Qt::IBeamCursor);
    }
};

QTEST_MAIN(NotesEditTest)
#include "NotesEditTest.moc"
