#pragma once

#include <QStyledItemDelegate>
#include <memory>

class QTextDocument;

namespace vorkel::gui {

/// Draws each item of a list from its text in a small HTML subset ("<br>", "<b>", "<u>",
/// "<font color=...>", "&nbsp;"), word-wrapped to the view's width, each item as tall as its
/// lines. Blanks are drawn as given. A selected item is drawn in the system's selection colours.
class HtmlItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit HtmlItemDelegate(QObject* parent = nullptr);
    ~HtmlItemDelegate() override;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    /// The laid-out document of one item's markup in `font`, wrapped at `width` pixels (no
    /// wrapping when `width` is not positive).
    static std::unique_ptr<QTextDocument> layout(const QString& markup, const QFont& font,
                                                 int width);

private:
    static void prepare(QTextDocument& doc, const QString& markup, const QFont& font, int width);

    mutable std::unique_ptr<QTextDocument> m_measure;
};

}  // namespace vorkel::gui
