#pragma once

#include <QWidget>
#include <cstddef>
#include <functional>
#include <optional>

#include "core/entries/Entry.h"

class QComboBox;
class QFrame;
class QItemSelection;
class QLabel;
class QLineEdit;
class QTreeView;

namespace vorkel {
class Session;
}

namespace vorkel::gui {

class EntryListModel;

/// The left pane (pnlLeft): the order box, the quick search, the visible list lvTitlesView over
/// the session's rows, and the "Details" panel of the entry shown.
class ListPane : public QWidget {
    Q_OBJECT
public:
    /// A pane over `session`'s workspace; the session must outlive it.
    explicit ListPane(vorkel::Session& session, QWidget* parent = nullptr);
    ~ListPane() override;

    /// Rebuilds the rows with every entry, puts the search prompt back, selects no row.
    void ShowAllEntries();
    /// Empties the entry list, then ShowAllEntries.
    void ClearEntryList();
    /// The one way commands change the rows. `change` runs on the workspace inside the model's
    /// reset and returns the row to select afterwards (none: no row). Then the search prompt is
    /// back, that row is selected (which shows its entry) and, when no row is left, the editor
    /// and the "Details" panel are emptied: nothing of a gone entry stays on screen.
    void changeRows(const std::function<std::optional<std::size_t>()>& change);
    /// changeRows for rows the run state has already rebuilt (a logon, an unlock, a new data
    /// store), whose questions a reset cannot span: the first row is selected.
    void showRebuiltRows();
    /// Fills the order box with its four texts, picks "A - Z" and, with `apply`, runs the order
    /// change (a list the session has just ordered A to Z needs no second sort).
    void fillOrderBox(bool apply = true);
    /// Shows the entry of the row at `position`, scrolls that row to the top of the list
    /// unless it is already the first row shown, and selects it; nothing outside the rows.
    void SelectEntryAt(int position);
    /// The selected row, if any.
    std::optional<std::size_t> selectedRow() const;
    /// Selects the row and scrolls it into view, or clears the selection for none; always
    /// emits rowSelected (for the row, or nullopt).
    void selectRow(std::optional<std::size_t> row);
    /// Redraws one row after the workspace replaced its value (the selection stays).
    void refreshRow(std::size_t row);
    /// Fills the "Details" panel from an entry; nullptr empties it.
    void showDetails(const vorkel::Entry* e);
    /// The list height rule: the list ends one pixel above the "Details" panel.
    void pnlLeftResize();

signals:
    /// lvTitlesViewSelectItem: a row became selected or unselected (the row concerned either
    /// way, so its entry is shown), or nullopt when selectRow cleared the selection.
    void rowSelected(std::optional<std::size_t> row);
    /// A row is selected now (true) or none is (false): after a selection change or a rebuild
    /// of the rows, which drops the selection.
    void selectionPresenceChanged(bool present);
    /// A change of the rows left none: the editor empties itself too.
    void shownEntryGone();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void cmbTitleOrderChange();
    void editSearchKeyUp();
    void editSearchMouseActivate();
    void lvTitlesViewSelectItem(std::size_t row, bool selected);
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void buildDetailsPanel();
    /// What every change of the rows ends with (see changeRows).
    void showChangedRows(std::optional<std::size_t> select);
    /// The first row, when there is one.
    std::optional<std::size_t> firstRow() const;

    vorkel::Session& m_session;
    EntryListModel* m_model;
    QComboBox* m_order;
    QLineEdit* m_search;
    QTreeView* m_view;
    QFrame* m_details;
    QLabel* m_titleDesc;
    QLabel* m_created;
    QLabel* m_modified;
};

}  // namespace vorkel::gui
