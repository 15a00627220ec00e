// An HTTP GET whose body is saved to a file. The body goes to a temporary file beside the target,
// renamed over it only on status 200: a failed download leaves the old file as it was.
#pragma once

#include "platform/Result.h"

#include <QString>

#include <functional>

namespace tavlix {

// The error's message is Turkish; `status`, when given, receives the HTTP status (0 when no
// server answered). `keepAlive` is called about every 20 ms while the transfer runs.
Result<void> downloadToFile(const QString& url, const QString& targetPath,
                            const std::function<void()>& keepAlive = {}, long* status = nullptr);

} // namespace tavlix
