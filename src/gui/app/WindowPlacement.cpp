#include "gui/app/WindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <vector>

namespace vorkel::gui {

namespace {

vorkel::ScreenRect toRect(const QRect& r) {
    return {r.x(), r.y(), r.width(), r.height()};
}

vorkel::ScreenRect screenOf(const QWidget& window) {
    const QScreen* screen = window.screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? toRect(screen->geometry()) : vorkel::ScreenRect{};
}

// The frame the window manager drew around the last window it framed in this run: a window
// shown again (after a lock) gets the same, so its size is right before it is framed.
QMargins g_lastFrame;

QMargins frameOf(const QWidget& window) {
    // The native window asks the window system; the widget's own copy may lag behind it.
    if (const QWindow* handle = window.windowHandle(); handle && window.isVisible())
        return handle->frameMargins();
    const QRect outer = window.frameGeometry();
    const QRect inner = window.geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

/// Finishes an outer geometry given before the window manager framed the window: Qt sizes
/// the client area, and only the framed window knows how much the frame adds.
class PendingOuterRect : public QObject {
public:
    PendingOuterRect(QWidget& window, const vorkel::ScreenRect& rect)
        : QObject(&window), m_window(&window), m_rect(rect) {
        setObjectName(QStringLiteral("pendingOuterRect"));
        window.installEventFilter(this);
        // The native window is exposed once the window manager has framed and mapped it.
        if (QWindow* handle = window.windowHandle()) {
            m_handle = handle;
            handle->installEventFilter(this);
        }
    }
    const vorkel::ScreenRect& rect() const { return m_rect; }
    /// No further events: replaced by a newer geometry, or done.
    void stop() {
        if (m_window) m_window->removeEventFilter(this);
        if (m_handle) m_handle->removeEventFilter(this);
        setParent(nullptr);
        deleteLater();
        m_window = nullptr;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!m_window || (watched != m_window && watched != m_handle)) return false;
        const QEvent::Type type = event->type();
        if (type != QEvent::Move && type != QEvent::Resize && type != QEvent::Show &&
            type != QEvent::Expose)
            return false;
        if (!m_window->isVisible() || frameOf(*m_window).isNull()) return false;
        QWidget* window = m_window;
        const vorkel::ScreenRect rect = m_rect;
        stop();
        m_window = nullptr;
        WindowPlacement::setOuterRect(*window, rect);
        return false;
    }

private:
    QPointer<QWidget> m_window;
    QPointer<QWindow> m_handle;
    vorkel::ScreenRect m_rect;
};

PendingOuterRect* pendingOf(const QWidget& window) {
    return window.findChild<PendingOuterRect*>(QStringLiteral("pendingOuterRect"),
                                               Qt::FindDirectChildrenOnly);
}

}  // namespace

vorkel::ScreenRect WindowPlacement::outerRect(const QWidget& window) {
    if (const PendingOuterRect* pending = pendingOf(window)) return pending->rect();
    return toRect(window.frameGeometry());
}

void WindowPlacement::setOuterRect(QWidget& window, const vorkel::ScreenRect& rect) {
    if (PendingOuterRect* pending = pendingOf(window)) pending->stop();
    const QMargins seen = frameOf(window);
    const bool framed = !seen.isNull() && window.isVisible();
    if (framed) g_lastFrame = seen;
    const QMargins frame = framed ? seen : g_lastFrame;
    const QSize inner(std::max(rect.width - frame.left() - frame.right(), 1),
                      std::max(rect.height - frame.top() - frame.bottom(), 1));
    if (framed) {
        // The client area's own geometry: exact once the frame is known.
        window.setGeometry(QRect(QPoint(rect.left + frame.left(), rect.top + frame.top()), inner));
        return;
    }
    // Not framed yet: sized by the last frame seen, and the native window is asked to put its
    // frame at the point (QWidget::move would put the client area there). The resize comes
    // first, as it resets that policy. The rest follows once the window manager framed it.
    window.resize(inner);
    if (QWindow* handle = window.windowHandle()) {
        handle->setFramePosition(QPoint(rect.left, rect.top));
    } else {
        window.move(rect.left, rect.top);
    }
    new PendingOuterRect(window, rect);
}

void WindowPlacement::applySaved(QWidget& window, const vorkel::WindowGeometry& saved) {
    if (!saved.known) return;
    std::vector<vorkel::ScreenRect> screens;
    for (const QScreen* s : QGuiApplication::screens()) screens.push_back(toRect(s->geometry()));
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary || screens.empty()) return;
    // A store made without a window (the command-line tool) carries no size: the built-in
    // client size stays, and only the frame's place is taken.
    const bool sized = saved.width > 0 && saved.height > 0;
    const vorkel::ScreenRect current = outerRect(window);
    const vorkel::ScreenRect wanted{saved.left, saved.top, sized ? saved.width : current.width,
                                    sized ? saved.height : current.height};
    const vorkel::ScreenRect placed =
        vorkel::placeOnScreen(wanted, screens, toRect(primary->geometry()));
    if (sized || placed.width != wanted.width || placed.height != wanted.height) {
        setOuterRect(window, placed);
    } else if (QWindow* handle = window.windowHandle()) {
        handle->setFramePosition(QPoint(placed.left, placed.top));
    } else {
        window.move(placed.left, placed.top);
    }
}

vorkel::WindowGeometry WindowPlacement::capture(const QWidget& window) {
    const vorkel::ScreenRect r = outerRect(window);
    return {r.left, r.top, r.width, r.height, true};
}

void WindowPlacement::applyPreset(QWidget& window, vorkel::SizePreset preset) {
    setOuterRect(window, vorkel::presetGeometry(preset, outerRect(window), screenOf(window)));
}

}  // namespace vorkel::gui
