#include "update/UpdateCheck.h"

#include "platform/Connectivity.h"
#include "platform/ElevatedStart.h"
#include "platform/HttpDownload.h"
#include "platform/ProgramFolder.h"
#include "platform/UserPrompt.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tavlix::portal {

UpdateSettings UpdateSettings::fromEnvironment(const QString& programDir, int version) {
    UpdateSettings s;
    s.infoUrl = serviceUrl("TAVLIX_UPDATE_INFO_URL", QString());
    s.programUrl = serviceUrl("TAVLIX_UPDATE_PROGRAM_URL", QString());
    s.programDir = programDir;
    s.version = version;
    return s;
}

std::optional<int> latestVersion(const QByteArray& driveText) {
    static const QRegularExpression fieldEnd(u"[,\r\n]"_s);
    std::optional<QString> field;
    for (const QString& f : QString::fromUtf8(driveText).split(fieldEnd)) {
        if (f.contains(u"||"_s))
            field = f;
    }
    if (!field)
        return std::nullopt;
    const QString digits = field->mid(field->indexOf(u'|'), 11).mid(4, 3);
    if (digits.size() != 3 ||
        !std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    return digits.toInt();
}

UpdateCheck::UpdateCheck(UpdateSettings settings, UserPrompt& prompt)
    : m_settings(std::move(settings))
    , m_prompt(prompt)
    , m_launcher(&startElevated) {}

QString UpdateCheck::drivePath() const {
    return m_settings.programDir + u"/prgDosyaları/DRIVE.txt"_s;
}

QString UpdateCheck::downloadPath() const {
    return m_settings.programDir + u"/prgDosyaları/Tavlix"_s;
}

QString UpdateCheck::updaterPath() const {
    return m_settings.programDir + u"/TavlixUpdate"_s;
}

UpdateOutcome UpdateCheck::indirOku() {
    if (m_settings.infoUrl.isEmpty())
        return UpdateOutcome::Skipped;
    if (!isOnline()) {
        m_prompt.message(UserPrompt::Icon::Information,
                         u"İnternet bağlantınız yok Fatura yüklenemez !"_s);
        return UpdateOutcome::Offline;
    }

    // Only a file fetched now is read: a failed fetch leaves no file behind to be taken for new.
    QDir().mkpath(m_settings.programDir + u"/prgDosyaları"_s);
    DownloadOptions info;
    info.maxBytes = kDriveInfoLimit;
    info.timeoutMs = kInfoTimeoutMs;
    if (!downloadToFile(m_settings.infoUrl, drivePath(), info))
        return UpdateOutcome::NoUpdate;
    QFile drive(drivePath());
    const bool read = drive.open(QIODevice::ReadOnly);
    const QByteArray text = read ? drive.readAll() : QByteArray();
    drive.close();
    QFile::remove(drivePath());
    const std::optional<int> latest = latestVersion(text);
    if (!latest || *latest <= m_settings.version)
        return UpdateOutcome::NoUpdate;

    m_prompt.message(UserPrompt::Icon::Information,
                     u"Güncelleme mevcut ! Otomatik kurulum yapılacaktır..."_s);
    if (const auto downloaded = DownloadNewProgram(); !downloaded) {
        m_prompt.message(UserPrompt::Icon::Warning,
                         u"Yeni program indirilemedi, güncelleme yapılmadı.\n"_s +
                             downloaded.message());
        return UpdateOutcome::Failed;
    }
    const QStringList arguments{m_settings.programDir,
                                QString::number(QCoreApplication::applicationPid())};
    if (const auto started = m_launcher(updaterPath(), arguments); !started) {
        m_prompt.message(UserPrompt::Icon::Warning,
                         u"TavlixUpdate başlatılamadı, güncelleme yapılmadı.\n"_s +
                             started.message());
        return UpdateOutcome::Failed;
    }
    return UpdateOutcome::UpdaterStarted;
}

} // namespace tavlix::portal
