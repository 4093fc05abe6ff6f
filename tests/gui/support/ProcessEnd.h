#pragma once

#include <QProcess>

namespace vorkel::test {

/// True once `process` has ended, waiting up to `timeoutMs`. QProcess::waitForFinished returns
/// false for a child already reaped, which happens whenever an earlier event loop (a readyRead
/// wait, QTest::qWait) noticed the exit first; so the state is checked before and after.
inline bool processEnded(QProcess& process, int timeoutMs) {
    if (process.state() == QProcess::NotRunning) return true;
    return process.waitForFinished(timeoutMs) || process.state() == QProcess::NotRunning;
}

}  // namespace vorkel::test
