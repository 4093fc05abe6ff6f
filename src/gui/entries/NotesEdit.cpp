#include "gui/entries/NotesEdit.h"

#include <QMouseEvent>
#include <QTextBlock>

#include "core/tools/LinkDetection.h"
#include "gui/entries/LinkHighlighter.h"

namespace vorkel::gui {

NotesEdit::NotesEdit(QWidget* parent)
    : QPlainTextEdit(parent), m_links(new LinkHighlighter(document())) {
    setObjectName(QStringLiteral("richDetail"));
    setFont(QFont(QStringLiteral("Arial"), 10));
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setMouseTracking(true);
}

void NotesEdit::setNotesText(const QString& text) {
    setUpdatesEnabled(false);
    setPlainText(text);
    moveCursor(QTextCursor::Start);
    ensureCursorVisible();
    setUpdatesEnabled(true);
}

QString NotesEdit::notesText() const {
    // toPlainText() would turn no-break spaces into blanks and so change notes on every key
    // release; the raw text keeps them, and only the line breaks need mapping.
    QString text = document()->toRawText();
    for (QChar& c : text)
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) c = u'\n';
    return text;
}

void NotesEdit::setLinksEnabled(bool enabled) {
    m_links->setEnabled(enabled);
    if (!enabled) viewport()->setCursor(Qt::IBeamCursor);
}

bool NotesEdit::linksEnabled() const {
    return m_links->isEnabled();
}

std::optional<QTextCursor> NotesEdit::linkAt(const QPoint& viewportPos) const {
    if (!linksEnabled()) return std::nullopt;
    const QTextCursor nearest = cursorForPosition(viewportPos);
    const QRect caret = cursorRect(nearest);
    if (viewportPos.y() < caret.top() || viewportPos.y() > caret.bottom()) return std::nullopt;
    // The nearest caret position lies between two characters; the point is over the one on
    // its side.
    int column = nearest.positionInBlock();
    if (viewportPos.x() < caret.x()) --column;
    if (column < 0) return std::nullopt;
    const QTextBlock block = nearest.block();
    const QString text = block.text();
    const std::u16string_view line(reinterpret_cast<const char16_t*>(text.utf16()),
                                   std::size_t(text.size()));
    for (const auto& link : vorkel::findLinks(line)) {
        if (std::size_t(column) < link.start || std::size_t(column) >= link.start + link.length)
            continue;
        QTextCursor selection(block);
        selection.setPosition(block.position() + int(link.start));
        selection.setPosition(block.position() + int(link.start + link.length),
                              QTextCursor::KeepAnchor);
        return selection;
    }
    return std::nullopt;
}

void NotesEdit::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        if (auto link = linkAt(event->position().toPoint())) {
            // The link stays selected: the ordinary press handling would put the caret back.
            setTextCursor(*link);
            event->accept();
            emit urlClicked(link->selectedText());
            return;
        }
    }
    QPlainTextEdit::mousePressEvent(event);
}

void NotesEdit::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() == Qt::NoButton)
        viewport()->setCursor(linkAt(event->position().toPoint()) ? Qt::PointingHandCursor
                                                                  : Qt::IBeamCursor);
    QPlainTextEdit::mouseMoveEvent(event);
}

}  // namespace vorkel::gui
