// Browser processes a test left behind. The test process becomes a child subreaper, so a
// browser whose driver ended is re-parented to it rather than to init and stays countable.
#pragma once

#include <QStringList>

#include <utility>

namespace tavlix::test {

// Makes orphaned descendants of this process its children (idempotent).
void becomeSubreaper();

// "pid name" of every living chromium or chromedriver process below this process. A process
// killed a moment ago may still be on its way out: the list is taken again until it is empty or
// `settleMs` have passed.
QStringList ourBrowserProcesses(int settleMs = 2000);

// The pid and arguments of the first browser (not one of its helpers) below this process;
// {0, {}} when none runs.
std::pair<qint64, QStringList> ourBrowser();

// Ends those processes (SIGKILL) and reaps them; for sessions that keep their window on purpose.
void endOurBrowserProcesses();

} // namespace tavlix::test
