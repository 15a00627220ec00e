// The processes and folders of browser sessions. A session keeps its browser's files in
// <temp>/tavlix-browser-<pid of the run>-<boot>-<its start ticks>-XXXXXX and hands that folder to
// its driver (--log-path) and browser (--user-data-dir), so every process of the session carries
// it on its command line. Nothing is put into their environment: whatever the browser starts
// (a viewer through xdg-open, a mail program) inherits the environment and is the user's.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <string_view>

namespace tavlix::browser {

// The start of a living process in clock ticks since boot (/proc/<pid>/stat); 0 when it is gone
// or a zombie. Ticks of the same boot are one clock, whatever the wall clock does.
qint64 processStartTicks(qint64 pid);

// True while the process `pid` that started at `ticks` runs: the same id with another start is
// another program that reuses the id.
bool sameProcess(qint64 pid, qint64 ticks);

// A short tag of the current boot (from /proc/sys/kernel/random/boot_id): ticks of another boot
// say nothing about this one.
QString bootTag();

// "tavlix-browser-<pid>-<boot>-<ticks>-": the name every folder of this run's sessions begins with.
QString sessionFolderPrefix();

// True when one argument of a command line names the folder or a path inside it as an option's
// value ("--user-data-dir=<folder>", "--log-path=<folder>/…"). A file of the folder given as a
// plain argument (a viewer opened on it) does not count. Allocates nothing.
bool commandLineCarries(std::string_view commandLine, std::string_view folder);

// For a process forked from this one and not yet exec'd (the session's guard): ends this user's
// processes that carry the folder, with calls that are safe there (no allocation, no lock).
void endCarriersAfterFork(std::string_view folder);

// Living processes of this user whose command line carries the folder.
QList<qint64> processesCarrying(const QString& folder);

// Ends (SIGKILL) the processes carrying the folder until none is left or `timeoutMs` passed;
// the number ended. Keeps the window painting meanwhile.
int endProcessesCarrying(const QString& folder, int timeoutMs);

// Removes a session folder after its browser ended, with the folder the browser made for its
// single-instance socket in the temporary folder (which a killed browser leaves behind).
bool removeSessionFolder(const QString& folder);

// A visible session left to the user: its folder stays while any process carries it.
void markLeftToUser(const QString& folder);
bool leftToUser(const QString& folder);

// What a start swept up.
struct SweepResult {
    int processes = 0; // ended (SIGKILL)
    int folders = 0;   // removed
};

// Ends the processes of sessions that runs of this user left which no longer run (crashed or
// killed) and removes their folders. Sessions of a run still alive (this one or another Tavlix)
// are left alone, and so is a browser left to the user while it runs.
SweepResult sweepLeftoverSessions(const QString& tempDir);

} // namespace tavlix::browser
