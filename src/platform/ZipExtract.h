// Unpacking a zip package into a folder with libzip. Entries whose names are absolute or climb
// out with ".." are refused before anything is written, so nothing lands outside the folder.
#pragma once

#include "platform/Result.h"

#include <QStringList>

namespace tavlix {

// Returns the relative paths written (files only). A package that cannot be read or holds an
// unsafe name writes nothing.
Result<QStringList> extractZip(const QString& zipPath, const QString& targetDir);

} // namespace tavlix
