// Hands a file to the desktop's own program for it (a workbook to the spreadsheet program).
#pragma once

#include "platform/Result.h"

#include <QString>

namespace tavlix {

// An error with a Turkish message when the file is missing or no program on this desktop opens
// files of its kind.
Result<void> openForUser(const QString& path);

// Whether the desktop names a program for files of `path`'s kind. The desktop is asked through
// xdg-mime, the lookup xdg-open makes; where xdg-mime is missing the answer is yes (cannot tell).
bool hasProgramFor(const QString& path);

} // namespace tavlix
