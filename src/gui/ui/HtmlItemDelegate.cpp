#include "gui/ui/HtmlItemDelegate.h"

#include <QAbstractItemView>
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QPainter>
#include <QTextCursor>
#include <QTextDocument>
#include <cmath>

namespace vorkel::gui {

namespace {

constexpr qreal kMargin = 3;

// The width an item is laid out at: the view's, since a list view hands its items no rect when
// it asks their size.
int itemWidth(const QStyleOptionViewItem& option) {
    if (const auto* view = qobject_cast<const QAbstractItemView*>(option.widget))
        return view->viewport()->width();
    return option.rect.width();
}

QPalette::ColorGroup colorGroup(const QStyleOptionViewItem& option) {
    if (!(option.state & QStyle::State_Enabled)) return QPalette::Disabled;
    return (option.state & QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
}

}  // namespace

HtmlItemDelegate::HtmlItemDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

HtmlItemDelegate::~HtmlItemDelegate() = default;

void HtmlItemDelegate::prepare(QTextDocument& doc, const QString& markup, const QFont& font,
                               int width) {
    doc.setDefaultFont(font);
    doc.setDocumentMargin(kMargin);
    // Pre-wrap keeps runs of blanks (two blanks before "Created:", a line break as two blanks)
    // while still wrapping long excerpts. A line break inside an entry's own text is a blank,
    // as everywhere else in the item.
    QString text = markup;
    text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    doc.setHtml(QStringLiteral("<div style=\"white-space: pre-wrap\">") + text +
                QStringLiteral("</div>"));
    doc.setTextWidth(width > 0 ? width : -1);
}

std::unique_ptr<QTextDocument> HtmlItemDelegate::layout(const QString& markup, const QFont& font,
                                                        int width) {
    auto doc = std::make_unique<QTextDocument>();
    prepare(*doc, markup, font, width);
    return doc;
}

void HtmlItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    const QString markup = opt.text;
    opt.text.clear();
    // The style draws the background, the selection and the focus frame; the text is ours.
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    auto doc = layout(markup, opt.font, opt.rect.width());
    const bool selected = opt.state & QStyle::State_Selected;
    const QPalette::ColorGroup group = colorGroup(opt);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette = opt.palette;
    if (selected) {
        // The item's own colours would be unreadable on the selection colour.
        const QColor text = opt.palette.color(group, QPalette::HighlightedText);
        QTextCursor all(doc.get());
        all.select(QTextCursor::Document);
        QTextCharFormat recolour;
        recolour.setForeground(text);
        all.mergeCharFormat(recolour);
        context.palette.setColor(QPalette::Text, text);
    } else {
        context.palette.setColor(QPalette::Text, opt.palette.color(group, QPalette::Text));
    }

    painter->save();
    painter->translate(opt.rect.topLeft());
    painter->setClipRect(QRect(QPoint(0, 0), opt.rect.size()));
    doc->documentLayout()->draw(painter, context);
    painter->restore();
}

QSize HtmlItemDelegate::sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    const int width = itemWidth(opt);
    // One document reused for every measurement: a long result list asks for each item's size.
    if (!m_measure) m_measure = std::make_unique<QTextDocument>();
    prepare(*m_measure, opt.text, opt.font, width);
    const QSizeF size = m_measure->size();
    return QSize(width > 0 ? width : int(std::ceil(size.width())), int(std::ceil(size.height())));
}

}  // namespace vorkel::gui
