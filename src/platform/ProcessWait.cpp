#include "platform/ProcessWait.h"

#include <QCoreApplication>
#include <QProcess>

#include <algorithm>

namespace tavlix {

namespace {
constexpr int kSliceMs = 50;
}

void paintPending() {
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool waitForFinishedPainting(QProcess& process, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        if (process.state() == QProcess::NotRunning)
            return process.error() != QProcess::FailedToStart;
        const qint64 left = deadline.remainingTime();
        if (process.waitForFinished(static_cast<int>(std::min<qint64>(left, kSliceMs))))
            return true;
        if (deadline.hasExpired())
            return process.state() == QProcess::NotRunning;
        paintPending();
    }
}

} // namespace tavlix
