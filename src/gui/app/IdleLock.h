#pragma once

#include <QObject>
#include <QTimer>

#include "core/storage/Settings.h"

namespace vorkel::gui {

/// The idle lock's timer, tmrMinimise, and the watch on key releases: every key released while
/// the watched window or one of its controls has the focus counts as activity. Mouse movement
/// and clicks do not.
class IdleLock : public QObject {
    Q_OBJECT
public:
    /// Watches `window` through a filter on the application; the timer is a child of `window`,
    /// created stopped.
    explicit IdleLock(QWidget& window);
    ~IdleLock() override;
    IdleLock(const IdleLock&) = delete;
    IdleLock& operator=(const IdleLock&) = delete;

    /// RestartIdleTimer: counts down the full interval anew, or stops when the options say the
    /// window never minimises by itself.
    void restart(const vorkel::Options& options);
    /// Stops the countdown.
    void stop();
    /// The timer tmrMinimise.
    const QTimer& timer() const { return *m_timer; }

signals:
    /// The interval passed without a key release (tmrMinimiseTimer).
    void idle();
    /// A key was released in the window or one of its controls (FormKeyUp).
    void keyReleased();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& m_window;
    QTimer* m_timer;
};

}  // namespace vorkel::gui
