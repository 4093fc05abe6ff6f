#include "gui/entries/TypeEditDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

#include "gui/ui/MessageService.h"
#include "gui/ui/Named.h"
#include "gui/ui/QtText.h"

namespace vorkel::gui {

namespace {

constexpr const char* kInfo =
    "You can Add, Edit or Delete the list of password types that Vorkel records.  Edit or Delete "
    "by selecting an item in the list below.  Click the Add button to create a new password type.";
constexpr const char* kAddCaption = "New Password Type";
constexpr const char* kEditCaption = "Edit Password Type";
constexpr const char* kPrompt = "Enter a Type Description";

QPushButton* button(const char* caption, const char* name, QWidget* parent) {
    return named(new QPushButton(QString::fromUtf8(caption), parent), name);
}

}  // namespace

TypeEditDialog::TypeEditDialog(const std::vector<std::string>& types, MessageService& messages,
                               QWidget* parent)
    : ToolDialog(parent), m_messages(messages), m_types(new QListWidget) {
    setObjectName(QStringLiteral("TfmTypeEdit"));
    setWindowTitle(QStringLiteral("Edit Password Types"));

    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("tabPassTypes"));
    auto* icon = new QLabel(page);
    icon->setObjectName(QStringLiteral("imgPassTypes"));
    icon->setPixmap(style()->standardIcon(QStyle::SP_FileDialogListView).pixmap(32, 32));
    auto* info = new QLabel(QString::fromUtf8(kInfo), page);
    info->setObjectName(QStringLiteral("lblInfo"));
    info->setTextFormat(Qt::PlainText);
    info->setWordWrap(true);

    m_types->setParent(page);
    m_types->setObjectName(QStringLiteral("lstTypes"));
    m_types->setSelectionMode(QAbstractItemView::SingleSelection);
    m_types->setSortingEnabled(false);
    for (const std::string& type : types) m_types->addItem(toQString(type));

    QPushButton* add = button("&Add", "btnAdd", page);
    QPushButton* edit = button("&Edit", "btnEdit", page);
    QPushButton* remove = button("&Delete", "btnDelete", page);
    connect(add, &QPushButton::clicked, this, &TypeEditDialog::btnAddClick);
    connect(edit, &QPushButton::clicked, this, &TypeEditDialog::btnEditClick);
    connect(remove, &QPushButton::clicked, this, &TypeEditDialog::btnDeleteClick);

    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(info, 1);
    auto* listButtons = new QHBoxLayout;
    listButtons->addWidget(add);
    listButtons->addWidget(edit);
    listButtons->addWidget(remove);
    listButtons->addStretch();
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->addLayout(top);
    pageLayout->addWidget(m_types, 1);
    pageLayout->addLayout(listButtons);

    auto* tabs = new QTabWidget;
    tabs->setObjectName(QStringLiteral("pgcTypes"));
    tabs->addTab(page, QStringLiteral("Password Types"));

    QPushButton* ok = layOutTabs(tabs).ok;
    ok->setDefault(true);  // Enter means OK, never the first button on the page
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    setFixedSize(360, 340);
    m_types->setFocus();
}

std::vector<std::string> TypeEditDialog::types() const {
    std::vector<std::string> all;
    all.reserve(std::size_t(m_types->count()));
    for (int i = 0; i < m_types->count(); ++i) all.push_back(toStdString(m_types->item(i)->text()));
    return all;
}

int TypeEditDialog::selectedRow() const {
    const QList<QListWidgetItem*> selected = m_types->selectedItems();
    return selected.isEmpty() ? -1 : m_types->row(selected.first());
}

void TypeEditDialog::btnAddClick() {
    const auto text = m_messages.inputText(kAddCaption, kPrompt, "");
    if (text) m_types->addItem(toQString(*text));
}

void TypeEditDialog::btnEditClick() {
    const int row = selectedRow();
    if (row < 0) return;
    QListWidgetItem* item = m_types->item(row);
    const auto text = m_messages.inputText(kEditCaption, kPrompt, toStdString(item->text()));
    if (text) item->setText(toQString(*text));
}

void TypeEditDialog::btnDeleteClick() {
    const int row = selectedRow();
    if (row < 0) return;
    const std::string question = "Delete " + toStdString(m_types->item(row)->text()) + "?";
    if (m_messages.askOkCancel(MessageService::Kind::Confirm, question))
        delete m_types->takeItem(row);
}

}  // namespace vorkel::gui
