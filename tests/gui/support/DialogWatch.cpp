#include "support/DialogWatch.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace vorkel::test {

namespace {

// A watch that gives up while a modal window waits would leave that window's exec() blocking
// until the suite's own timeout: every modal window goes, and the test fails here and now.
void giveUp(const QString& what, int timeoutMs) {
    bool blocked = false;
    while (QWidget* w = QApplication::activeModalWidget()) {
        blocked = true;
        if (auto* dialog = qobject_cast<QDialog*>(w))
            dialog->reject();
        else
            w->close();
        if (QApplication::activeModalWidget() != w) continue;
        w->hide();  // refused to close: hiding still ends its exec()
        if (QApplication::activeModalWidget() == w) break;
    }
    if (blocked) {
        const QByteArray message = (QStringLiteral("no ") + what +
                                    QStringLiteral(" showed within %1 ms while a modal window "
                                                   "waited; every modal window was closed")
                                        .arg(timeoutMs))
                                       .toUtf8();
        QTest::qFail(message.constData(), __FILE__, __LINE__);
    }
}

}  // namespace

DialogWatch::DialogWatch(std::function<QWidget*()> find, std::function<void(QWidget*)> action,
                         int timeoutMs, QString what)
    : m_timer(std::make_unique<QTimer>()), m_ran(std::make_shared<bool>(false)) {
    QTimer* timer = m_timer.get();
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(timer, &QTimer::timeout, timer,
                     [timer, clock, ran = m_ran, find = std::move(find), action = std::move(action),
                      timeoutMs, what = std::move(what)] {
                         if (QWidget* w = find()) {
                             timer->stop();
                             *ran = true;
                             action(w);
                         } else if (clock->elapsed() > timeoutMs) {
                             timer->stop();
                             giveUp(what, timeoutMs);
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
        std::move(action), timeoutMs, QStringLiteral("window named ") + objectName);
}

DialogWatch DialogWatch::dialog(const QString& objectName, std::function<void(QDialog&)> action,
                                int timeoutMs) {
    return DialogWatch(
        [objectName]() -> QWidget* {
            auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            return d && d->isVisible() && d->objectName() == objectName ? d : nullptr;
        },
        [action = std::move(action)](QWidget* w) { action(*static_cast<QDialog*>(w)); }, timeoutMs,
        QStringLiteral("modal dialog named ") + objectName);
}

DialogWatch DialogWatch::modal(std::function<void(QWidget*)> action, int timeoutMs) {
    return DialogWatch(
        []() -> QWidget* {
            QWidget* w = QApplication::activeModalWidget();
            return w && w->isVisible() ? w : nullptr;
        },
        std::move(action), timeoutMs, QStringLiteral("modal window"));
}

}  // namespace vorkel::test
