// The updater's work (TavlixUpdate): check the download prgDosyaları/Tavlix against the
// publisher's signature of its version and SHA-256 (prgDosyaları/Tavlix.sig), stage it where the
// asking user cannot change it, say it is ready, wait until Tavlix has ended, put the new program
// in place and start Tavlix again as that user. Run elevated, it trusts no path, key or value that
// user can change.
#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

#include <sys/types.h>

namespace tavlix {

// Printed on standard output once every check has passed; Tavlix ends only after reading it.
inline constexpr char kUpdaterReadyLine[] = "TAVLIX-UPDATE-READY";
// Printed before the updater gives up without being ready, followed by the reason (UTF-8).
inline constexpr char kUpdaterFailedPrefix[] = "TAVLIX-UPDATE-FAILED: ";
// Set for the Tavlix the updater starts after a failure: the message that Tavlix shows.
inline constexpr char kUpdateMessageVariable[] = "TAVLIX_UPDATE_MESSAGE";

// Waits until the process `pid` has ended (0: nothing to wait for); false when it outlives
// `timeoutMs`.
bool waitForExit(qint64 pid, int timeoutMs);

// The user who asked for the update: the caller itself when not elevated; elevated, the one
// pkexec, sudo or doas names (PKEXEC_UID, SUDO_UID, DOAS_USER). Nothing when unknown or root.
std::optional<uid_t> invokingUser();

// Whether Tavlix may hand the restarted program the variable `name` (TAVLIX_*, the display,
// session bus, PATH and LANG).
bool passedVariable(const QByteArray& name);

// "Güncelleme yapılamadı: <reason>. Tavlix bu sürümle açılıyor."
QString updateFailedText(const QString& reason);

// Starts `program` as `uid` (its groups, HOME, USER and LOGNAME) in its folder with `environment`
// (NAME=VALUE) added; elevated it gets nothing else of the updater's own environment. Fails when
// the program ends with a failure within `failWithinMs`.
Result<void> startAsUser(const QString& program, uid_t uid,
                         const std::vector<QByteArray>& environment, int failWithinMs);

struct UpdateRequest {
    QString programDir;
    qint64 pid = 0;         // Tavlix, which must end first
    QByteArray publicKey;   // the publisher's key compiled into the updater
    int runningVersion = 0; // a release not newer than this is refused (the compiled version)
    std::vector<QByteArray> userEnvironment; // NAME=VALUE for the restarted Tavlix only
    int waitMs = 60000;                      // how long Tavlix may take to end
    int failWithinMs = 2000;
    // Called with each staging folder just made: lets a test give it the owner or mode a
    // foreign file system (exFAT, NFS root_squash) would. Nothing sets it in the updater.
    std::function<void(const QByteArray& path)> stagingMade;
};

// All of it. First everything that can be checked while Tavlix runs: the user, the download (a
// regular file of that user's, one link), its signature on a copy staged where the user cannot
// change it, the staging folder and the free space; a failure there changes nothing. Then
// `ready()`, the wait for Tavlix, the install and the restart. After `ready()` any failure leaves
// the old program in place (a new one that does not start gives way to Tavlix.old) and starts it
// again as the user with updateFailedText(reason). The error's message is the reason.
Result<void> runUpdate(const UpdateRequest& request, const std::function<void()>& ready = {});

} // namespace tavlix
