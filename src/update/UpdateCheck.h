// The update check run at every start (indirOku): the update information file DRIVE.txt names the
// latest version; a newer one is downloaded through the browser into prgDosyaları/ and the
// updater TavlixUpdate is started elevated to put it in place, after which the program ends.
#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace tavlix {
class UserPrompt;
}

namespace tavlix::portal {

struct UpdateSettings {
    QString infoUrl;    // TAVLIX_UPDATE_INFO_URL; empty: no release server, the check is skipped
    QString programUrl; // TAVLIX_UPDATE_PROGRAM_URL: the page the new program is downloaded from
    QString programDir;
    int version = 0; // this program's version number, 103 for 1.0.3

    static UpdateSettings fromEnvironment(const QString& programDir, int version);
};

enum class UpdateOutcome {
    Skipped,       // no information address set
    Offline,       // the offline message was shown
    NoUpdate,      // no newer version, or the information could not be fetched or read
    Failed,        // a newer version exists but its download or the updater failed (told)
    UpdaterStarted // the updater runs; the program must end now
};

// The latest version a DRIVE.txt announces: the last field (comma or line break ends one) with
// "||"; from its first "|" the 5th to 7th characters, three digits. Nothing when there is none.
std::optional<int> latestVersion(const QByteArray& driveText);

class UpdateCheck {
public:
    // Starts the updater with its arguments; startElevated unless a test replaces it.
    using Launcher = std::function<Result<void>(const QString& program, const QStringList& args)>;

    static constexpr int kInfoTimeoutMs = 2000;
    static constexpr int kDownloadTimeoutMs = 5 * 60 * 1000;

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

private:
    UpdateSettings m_settings;
    UserPrompt& m_prompt;
    Launcher m_launcher;
    int m_downloadTimeoutMs = kDownloadTimeoutMs;
};

} // namespace tavlix::portal
