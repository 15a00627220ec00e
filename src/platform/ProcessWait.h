// Waits on the window thread that keep the window painted: the thread's events are handled at
// least every 50 ms while a child process runs. User input stays queued meanwhile, so no click
// can start something else inside the wait.
#pragma once

#include <QDeadlineTimer>

class QProcess;

namespace tavlix {

// Like QProcess::waitForFinished: false when the process could not start or is still running at
// the deadline.
bool waitForFinishedPainting(QProcess& process, int timeoutMs);

// Handles the thread's pending events except user input, once.
void paintPending();

} // namespace tavlix
