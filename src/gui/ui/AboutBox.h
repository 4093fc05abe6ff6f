#pragma once

#include <QDialog>

namespace vorkel::gui {

class LinkOpener;
class LinkLabel;

/// The modal about box: the product name, its version and the product web site as a link,
/// closed by "OK".
class AboutBox : public QDialog {
    Q_OBJECT
public:
    /// `links` opens the web site when its link is clicked.
    AboutBox(LinkOpener& links, QWidget* parent = nullptr);

private:
    LinkOpener& m_links;
    LinkLabel* m_siteLink;
};

}  // namespace vorkel::gui
