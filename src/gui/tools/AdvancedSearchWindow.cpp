#include "gui/tools/AdvancedSearchWindow.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QStringListModel>
#include <QTimer>
#include <QVBoxLayout>

#include "core/session/RunState.h"
#include "gui/entries/ListPane.h"
#include "gui/tools/SearchResultsHtml.h"
#include "gui/ui/CentreOnScreen.h"
#include "gui/ui/DrawnPicture.h"
#include "gui/ui/HtmlItemDelegate.h"
#include "gui/ui/MessageService.h"
#include "gui/ui/QtText.h"

namespace vorkel::gui {

namespace {

constexpr int kHeaderHeight = 110;
constexpr int kResultsBarHeight = 28;
constexpr int kFieldWidth = 260;  // centred: its left edge is the middle minus 130
constexpr int kButtonWidth = 148;
constexpr int kCaptionWidth = 300;

QFont arial(int pixels, bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void paintBackground(QWidget* widget, const QColor& colour) {
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
}

// The header's picture, a magnifying glass, drawn at run time like the product logo.
QPixmap magnifyingGlass(int size) {
    return drawnPicture(size, [](QPainter& painter, qreal s) {
        painter.setPen(QPen(QColor(60, 60, 60), s * 0.14, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(s * 0.62, s * 0.62), QPointF(s * 0.9, s * 0.9));
        painter.setPen(QPen(QColor(90, 139, 227), s * 0.08));
        painter.setBrush(QColor(226, 242, 254));
        painter.drawEllipse(QPointF(s * 0.4, s * 0.4), s * 0.28, s * 0.28);
    });
}

}  // namespace

AdvancedSearchWindow::AdvancedSearchWindow(QWidget& owner, const vorkel::Workspace& workspace,
                                           ListPane& list, const vorkel::RunState& run,
                                           MessageService& messages)
    : QWidget(&owner, Qt::Window),
      m_owner(owner),
      m_workspace(workspace),
      m_list(list),
      m_run(run),
      m_ui(messages) {
    setObjectName(QStringLiteral("TfmAdvancedSearch"));
    setWindowTitle(QStringLiteral("Advanced Search"));
    paintBackground(this, Qt::white);

    auto* line = new QFrame(this);
    line->setObjectName(QStringLiteral("Shape1"));
    line->setFixedHeight(1);
    paintBackground(line, QColor(0, 0, 255));

    m_items = new QStringListModel(this);
    m_view = new QListView(this);
    m_view->setObjectName(QStringLiteral("lbHTM"));
    m_view->setModel(m_items);
    m_view->setItemDelegate(new HtmlItemDelegate(m_view));
    m_view->setFont(arial(13, false));
    m_view->setFrameShape(QFrame::NoFrame);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    // Items differ in height and wrap to the width, so they are measured again on a resize.
    m_view->setUniformItemSizes(false);
    m_view->setWordWrap(true);
    m_view->setResizeMode(QListView::Adjust);
    // Measuring an item means laying out its markup: a search that finds many thousands of
    // entries is laid out in batches, between which the program stays responsive.
    m_view->setLayoutMode(QListView::Batched);
    m_view->setBatchSize(200);
    m_view->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(m_view, &QListView::clicked, this,
            [this](const QModelIndex& index) { lbHTMClick(index.row()); });
    // Enter on an item shows it too, so the results can be used without a mouse.
    connect(m_view, &QListView::activated, this,
            [this](const QModelIndex& index) { lbHTMClick(index.row()); });

    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar1"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildHeader());
    layout->addWidget(line);
    layout->addWidget(buildResultsBar());
    layout->addWidget(m_view, 1);
    layout->addWidget(status);

    setTabOrder(m_searchFor, m_search);
    setTabOrder(m_search, m_view);
    setMinimumSize(320, 240);
    resize(671, 521);
    centreOnScreen(*this);

    owner.installEventFilter(this);
}

AdvancedSearchWindow::~AdvancedSearchWindow() {
    // The children are deleted after this part of the object is gone; none may report to it.
    m_owner.removeEventFilter(this);
    m_searchFor->removeEventFilter(this);
    m_resultsBar->removeEventFilter(this);
    disconnect(m_view, nullptr, this, nullptr);
}

QWidget* AdvancedSearchWindow::buildHeader() {
    m_top = new QWidget(this);
    m_top->setObjectName(QStringLiteral("pnlTop"));
    m_top->setFixedHeight(kHeaderHeight);
    paintBackground(m_top, Qt::white);

    auto* glass = new QLabel(m_top);
    glass->setObjectName(QStringLiteral("imgGlass"));
    glass->setPixmap(magnifyingGlass(64));
    glass->setGeometry(16, 23, 64, 64);

    m_caption = new QLabel(QStringLiteral("Vorkel Advanced Search"), m_top);
    m_caption->setObjectName(QStringLiteral("lblAdvancedSearch"));
    m_caption->setFont(arial(19, true));
    m_caption->setAlignment(Qt::AlignCenter);
    QPalette green = m_caption->palette();
    green.setColor(QPalette::WindowText, QColor(0, 128, 0));
    m_caption->setPalette(green);
    m_caption->setGeometry(0, 8, kCaptionWidth, 28);

    m_searchFor = new QLineEdit(m_top);
    m_searchFor->setObjectName(QStringLiteral("editSearchFor"));
    m_searchFor->setGeometry(0, 42, kFieldWidth, 24);
    m_searchFor->installEventFilter(this);

    m_search = new QPushButton(QStringLiteral("Advanced Search"), m_top);
    m_search->setObjectName(QStringLiteral("btnSearch"));
    m_search->setGeometry(0, 74, kButtonWidth, 26);
    connect(m_search, &QPushButton::clicked, this, &AdvancedSearchWindow::btnSearchClick);
    return m_top;
}

QWidget* AdvancedSearchWindow::buildResultsBar() {
    m_resultsBar = new QWidget(this);
    m_resultsBar->setObjectName(QStringLiteral("pnlResults"));
    m_resultsBar->setFixedHeight(kResultsBarHeight);
    paintBackground(m_resultsBar, QColor(226, 242, 254));

    auto* caption = new QLabel(QStringLiteral("Search Results"), m_resultsBar);
    caption->setObjectName(QStringLiteral("lblSearch"));
    caption->setFont(arial(13, true));
    m_results = new QLabel(m_resultsBar);
    m_results->setObjectName(QStringLiteral("lblResults"));
    m_results->setFont(arial(13, true));

    auto* layout = new QHBoxLayout(m_resultsBar);
    layout->setContentsMargins(8, 0, 8, 0);
    layout->addWidget(caption);
    layout->addStretch(1);
    layout->addWidget(m_results);
    m_resultsBar->installEventFilter(this);
    return m_resultsBar;
}

void AdvancedSearchWindow::FormResize() {
    const int left = m_resultsBar->width() / 2 - 130;
    m_searchFor->move(left, m_searchFor->y());
    m_search->move(left + 56, m_search->y());
    m_caption->move(left - 20, m_caption->y());
}

void AdvancedSearchWindow::clearForOpening() {
    setResults({});
    m_searchFor->clear();
}

void AdvancedSearchWindow::ResetSearch() {
    m_results->clear();
    m_list.ShowAllEntries();
}

void AdvancedSearchWindow::btnSearchClick() {
    m_ui.guarded([this] {
        ResetSearch();
        RunSearch();
    });
}

void AdvancedSearchWindow::RunSearch() {
    setResults({});
    m_found = vorkel::RunSearch(m_workspace.master(), toStdString(m_searchFor->text()));
    setResults(searchResultItems(m_found));
    m_results->setText(toQString(m_found.resultsLabel));
    if (m_found.hits.empty()) m_searchFor->setFocus();
}

void AdvancedSearchWindow::setResults(const QStringList& items) {
    if (items.isEmpty()) m_found = {};
    m_items->setStringList(items);
}

void AdvancedSearchWindow::lbHTMClick(int item) {
    m_ui.guarded([this, item] {
        if (m_workspace.master().empty() || item < 0 || std::size_t(item) >= m_found.hits.size())
            return;
        // The list may have been sorted, filtered or changed since the search: the result's
        // entry is looked up where it stands now rather than at its old position.
        const auto target = vorkel::locateResult(m_workspace, m_found.hits[std::size_t(item)].key);
        if (!target) return;
        if (target->needsAllEntries) m_list.ShowAllEntries();
        m_list.SelectEntryAt(int(target->index));
    });
}

void AdvancedSearchWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_searchFor->setFocus();
}

void AdvancedSearchWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool AdvancedSearchWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_searchFor && event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) btnSearchClick();
    } else if (watched == m_resultsBar && event->type() == QEvent::Resize) {
        FormResize();
    } else if (watched == &m_owner) {
        followOwner(event);
    }
    return QWidget::eventFilter(watched, event);
}

void AdvancedSearchWindow::followOwner(QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::WindowStateChange && type != QEvent::Hide && type != QEvent::Show) return;
    if (type == QEvent::Hide && m_run.locked()) {
        // Only the lock clears the window: the next opening after it starts afresh.
        m_hiddenWithOwner = false;
        hide();
        clearForOpening();
        m_results->clear();
    } else if (m_owner.isMinimized() || type == QEvent::Hide) {
        // Minimised, or hidden for a moment (a new "Always On Top" flag re-creates the native
        // window): away with the owner, back with it, results kept.
        if (isVisible()) {
            m_hiddenWithOwner = true;
            hide();
        }
    } else if (m_hiddenWithOwner) {
        // Later, once the owner has finished its own restore: restoring may lock it instead.
        QTimer::singleShot(0, this, [this] {
            if (!m_hiddenWithOwner || !m_owner.isVisible() || m_owner.isMinimized()) return;
            m_hiddenWithOwner = false;
            show();
        });
    }
}

}  // namespace vorkel::gui
