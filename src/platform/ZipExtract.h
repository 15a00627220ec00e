// Unpacking a zip package into a folder with libzip. Entries whose names are absolute or climb
// out with ".." are refused before anything is written, so nothing lands outside the folder, and so
// are links and entries (or packages) larger than the limit, whatever size they declare.
#pragma once

#include "platform/Result.h"

#include <QStringList>

namespace tavlix {

// Bytes a package may unpack to, in one entry and in all together.
inline constexpr qint64 kUnpackLimit = 200LL * 1024 * 1024;

// Returns the relative paths written (files only). A package that cannot be read or holds an
// unsafe entry writes nothing.
Result<QStringList> extractZip(const QString& zipPath, const QString& targetDir,
                               qint64 maxBytes = kUnpackLimit);

} // namespace tavlix
