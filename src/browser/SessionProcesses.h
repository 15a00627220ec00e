// The processes and folders of browser sessions. Every session marks its driver and browser with
// TAVLIX_BROWSER_SESSION=<pid of the run>-<number>-<ms since the epoch> in their environment and
// keeps the browser's files in <temp>/tavlix-browser-<pid of the run>-<ms>-XXXXXX.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

namespace tavlix::portal {

inline constexpr char kSessionMarkerName[] = "TAVLIX_BROWSER_SESSION";

// Living processes of this user whose environment holds a marker value `accept` takes.
QList<qint64> markedProcesses(const std::function<bool(const QByteArray& value)>& accept);

// What a start swept up.
struct SweepResult {
    int processes = 0; // ended (SIGKILL)
    int folders = 0;   // removed
};

// Ends the marked processes and removes the browser folders that runs of this user left which
// are no longer running (crashed or killed runs, detached sessions of an earlier run). Sessions
// of a run still alive — this one or another Tavlix — are left alone.
SweepResult sweepLeftoverSessions(const QString& tempDir);

} // namespace tavlix::portal
