// One HTTP GET whose body is saved to a file (libcurl). The body goes to a temporary file beside
// the target and replaces the target only when the whole body arrived with status 200, so a
// failed fetch never leaves a half file or passes an old one off as new.
#pragma once

#include "platform/Result.h"

#include <QString>

namespace tavlix {

Result<void> httpGetToFile(const QString& url, const QString& path, int timeoutMs);

} // namespace tavlix
