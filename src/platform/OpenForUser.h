// Hands a file to the desktop's own program for it (a workbook to the spreadsheet program).
#pragma once

#include "platform/Result.h"

#include <QString>

namespace tavlix {

Result<void> openForUser(const QString& path);

} // namespace tavlix
