// The update check run at every start (indirOku): the update information file DRIVE.txt names the
// latest version, the SHA-256 of its program and the publisher's signature of both; a newer one
// whose signature holds is announced and downloaded through the browser into prgDosyaları/,
// verified, and the updater TavlixUpdate is started (elevated when it must be) to put it in place;
// the program ends once the updater says it is ready. A failed update of any kind is not tried
// again that day.
#pragma once

#include "platform/ElevatedStart.h"
#include "platform/Result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace tavlix {
class UserPrompt;
}

namespace tavlix::update {

struct UpdateSettings {
    QString infoUrl;    // TAVLIX_UPDATE_INFO_URL; empty: no release server, the check is skipped
    QString programUrl; // TAVLIX_UPDATE_PROGRAM_URL: the page the new program is downloaded from
    QString programDir;
    int version = 0; // this program's version number, 103 for 1.0.3
    // The publisher's Ed25519 public key, the one compiled in; empty: no update is offered.
    QByteArray publicKey;
    // Off for a packaged Tavlix, whose files the package manager owns: a newer version is only
    // announced, once a day, and nothing is downloaded.
    bool selfUpdate = true;

    static UpdateSettings fromEnvironment(const QString& programDir, int version);
};

enum class UpdateOutcome {
    Skipped,       // no information address, or (online) a build without the publisher's key
    Offline,       // the offline message was shown
    NoUpdate,      // no newer version, or the information could not be fetched or read
    Announced,     // without the self-update: a newer version was named, nothing downloaded
    Failed,        // a newer version exists but its information, download, verification or the
                   // updater failed, or the administrator's permission was refused (told)
    UpdaterStarted // the updater runs; the program must end now
};

// The latest version a DRIVE.txt announces: the last field (comma or line break ends one) with
// "||"; from its first "|" the 5th to 7th characters, three digits. Nothing when there is none.
std::optional<int> latestVersion(const QByteArray& driveText);

// The SHA-256 a DRIVE.txt gives for the new program: a field "sha256:<64 hex digits>", in lower
// case. Nothing when there is none.
std::optional<QByteArray> announcedSha256(const QByteArray& driveText);

// The signature a DRIVE.txt gives for the new program: a field "sig:<128 hex digits>", as its 64
// bytes. Nothing when there is none or the first "sig:" field is malformed.
std::optional<QByteArray> announcedSignature(const QByteArray& driveText);

// The NAME=VALUE arguments handed to the updater for the restarted Tavlix: every variable of this
// process's environment that passedVariable() accepts.
QStringList restartEnvironment();

class UpdateCheck {
public:
    // Starts the updater with its arguments and waits until it says it is ready; what it printed
    // goes to `said`.
    using Launcher = std::function<StartOutcome(const QString& program, const QStringList& args,
                                                QByteArray& said)>;

    static constexpr int kInfoTimeoutMs = 2000;
    static constexpr int kDownloadTimeoutMs = 5 * 60 * 1000;
    // The password dialog of the elevating command waits for the user.
    static constexpr int kUpdaterReadyTimeoutMs = 10 * 60 * 1000;

    UpdateCheck(UpdateSettings settings, UserPrompt& prompt);

    void setLauncher(Launcher launcher) { m_launcher = std::move(launcher); }
    void setDownloadTimeout(int milliseconds) { m_downloadTimeoutMs = milliseconds; }

    UpdateOutcome indirOku();

    // Downloads the new program through the browser and waits until prgDosyaları/Tavlix is
    // complete. A stale download is removed first, so only a new file counts.
    Result<void> DownloadNewProgram();

    QString drivePath() const;
    QString downloadPath() const;
    QString updaterPath() const;
    // A version whose program could not be verified, with the day; not offered again that day.
    QString skippedPath() const;
    // The version and signature of the download, for the updater (signatureFileText).
    QString signaturePath() const;

private:
    bool skippedToday(int version) const;
    void skipToday(int version) const;
    // Tells "Güncelleme yapılamadı: <reason>. …" and remembers the version for today.
    UpdateOutcome failed(int version, const QString& reason);

    UpdateSettings m_settings;
    UserPrompt& m_prompt;
    Launcher m_launcher;
    int m_downloadTimeoutMs = kDownloadTimeoutMs;
};

} // namespace tavlix::update
