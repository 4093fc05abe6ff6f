#include "support/DialogWatch.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

namespace vorkel::test {

DialogWatch::DialogWatch(std::function<QWidget*()> find, std::function<void(QWidget*)> action,
                         int timeoutMs)
    : m_timer(std::make_unique<QTimer>()), m_ran(std::make_shared<bool>(false)) {
    QTimer* timer = m_timer.get();
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(
        timer, &QTimer::timeout, timer,
        [timer, clock, ran = m_ran, find = std::move(find), action = std::move(action), timeoutMs] {
            if (QWidget* w = find()) {
                timer->stop();
                *ran = true;
                action(w);
            } else if (clock->elapsed() > timeoutMs) {
                timer->stop();
            }
        });
    timer->start(5);
}

DialogWatch::DialogWatch(DialogWatch&&) noexcept = default;
DialogWatch& DialogWatch::operator=(DialogWatch&&) noexcept = default;
DialogWatch::~DialogWatch() = default;

DialogWatch DialogWatch::named(const QString& objectName, std::function<void(QWidget*)> action,
                               int timeoutMs) {
    return DialogWatch(
        [objectName]() -> QWidget* {
            const auto windows = QApplication::topLevelWidgets();
            for (QWidget* w : windows)
                if (w->isVisible() && w->objectName() == objectName) return w;
            return nullptr;
        },
        std::move(action), timeoutMs);
}

DialogWatch DialogWatch::modal(std::function<void(QWidget*)> action, int timeoutMs) {
    return DialogWatch(
        []() -> QWidget* {
            QWidget* w = QApplication::activeModalWidget();
            return w && w->isVisible() ? w : nullptr;
        },
        std::move(action), timeoutMs);
}

}  // namespace vorkel::test
