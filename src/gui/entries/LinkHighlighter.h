#pragma once

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

namespace vorkel::gui {

/// Draws the web addresses of each line of a document as links (blue, underlined) as the text
/// changes. It only paints: the document's text and formats stay plain.
class LinkHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    /// Highlights `document` (owned by the caller).
    explicit LinkHighlighter(QTextDocument* document);
    /// Switches the drawing of links on or off, redrawing the whole document.
    void setEnabled(bool enabled);
    /// True while links are drawn.
    bool isEnabled() const { return m_enabled; }

protected:
    void highlightBlock(const QString& text) override;

private:
    QTextCharFormat m_link;
    bool m_enabled = true;
};

}  // namespace vorkel::gui
