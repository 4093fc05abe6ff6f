#include "ui/AboutBox.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "session/Messages.h"
#include "storage/SampleContent.h"
#include "ui/LinkOpener.h"
#include "ui/ProductLogo.h"
#include "ui/QtText.h"

AboutBox::AboutBox(LinkOpener& links, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      m_links(links),
      m_siteLink(new QLabel(toQString(vorkel::kProductWebSite), this)) {
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

    m_siteLink->setObjectName(QStringLiteral("lblWebSite"));
    m_siteLink->setTextFormat(Qt::PlainText);
    m_siteLink->setStyleSheet(QStringLiteral("color: blue; text-decoration: underline;"));
    m_siteLink->setCursor(Qt::PointingHandCursor);
    m_siteLink->installEventFilter(this);

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

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool AboutBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_siteLink && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            m_siteLink->rect().contains(mouse->position().toPoint())) {
            m_links.OpenLink(m_siteLink->text());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
