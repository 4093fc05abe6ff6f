#pragma once

#include <QDialog>

class LinkOpener;
class QLabel;

/// The modal about box: the product name, its version and the product web site as a link,
/// closed by "OK".
class AboutBox : public QDialog {
    Q_OBJECT
public:
    /// `links` opens the web site when its link is clicked.
    AboutBox(LinkOpener& links, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    LinkOpener& m_links;
    QLabel* m_siteLink;
};
