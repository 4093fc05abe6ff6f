#pragma once

#include <QWidget>
#include <cstddef>
#include <optional>

#include "entries/Entry.h"

class QComboBox;
class QFrame;
class QItemSelection;
class QLabel;
class QLineEdit;
class QTreeView;
class EntryListModel;

namespace vorkel {
class Session;
}

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
    /// For rows the session already rebuilt with every entry (AddEntry, DeleteEntry, load,
    /// restore): tells the view, puts the search prompt back, selects no row.
    void rowsRebuilt();
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
