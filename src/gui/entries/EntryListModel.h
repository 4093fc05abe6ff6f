#pragma once

#include <QAbstractListModel>
#include <QScopeGuard>
#include <utility>

#include "core/entries/Workspace.h"

namespace vorkel::gui {

/// The visible rows (lvTitlesView) as one column of titles. It holds no copy of the data: each
/// row is the workspace's pointer to the entry value of the last rebuild, so a row shows the
/// title it had then until the next rebuild.
class EntryListModel : public QAbstractListModel {
    Q_OBJECT
public:
    /// A model over `workspace.rows()`; the workspace must outlive it.
    explicit EntryListModel(const vorkel::Workspace& workspace, QObject* parent = nullptr);

    /// The way the rows change while views look at them: runs `apply` (a workspace operation)
    /// between the begin and the end of a reset, so no view sees the new rows unannounced, and
    /// returns what it returns. The reset ends even when the change throws.
    template <typename Change>
    decltype(auto) change(Change&& apply) {
        beginResetModel();
        const auto announce = qScopeGuard([this] { endChange(); });
        return std::forward<Change>(apply)();
    }
    /// Tells the views about rows the workspace rebuilt outside change(): the run state's loads
    /// (a logon, an unlock, a new data store) ask questions between their changes, and a reset
    /// cannot stay open across a modal dialog.
    void reset();
    /// Tells the views that the workspace replaced the value of one row.
    void rowChanged(int row);

    /// The index of a row of the single column (invalid outside the announced rows).
    QModelIndex index(int row, int column = 0,
                      const QModelIndex& parent = QModelIndex()) const override;
    /// The number of rows announced by the last change() or reset().
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    /// The row's title as of the last rebuild (display role only).
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    /// "Description" for the one column.
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    /// Selectable and enabled; never editable, never with children.
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void endChange();

    const vorkel::Workspace& m_workspace;
    // The row count the views were last told: after a change outside change() the views must
    // not see the new count before reset() announces it.
    int m_count = 0;
};

}  // namespace vorkel::gui
