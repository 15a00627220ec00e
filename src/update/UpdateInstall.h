// The updater's work (TavlixUpdate): wait until Tavlix has ended, put the downloaded program
// prgDosyaları/Tavlix in place of the program file once its SHA-256 is the announced one, and
// start Tavlix again as the user who asked. Run elevated, it trusts no path that user can change.
#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QString>

#include <optional>

#include <sys/types.h>

namespace tavlix {

// Printed on standard output as soon as the updater runs; Tavlix ends only after reading it.
inline constexpr char kUpdaterReadyLine[] = "TAVLIX-UPDATE-READY";

// Waits until the process `pid` has ended (0: nothing to wait for); false when it outlives
// `timeoutMs`.
bool waitForExit(qint64 pid, int timeoutMs);

// The user who asked for the update: the caller itself when not elevated, PKEXEC_UID when
// elevated. Nothing when that user is unknown or root.
std::optional<uid_t> invokingUser();

// Lower-case hex SHA-256 of what `fd` holds from its start; empty when it cannot be read.
QByteArray sha256OfFile(int fd);

// Replaces <dir>/Tavlix with the download <dir>/prgDosyaları/Tavlix in one rename, keeping the
// previous program as Tavlix.old and its permissions. The download must be a regular file owned
// by `owner` whose SHA-256 is `sha256`; it is copied into a folder only this process can write
// and verified there, and no link is followed. Anything refused changes nothing.
Result<void> installDownloadedProgram(const QString& programDir, const QByteArray& sha256,
                                      uid_t owner);

// Starts `program` as `uid` (its groups, HOME, USER and LOGNAME) in its folder. Fails when the
// program ends with a failure within `failWithinMs`.
Result<void> startAsUser(const QString& program, uid_t uid, int failWithinMs);

struct UpdateRequest {
    QString programDir;
    qint64 pid = 0;     // Tavlix, which must end first
    QByteArray sha256;  // the value DRIVE.txt announced
    int waitMs = 60000; // how long Tavlix may take to end
    int failWithinMs = 2000;
};

// All of it: wait, install, restart (or put Tavlix.old back when the new program fails to start).
// The value is a notice for the user (empty: nothing to say); the error's message is for the user.
Result<QString> runUpdate(const UpdateRequest& request);

} // namespace tavlix
