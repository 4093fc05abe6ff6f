#pragma once

#include <QString>
#include <functional>
#include <memory>

class QDialog;
class QTimer;
class QWidget;

namespace vorkel::test {

/// Watches, from the event loop, for a window to show, and then runs an action on it once; so
/// a test can answer a modal dialog from inside its exec(). The watch ends when the action has
/// run, after the time limit, or when the watch object goes, whichever comes first. Reaching the
/// time limit while a modal window is open fails the test and closes every modal window, so a
/// missed dialog never leaves an exec() blocking.
class DialogWatch {
public:
    /// Watches for a visible window named `objectName`.
    [[nodiscard]] static DialogWatch named(const QString& objectName,
                                           std::function<void(QWidget*)> action,
                                           int timeoutMs = 5000);
    /// Watches for the active modal dialog named `objectName` (one shown by exec()).
    [[nodiscard]] static DialogWatch dialog(const QString& objectName,
                                            std::function<void(QDialog&)> action,
                                            int timeoutMs = 5000);
    /// Watches for whatever modal window becomes active (message boxes have no name).
    [[nodiscard]] static DialogWatch modal(std::function<void(QWidget*)> action,
                                           int timeoutMs = 5000);

    DialogWatch(DialogWatch&&) noexcept;
    DialogWatch& operator=(DialogWatch&&) noexcept;
    ~DialogWatch();

    /// True once the action has run.
    bool ran() const { return *m_ran; }

private:
    DialogWatch(std::function<QWidget*()> find, std::function<void(QWidget*)> action, int timeoutMs,
                QString what);

    std::unique_ptr<QTimer> m_timer;
    std::shared_ptr<bool> m_ran;
};

}  // namespace vorkel::test
