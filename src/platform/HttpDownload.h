// An HTTP GET whose body is saved to a file. The body goes to a temporary file beside the target,
// renamed over it only on status 200: a failed download leaves the old file as it was.
// Only http and https are spoken, redirects are followed only to those, and every transfer has a
// size limit, a low-speed limit and can be cancelled.
#pragma once

#include "platform/Result.h"

#include <QString>

#include <functional>

namespace tavlix {

// Size limits of the transfers.
inline constexpr qint64 kProgramDownloadLimit = 200LL * 1024 * 1024;
inline constexpr qint64 kDriverDownloadLimit = 50LL * 1024 * 1024;
inline constexpr qint64 kDriveInfoLimit = 64LL * 1024;

struct DownloadOptions {
    qint64 maxBytes = kProgramDownloadLimit;
    // Slower than 1 KiB/s for this long ends the transfer.
    int lowSpeedSeconds = 15;
    // > 0 limits the whole transfer (a fetch that must not hold the start up).
    int timeoutMs = 0;
    // Called about every 20 ms while the transfer runs.
    std::function<void()> keepAlive;
    // Asked as often: true stops the transfer.
    std::function<bool()> cancelled;
    // Receives the HTTP status (0 when no server answered).
    long* status = nullptr;
};

// The error's message is Turkish.
Result<void> downloadToFile(const QString& url, const QString& targetPath,
                            const DownloadOptions& options);

// The same with the program's size limit.
Result<void> downloadToFile(const QString& url, const QString& targetPath,
                            const std::function<void()>& keepAlive = {}, long* status = nullptr,
                            int timeoutMs = 0);

} // namespace tavlix
