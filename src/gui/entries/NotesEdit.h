#pragma once

#include <QPlainTextEdit>
#include <QTextCursor>
#include <optional>

namespace vorkel::gui {

class LinkHighlighter;

/// The notes control (richDetail): plain text lines, never markup, with the web addresses found
/// and drawn as links as the user types. A left click on a link selects it and reports it.
class NotesEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    /// An empty notes control in Arial 10 with its vertical scroll bar always shown.
    explicit NotesEdit(QWidget* parent = nullptr);

    /// Shows editor text (lines separated by line feeds) as plain lines, caret at the start.
    void setNotesText(const QString& text);
    /// The lines as the user sees them, joined with line feeds; every other character as typed.
    QString notesText() const;
    /// A cursor selecting the link under a point of the viewport, if there is one.
    std::optional<QTextCursor> linkAt(const QPoint& viewportPos) const;
    /// Switches link detection on or off: off, addresses are plain text and not clickable.
    void setLinksEnabled(bool enabled);
    /// True while web addresses are drawn and open as links (the default).
    bool linksEnabled() const;

signals:
    /// OnURLClick: the link's text, after a left click selected it.
    void urlClicked(const QString& url);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    LinkHighlighter* m_links;
};

}  // namespace vorkel::gui
