#include "gui/entries/PasswordDetailDialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/entries/Entry.h"
#include "gui/ui/DialogButtons.h"
#include "gui/ui/QtText.h"

namespace vorkel::gui {

namespace {

constexpr const char* kInfo =
    "The information in the box below shows the password details associated with the current "
    "password selection.";

struct DetailRow {
    const char* description;
    vorkel::Field field;
};

constexpr DetailRow kRows[] = {
    {"Title", vorkel::Field::Title},
    {"Created Date", vorkel::Field::CreateDate},
    {"Created By", vorkel::Field::CreatedBy},
    {"Last Modified", vorkel::Field::EditDate},
    {"Modified By", vorkel::Field::ModifiedBy},
    {"Modified Count", vorkel::Field::ModifyCount},
    {"Last Accessed", vorkel::Field::AccessedLast},
    {"Accessed By", vorkel::Field::AccessedBy},
    {"Access Count", vorkel::Field::AccessCount},
    {"Expires", vorkel::Field::Expires},
    {"Allowed Access", vorkel::Field::AllowedAccess},
};

}  // namespace

PasswordDetailDialog::PasswordDetailDialog(QWidget* parent)
    : ToolDialog(parent), m_details(new QTreeWidget) {
    setObjectName(QStringLiteral("TfmPasswordDetail"));
    setWindowTitle(QStringLiteral("Password Detail"));

    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("tabDetail"));
    auto* icon = new QLabel(page);
    icon->setObjectName(QStringLiteral("imgDetail"));
    icon->setPixmap(style()->standardIcon(QStyle::SP_FileDialogDetailedView).pixmap(32, 32));
    auto* info = new QLabel(QString::fromUtf8(kInfo), page);
    info->setObjectName(QStringLiteral("lblInfo"));
    info->setTextFormat(Qt::PlainText);
    info->setWordWrap(true);

    m_details->setParent(page);
    m_details->setObjectName(QStringLiteral("lvDetails"));
    m_details->setColumnCount(2);
    m_details->setHeaderLabels({QStringLiteral("Description"), QStringLiteral("Value")});
    m_details->setRootIsDecorated(false);
    m_details->setItemsExpandable(false);
    m_details->setSortingEnabled(false);
    m_details->setSelectionMode(QAbstractItemView::SingleSelection);
    m_details->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_details->setAllColumnsShowFocus(true);
    // Nothing reads edits back, so the list offers none.
    m_details->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_details->header()->setSectionsMovable(false);
    m_details->header()->setStretchLastSection(true);
    m_details->setColumnWidth(0, 110);
    m_details->setColumnWidth(1, 160);

    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(info, 1);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->addLayout(top);
    pageLayout->addWidget(m_details, 1);

    auto* tabs = new QTabWidget;
    tabs->setObjectName(QStringLiteral("pgcDetail"));
    tabs->addTab(page, QStringLiteral("Password Detail"));

    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttonRow(this, ok));
    setFixedSize(340, 380);
    ok->setFocus();
}

void PasswordDetailDialog::FillEntryProperties(const vorkel::Entry& row) {
    for (const DetailRow& r : kRows) {
        auto* item = new QTreeWidgetItem(m_details);
        item->setText(0, QString::fromUtf8(r.description));
        item->setText(1, toQString(row.get(r.field)));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren);
    }
}

}  // namespace vorkel::gui
