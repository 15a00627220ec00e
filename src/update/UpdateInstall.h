// The updater's work (TavlixUpdate): wait until Tavlix has ended, put the downloaded program
// prgDosyaları/Tavlix in place of the program file, and start Tavlix again.
#pragma once

#include "platform/Result.h"

#include <QString>
#include <QStringList>

namespace tavlix {

// Waits until the process `pid` has ended (0: nothing to wait for); false when it outlives
// `timeoutMs`.
bool waitForExit(qint64 pid, int timeoutMs);

// Replaces <dir>/Tavlix with <dir>/prgDosyaları/Tavlix in one rename, keeping the previous
// program as Tavlix.old and the program's permissions, then removes the download. A missing,
// empty or unreadable download changes nothing.
Result<void> installDownloadedProgram(const QString& programDir);

// The command that starts the program again; under pkexec it runs as the user who asked for
// the update, not as root.
QStringList restartCommand(const QString& program);

// All of it: wait, install, restart. The error's message is for the user.
Result<void> runUpdate(const QString& programDir, qint64 pid, int waitMs = 60000);

} // namespace tavlix
