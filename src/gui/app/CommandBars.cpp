#include "gui/app/CommandBars.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include "gui/ui/LinkLabel.h"

namespace vorkel::gui {

CommandBars::CommandBars(QMainWindow& window, std::function<void(const Command&)> run)
    : m_window(window), m_run(std::move(run)) {}

std::function<void()> CommandBars::bound(Command command) const {
    return [run = m_run, command = std::move(command)] { run(command); };
}

QMenu* CommandBars::menu(const char* caption, const char* name) {
    QMenu* m = m_window.menuBar()->addMenu(QString::fromUtf8(caption));
    m->setObjectName(name);
    return m;
}

void CommandBars::item(QMenu* menu, const char* caption, const char* name, Command command) {
    QAction* action = menu->addAction(QString::fromUtf8(caption));
    action->setObjectName(name);
    QObject::connect(action, &QAction::triggered, action, bound(std::move(command)));
}

QToolBar* CommandBars::toolBar(const char* caption, const char* name) {
    auto* bar = new QToolBar(QString::fromUtf8(caption), &m_window);
    bar->setObjectName(name);
    bar->setMovable(false);
    bar->setIconSize(QSize(32, 32));
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_window.addToolBar(Qt::TopToolBarArea, bar);
    return bar;
}

void CommandBars::button(QToolBar* bar, const char* caption, const char* name,
                         QStyle::StandardPixmap icon, Command command) {
    auto* b = new QToolButton(bar);
    b->setObjectName(name);
    b->setText(QString::fromUtf8(caption));
    b->setIcon(m_window.style()->standardIcon(icon));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    QObject::connect(b, &QToolButton::clicked, b, bound(std::move(command)));
    bar->addWidget(b);
}

void CommandBars::captionStrip(QToolBar* bar, const char* name, const std::vector<Link>& links) {
    // Beside the buttons the links would not fit the window's width and would go to the
    // toolbar's overflow menu, out of sight.
    m_window.addToolBarBreak(Qt::TopToolBarArea);
    auto* strip = new QToolBar(bar->windowTitle() + QStringLiteral(" links"), &m_window);
    strip->setObjectName(name);
    strip->setMovable(false);
    strip->toggleViewAction()->setVisible(false);
    auto* row = new QWidget(strip);
    row->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto* rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(6, 0, 6, 0);
    auto* caption = new QLabel(bar->windowTitle(), row);
    caption->setObjectName("lblToolBarCaption");
    rowLayout->addWidget(caption);
    rowLayout->addStretch(1);
    for (std::size_t i = 0; i < links.size(); ++i) {
        if (i > 0) rowLayout->addSpacing(16);
        auto* label = new LinkLabel(links[i].text, links[i].name, row);
        rowLayout->addWidget(label);
        QObject::connect(label, &LinkLabel::clicked, label, bound(links[i].command));
    }
    strip->addWidget(row);
    m_window.addToolBar(Qt::TopToolBarArea, strip);
}

}  // namespace vorkel::gui
