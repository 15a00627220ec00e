// Starting the updater: through /usr/bin/pkexec only when the program folder is not writable by the
// user, otherwise plainly. TAVLIX_ELEVATE, when set and not empty, names the elevating command for
// every start (tests put a stand-in there); set and empty means a plain start.
#pragma once

#include <QByteArray>
#include <QStringList>

#include <functional>

namespace tavlix {

// The command line that starts `program` (an absolute path), elevated when the user cannot write
// its folder.
QStringList elevatedCommand(const QString& program, const QStringList& arguments,
                            bool userCanWriteFolder);

// Whether the real user may create and rename files in `folder`.
bool userCanWrite(const QString& folder);

enum class StartOutcome {
    Ready,    // the program printed the ready line and runs on its own
    Declined, // the elevating command ended with 126 or 127 (password dialog dismissed)
    Failed,   // it could not be started, or ended (or outlived the time limit) without the line
};

// Starts `command` (its first element an absolute path) in `workingDir` and waits until it prints
// `readyLine` on its standard output; `keepAlive` is called while waiting. A process that stays
// silent past `timeoutMs` is ended. What it printed is left in `said` when given (a reason why it
// gave up, for one).
StartOutcome startAndAwait(const QStringList& command, const QString& workingDir,
                           const QByteArray& readyLine, const std::function<void()>& keepAlive,
                           int timeoutMs, QByteArray* said = nullptr);

} // namespace tavlix
