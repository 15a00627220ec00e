// Starting a program with administrator rights: through pkexec when it is installed, otherwise a
// plain start. TAVLIX_ELEVATE, when set, names the command to put in front instead (empty: none),
// so tests and the demo start a stand-in without asking for a password.
#pragma once

#include "platform/Result.h"

#include <QStringList>

namespace tavlix {

// The command line that starts `program` elevated: the program first, then its arguments.
QStringList elevatedCommand(const QString& program, const QStringList& arguments);

// Starts that command detached from this process.
Result<void> startElevated(const QString& program, const QStringList& arguments);

} // namespace tavlix
