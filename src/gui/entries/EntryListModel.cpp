#include "gui/entries/EntryListModel.h"

#include "gui/ui/QtText.h"

namespace vorkel::gui {

EntryListModel::EntryListModel(const vorkel::Workspace& workspace, QObject* parent)
    : QAbstractListModel(parent),
      m_workspace(workspace),
      m_count(static_cast<int>(workspace.rows().size())) {}

void EntryListModel::reset() {
    beginResetModel();
    endChange();
}

void EntryListModel::endChange() {
    m_count = static_cast<int>(m_workspace.rows().size());
    endResetModel();
}

void EntryListModel::rowChanged(int row) {
    if (row < 0 || row >= m_count) return;
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed, {Qt::DisplayRole});
}

QModelIndex EntryListModel::index(int row, int column, const QModelIndex& parent) const {
    // The view asks for every row's index at each rebuild; the base class's checks would cost
    // two more virtual calls a row.
    if (parent.isValid() || column != 0 || row < 0 || row >= m_count) return {};
    return createIndex(row, 0);
}

int EntryListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_count;
}

QVariant EntryListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.column() != 0) return {};
    const auto& rows = m_workspace.rows();
    const auto row = static_cast<std::size_t>(index.row());
    if (row >= rows.size()) return {};
    const std::string_view title = rows[row]->title();
    return toQString(title);
}

QVariant EntryListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::DisplayRole && orientation == Qt::Horizontal && section == 0)
        return QStringLiteral("Description");
    return {};
}

Qt::ItemFlags EntryListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    // Selectable only: titles are never renamed in place.
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

}  // namespace vorkel::gui
