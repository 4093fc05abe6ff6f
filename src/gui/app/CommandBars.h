#pragma once

#include <QString>
#include <QStyle>
#include <functional>
#include <vector>

class QMainWindow;
class QMenu;
class QToolBar;

namespace vorkel::gui {

/// Builds a main window's menu bar and toolbars: each item, button or link named for the tests
/// and bound to a command that runs through one boundary, so a command behaves the same from
/// every place that offers it.
class CommandBars {
public:
    using Command = std::function<void()>;
    /// A link shown in a toolbar's caption strip.
    struct Link {
        QString text;
        const char* name;
        Command command;
    };

    /// Bars for `window`, which must outlive the builder; every command runs through `run`.
    CommandBars(QMainWindow& window, std::function<void(const Command&)> run);

    /// A new menu at the end of the menu bar.
    QMenu* menu(const char* caption, const char* name);
    /// A new item at the end of `menu`.
    void item(QMenu* menu, const char* caption, const char* name, Command command);
    /// A fixed toolbar with 32-pixel icons, captions under them, at the top.
    QToolBar* toolBar(const char* caption, const char* name);
    /// A new button at the end of `bar`.
    void button(QToolBar* bar, const char* caption, const char* name, QStyle::StandardPixmap icon,
                Command command);
    /// Below `bar`, a strip with `bar`'s caption at the left and `links` at the right.
    void captionStrip(QToolBar* bar, const char* name, const std::vector<Link>& links);
    /// The slot that runs `command` through the boundary, for a control the bars do not hold.
    std::function<void()> bound(Command command) const;

private:
    QMainWindow& m_window;
    std::function<void(const Command&)> m_run;
};

}  // namespace vorkel::gui
