#pragma once

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

/// Draws the web addresses of each line of a document as links (blue, underlined) as the text
/// changes. It only paints: the document's text and formats stay plain.
class LinkHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    /// Highlights `document` (owned by the caller).
    explicit LinkHighlighter(QTextDocument* document);

protected:
    void highlightBlock(const QString& text) override;

private:
    QTextCharFormat m_link;
};
