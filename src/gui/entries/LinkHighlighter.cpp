#include "gui/entries/LinkHighlighter.h"

#include "core/tools/LinkDetection.h"

namespace vorkel::gui {

LinkHighlighter::LinkHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {
    m_link.setForeground(QColor(0, 0, 255));
    m_link.setFontUnderline(true);
}

void LinkHighlighter::setEnabled(bool enabled) {
    if (enabled == m_enabled) return;
    m_enabled = enabled;
    rehighlight();
}

void LinkHighlighter::highlightBlock(const QString& text) {
    // Off, no format is set, so the rehighlight takes every link format away.
    if (!m_enabled) return;
    const std::u16string_view line(reinterpret_cast<const char16_t*>(text.utf16()),
                                   std::size_t(text.size()));
    for (const auto& link : vorkel::findLinks(line))
        setFormat(int(link.start), int(link.length), m_link);
}

}  // namespace vorkel::gui
