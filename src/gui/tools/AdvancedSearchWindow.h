#pragma once

#include <QWidget>
#include <cstddef>
#include <vector>

#include "core/tools/AdvancedSearch.h"

namespace vorkel {
class RunState;
class Workspace;
}  // namespace vorkel

class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QStringListModel;

namespace vorkel::gui {

class ListPane;
class MessageService;

/// The advanced search window TfmAdvancedSearch: searches the descriptions and notes of every
/// entry and lists the matches as formatted results; a click shows the entry in the entry list.
/// Made once, owned by the window it follows, shown without blocking and hidden when closed.
class AdvancedSearchWindow : public QWidget {
    Q_OBJECT
public:
    /// A hidden window over `workspace`, centred on the screen, owned by `owner` and hidden with
    /// it; found entries are shown in `list`, and `run` tells whether the owner is locked. All
    /// must outlive the window.
    AdvancedSearchWindow(QWidget& owner, const vorkel::Workspace& workspace, ListPane& list,
                         const vorkel::RunState& run, MessageService& messages);
    ~AdvancedSearchWindow() override;
    AdvancedSearchWindow(const AdvancedSearchWindow&) = delete;
    AdvancedSearchWindow& operator=(const AdvancedSearchWindow&) = delete;

    /// Before each opening: no results and an empty search field.
    void clearForOpening();
    /// Empties lblResults and shows every entry in the main window (its quick search dropped),
    /// so entry-list positions name the same entries as visible rows.
    void ResetSearch();
    /// Searches for the field's text and fills lbHTM, lstID and lblResults.
    void RunSearch();
    /// The search button (and Enter in the field): ResetSearch, then RunSearch.
    void btnSearchClick();
    /// Shows the entry of result item `item` in the main window; nothing for an item without
    /// an entry (the "did not match" item) or an entry gone since the search.
    void lbHTMClick(int item);
    /// lstID: the entry-list position of each result item at the time of the search.
    std::vector<std::size_t> lstID() const { return m_found.positions(); }

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildHeader();
    QWidget* buildResultsBar();
    /// Keeps the header's controls centred over the window's width.
    void FormResize();
    /// Hides with the main window (minimised or locked) and comes back when it is restored, so
    /// no excerpt of the notes stays on screen while the program is put away.
    void followOwner(QEvent* event);
    void setResults(const QStringList& items);

    QWidget& m_owner;
    const vorkel::Workspace& m_workspace;
    ListPane& m_list;
    const vorkel::RunState& m_run;
    MessageService& m_ui;
    QWidget* m_top = nullptr;
    QLabel* m_caption = nullptr;
    QLineEdit* m_searchFor = nullptr;
    QPushButton* m_search = nullptr;
    QWidget* m_resultsBar = nullptr;
    QLabel* m_results = nullptr;
    QListView* m_view = nullptr;
    QStringListModel* m_items = nullptr;
    // The last search: one hit per result item, none while the list shows no entry.
    vorkel::SearchResults m_found;
    bool m_hiddenWithOwner = false;
};

}  // namespace vorkel::gui
