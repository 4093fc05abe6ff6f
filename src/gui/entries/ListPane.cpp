#include "gui/entries/ListPane.h"

#include "gui/ui/QtText.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QStyle>
#include <QTreeView>

#include "core/entries/ListOrder.h"
#include "core/session/Messages.h"
#include "core/session/Session.h"
#include "gui/entries/EntryListModel.h"

namespace vorkel::gui {

namespace {

constexpr int kDetailsHeight = 135;
constexpr int kBorder = 4;
constexpr int kListTop = 59;

QLabel* label(const QString& text, QWidget* parent, const char* name = nullptr) {
    auto* l = new QLabel(text, parent);
    if (name) l->setObjectName(QString::fromLatin1(name));
    return l;
}

}  // namespace

ListPane::ListPane(vorkel::Session& session, QWidget* parent)
    : QWidget(parent),
      m_session(session),
      m_model(new EntryListModel(session.workspace(), this)),
      m_order(new QComboBox(this)),
      m_search(new QLineEdit(this)),
      m_view(new QTreeView(this)),
      m_details(new QFrame(this)),
      m_titleDesc(label({}, m_details, "lblTitleDesc")),
      m_created(label({}, m_details, "lblCreated")),
      m_modified(label({}, m_details, "lblModified")) {
    setObjectName(QStringLiteral("pnlLeft"));
    setFixedWidth(249);
    setMinimumHeight(kListTop + 60 + kDetailsHeight);
    setAutoFillBackground(true);
    QPalette ground = palette();
    ground.setColor(QPalette::Window, QColor(90, 139, 227));
    setPalette(ground);

    label(QStringLiteral("Sort By:"), this)->setGeometry(8, 9, 70, 16);
    m_order->setObjectName(QStringLiteral("cmbTitleOrder"));
    m_order->setEditable(false);
    m_order->setGeometry(85, 6, 156, 22);
    connect(m_order, &QComboBox::activated, this, &ListPane::cmbTitleOrderChange);

    label(QStringLiteral("Quick Search:"), this)->setGeometry(8, 35, 76, 16);
    m_search->setObjectName(QStringLiteral("editSearch"));
    m_search->setGeometry(85, 32, 156, 22);
    m_search->setText(toQString(vorkel::msg::kSearchPrompt));
    m_search->installEventFilter(this);

    m_view->setObjectName(QStringLiteral("lvTitlesView"));
    m_view->setModel(m_model);
    // A million rows must cost nothing per row in the view: one row height for all, a fixed
    // column, no tree decoration and no sorting of its own.
    m_view->setUniformRowHeights(true);
    m_view->setRootIsDecorated(false);
    m_view->setItemsExpandable(false);
    m_view->setSortingEnabled(false);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setAllColumnsShowFocus(true);
    QHeaderView* header = m_view->header();
    header->setSectionsClickable(false);
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setDefaultSectionSize(190);
    header->resizeSection(0, 190);
    m_view->setGeometry(8, kListTop, 225, 200);
    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ListPane::selectionChanged);
    // Connected after the selection model's own handlers, so they have run when these report.
    auto reportPresence = [this] { emit selectionPresenceChanged(selectedRow().has_value()); };
    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this, reportPresence);
    connect(m_model, &QAbstractItemModel::modelReset, this, reportPresence);

    buildDetailsPanel();
}

ListPane::~ListPane() {
    // QWidget's destructor still unfocuses and deletes the children, which would report to the
    // part of this object that is already gone.
    for (QObject* child : findChildren<QObject*>()) {
        child->removeEventFilter(this);
        QObject::disconnect(child, nullptr, this, nullptr);
    }
}

void ListPane::buildDetailsPanel() {
    m_details->setObjectName(QStringLiteral("pnlDetails"));
    m_details->setFrameShape(QFrame::StyledPanel);
    m_details->setAutoFillBackground(true);
    QPalette plain = m_details->palette();
    plain.setColor(QPalette::Window, palette().color(QPalette::Base));
    m_details->setPalette(plain);

    auto* icon = new QLabel(m_details);
    icon->setPixmap(style()->standardIcon(QStyle::SP_FileDialogInfoView).pixmap(16, 16));
    icon->setGeometry(8, 8, 16, 16);
    QLabel* caption = label(QStringLiteral("Details"), m_details);
    QFont bold = caption->font();
    bold.setBold(true);
    caption->setFont(bold);
    caption->setGeometry(30, 8, 150, 16);

    m_titleDesc->setFont(bold);
    m_titleDesc->setWordWrap(true);
    m_titleDesc->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_titleDesc->setGeometry(8, 32, 225, 44);
    m_created->setGeometry(8, 82, 225, 16);
    m_modified->setGeometry(8, 102, 225, 16);
}

void ListPane::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    pnlLeftResize();
}

void ListPane::pnlLeftResize() {
    m_details->setGeometry(kBorder, height() - kBorder - kDetailsHeight, width() - 2 * kBorder,
                           kDetailsHeight);
    m_view->resize(m_view->width(), std::max(0, m_details->y() - 60));
}

void ListPane::ShowAllEntries() {
    changeRows([this]() -> std::optional<std::size_t> {
        m_session.workspace().ShowAllEntries();
        return std::nullopt;
    });
}

void ListPane::ClearEntryList() {
    changeRows([this]() -> std::optional<std::size_t> {
        m_session.workspace().ClearEntryList();
        return std::nullopt;
    });
}

void ListPane::changeRows(const std::function<std::optional<std::size_t>()>& change) {
    showChangedRows(m_model->change(change));
}

void ListPane::showRebuiltRows() {
    m_model->reset();
    showChangedRows(firstRow());
}

void ListPane::showChangedRows(std::optional<std::size_t> select) {
    m_search->setText(toQString(vorkel::msg::kSearchPrompt));
    if (m_session.workspace().rows().empty()) {
        showDetails(nullptr);
        emit shownEntryGone();
    }
    // The reset dropped the selection already; none to select reports nothing.
    if (select) selectRow(select);
}

std::optional<std::size_t> ListPane::firstRow() const {
    if (m_session.workspace().rows().empty()) return std::nullopt;
    return 0;
}

void ListPane::fillOrderBox(bool apply) {
    {
        const QSignalBlocker quiet(m_order);
        m_order->clear();
        for (auto order : {vorkel::ListOrder::DateAdded, vorkel::ListOrder::DateUpdated,
                           vorkel::ListOrder::AtoZ, vorkel::ListOrder::ZtoA})
            m_order->addItem(toQString(vorkel::listOrderText(order)));
        m_order->setCurrentIndex(static_cast<int>(vorkel::ListOrder::AtoZ));
    }
    if (apply) cmbTitleOrderChange();
}

void ListPane::cmbTitleOrderChange() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto normalCursor = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    const int index = m_order->currentIndex();
    changeRows([this, index] {
        m_session.workspace().ApplyOrder(index >= 0 && index <= 3 ? vorkel::ListOrder(index)
                                                                  : vorkel::ListOrder::None);
        return firstRow();
    });
}

void ListPane::editSearchKeyUp() {
    // The box's text as it stands, the prompt included: a key released on the prompt filters
    // by it.
    // Not changeRows: the box keeps what is typed, and the editor the entry it shows.
    const QByteArray text = m_search->text().toUtf8();
    m_model->change([&] {
        m_session.workspace().QuickSearch(
            std::string_view(text.constData(), std::size_t(text.size())));
    });
    if (const auto first = firstRow()) selectRow(first);
}

void ListPane::editSearchMouseActivate() {
    if (m_search->text() == toQString(vorkel::msg::kSearchPrompt)) m_search->clear();
}

bool ListPane::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_search) {
        if (event->type() == QEvent::KeyRelease) editSearchKeyUp();
        if (event->type() == QEvent::MouseButtonPress) editSearchMouseActivate();
    }
    return QWidget::eventFilter(watched, event);
}

void ListPane::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
    const int count = m_model->rowCount();
    for (const QModelIndex& index : deselected.indexes())
        if (index.column() == 0 && index.row() < count)
            lvTitlesViewSelectItem(std::size_t(index.row()), false);
    for (const QModelIndex& index : selected.indexes())
        if (index.column() == 0 && index.row() < count)
            lvTitlesViewSelectItem(std::size_t(index.row()), true);
}

void ListPane::lvTitlesViewSelectItem(std::size_t row, bool /*selected*/) {
    // Selected or unselected alike, the row concerned is the one shown.
    const vorkel::EntryPtr entry = m_session.workspace().entryOfRow(row);
    showDetails(entry.get());
    emit rowSelected(row);
}

std::optional<std::size_t> ListPane::selectedRow() const {
    const QItemSelection selection = m_view->selectionModel()->selection();
    if (selection.isEmpty()) return std::nullopt;
    return std::size_t(selection.first().top());
}

void ListPane::selectRow(std::optional<std::size_t> row) {
    QItemSelectionModel* selection = m_view->selectionModel();
    if (!row || *row >= std::size_t(m_model->rowCount())) {
        selection->clear();
        emit rowSelected(std::nullopt);
        return;
    }
    const QModelIndex index = m_model->index(int(*row));
    const bool already = selectedRow() == row;
    selection->setCurrentIndex(index,
                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_view->scrollTo(index);
    // Selecting the selected row changes nothing, so it would report nothing.
    if (already) lvTitlesViewSelectItem(*row, true);
}

void ListPane::SelectEntryAt(int position) {
    if (position < 0 || position >= m_model->rowCount()) return;
    const QModelIndex index = m_model->index(position);
    lvTitlesViewSelectItem(std::size_t(position), true);
    if (m_view->indexAt(QPoint(0, 0)).row() != position)
        m_view->scrollTo(index, QAbstractItemView::PositionAtTop);
    const bool already = selectedRow() == std::size_t(position);
    if (!already)
        m_view->selectionModel()->setCurrentIndex(
            index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ListPane::refreshRow(std::size_t row) {
    if (row < std::size_t(m_model->rowCount())) m_model->rowChanged(int(row));
}

void ListPane::showDetails(const vorkel::Entry* e) {
    if (!e) {
        m_titleDesc->clear();
        m_created->clear();
        m_modified->clear();
        return;
    }
    m_titleDesc->setText(toQString(e->title()));
    m_created->setText(QStringLiteral("Created: ") + toQString(e->get(vorkel::Field::CreateDate)));
    m_modified->setText(QStringLiteral("Last modified: ") +
                        toQString(e->get(vorkel::Field::EditDate)));
}

}  // namespace vorkel::gui
