#include "gui/ui/AboutBox.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/Product.h"
#include "core/session/Messages.h"
#include "gui/ui/DialogButtons.h"
#include "gui/ui/DialogFlags.h"
#include "gui/ui/LinkLabel.h"
#include "gui/ui/LinkOpener.h"
#include "gui/ui/ProductLogo.h"
#include "gui/ui/QtText.h"

namespace vorkel::gui {

AboutBox::AboutBox(LinkOpener& links, QWidget* parent)
    : QDialog(parent, closeBoxOnly()),
      m_links(links),
      m_siteLink(new LinkLabel(toQString(vorkel::kProductWebSite), QStringLiteral("lblWebSite"),
                               this, LinkLabel::Weight::Normal)) {
    setObjectName(QStringLiteral("TfmAbout"));
    setWindowTitle(QStringLiteral("About ") + toQString(vorkel::msg::kProductName));
    setModal(true);

    auto* logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("imgLogo"));
    logo->setPixmap(productLogo(64));

    auto* name = new QLabel(toQString(vorkel::msg::kProductName), this);
    name->setObjectName(QStringLiteral("lblProductName"));
    QFont bold = name->font();
    bold.setBold(true);
    bold.setPointSize(16);
    name->setFont(bold);

    auto* version = new QLabel(toQString(vorkel::msg::kAboutVersion), this);
    version->setObjectName(QStringLiteral("lblVersion"));

    connect(m_siteLink, &LinkLabel::clicked, this,
            [this] { m_links.OpenLink(m_siteLink->text()); });

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->addWidget(name);
    texts->addWidget(version);
    texts->addSpacing(8);
    texts->addWidget(m_siteLink);
    texts->addStretch();

    auto* top = new QHBoxLayout;
    top->addWidget(logo, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(texts);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttonRow(this, ok));
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace vorkel::gui
