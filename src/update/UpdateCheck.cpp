#include "update/UpdateCheck.h"

#include "platform/Connectivity.h"
#include "platform/ElevatedStart.h"
#include "platform/HttpDownload.h"
#include "platform/ProgramFolder.h"
#include "platform/UserPrompt.h"
#include "update/UpdateInstall.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tavlix::portal {

namespace {

QStringList driveFields(const QByteArray& driveText) {
    static const QRegularExpression fieldEnd(u"[,\r\n]"_s);
    return QString::fromUtf8(driveText).split(fieldEnd);
}

// Only a regular file (no link, no folder) whose SHA-256 is the announced one is taken.
bool downloadMatches(const QString& path, const QByteArray& sha256) {
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isFile())
        return false;
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    return file.open(QIODevice::ReadOnly) && hash.addData(&file) && hash.result().toHex() == sha256;
}

// The display variables an elevating command clears, passed to the updater as arguments.
QStringList displayArguments() {
    QStringList arguments;
    for (const char* name : {"DISPLAY", "XAUTHORITY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR"}) {
        if (qEnvironmentVariableIsSet(name))
            arguments << QString::fromLatin1(name) + u'=' + qEnvironmentVariable(name);
    }
    return arguments;
}

} // namespace

UpdateSettings UpdateSettings::fromEnvironment(const QString& programDir, int version) {
    UpdateSettings s;
    s.infoUrl = serviceUrl("TAVLIX_UPDATE_INFO_URL", QString());
    s.programUrl = serviceUrl("TAVLIX_UPDATE_PROGRAM_URL", QString());
    s.programDir = programDir;
    s.version = version;
    return s;
}

std::optional<int> latestVersion(const QByteArray& driveText) {
    std::optional<QString> field;
    for (const QString& f : driveFields(driveText)) {
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

std::optional<QByteArray> announcedSha256(const QByteArray& driveText) {
    static const QRegularExpression sha(u"^sha256:([0-9a-fA-F]{64})$"_s);
    for (const QString& f : driveFields(driveText)) {
        if (const auto match = sha.match(f.trimmed()); match.hasMatch())
            return match.captured(1).toLower().toLatin1();
    }
    return std::nullopt;
}

UpdateCheck::UpdateCheck(UpdateSettings settings, UserPrompt& prompt)
    : m_settings(std::move(settings))
    , m_prompt(prompt)
    , m_launcher([this](const QString& program, const QStringList& arguments) {
        const QString folder = QFileInfo(program).absolutePath();
        return startAndAwait(
            elevatedCommand(program, arguments, userCanWrite(folder)), folder, kUpdaterReadyLine,
            [this] { m_prompt.keepAlive(); }, kUpdaterReadyTimeoutMs);
    }) {}

QString UpdateCheck::drivePath() const {
    return m_settings.programDir + u"/prgDosyaları/DRIVE.txt"_s;
}

QString UpdateCheck::downloadPath() const {
    return m_settings.programDir + u"/prgDosyaları/Tavlix"_s;
}

QString UpdateCheck::updaterPath() const {
    return m_settings.programDir + u"/TavlixUpdate"_s;
}

QString UpdateCheck::skippedPath() const {
    return m_settings.programDir + u"/prgDosyaları/AtlananSurum.txt"_s;
}

bool UpdateCheck::skippedToday(int version) const {
    QFile file(skippedPath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return file.readAll().trimmed() ==
           QByteArray::number(version) + ' ' + programToday().toString(Qt::ISODate).toLatin1();
}

void UpdateCheck::skipToday(int version) const {
    QFile file(skippedPath());
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(QByteArray::number(version) + ' ' +
                   programToday().toString(Qt::ISODate).toLatin1() + '\n');
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
    if (!latest || *latest <= m_settings.version || skippedToday(*latest))
        return UpdateOutcome::NoUpdate;

    m_prompt.message(UserPrompt::Icon::Information,
                     u"Güncelleme mevcut ! Otomatik kurulum yapılacaktır..."_s);
    if (const auto downloaded = DownloadNewProgram(); !downloaded) {
        m_prompt.message(UserPrompt::Icon::Warning,
                         u"Yeni program indirilemedi, güncelleme yapılmadı.\n"_s +
                             downloaded.message());
        return UpdateOutcome::Failed;
    }
    const std::optional<QByteArray> sha256 = announcedSha256(text);
    if (!sha256 || !downloadMatches(downloadPath(), *sha256)) {
        QFile::remove(downloadPath());
        skipToday(*latest);
        m_prompt.message(UserPrompt::Icon::Warning,
                         u"Yeni program doğrulanamadı, güncelleme yapılmadı."_s);
        return UpdateOutcome::Failed;
    }

    const QStringList arguments =
        QStringList{m_settings.programDir, QString::number(QCoreApplication::applicationPid()),
                    QString::fromLatin1(*sha256)} +
        displayArguments();
    switch (m_launcher(updaterPath(), arguments)) {
    case StartOutcome::Ready:
        return UpdateOutcome::UpdaterStarted;
    case StartOutcome::Declined:
        m_prompt.message(UserPrompt::Icon::Warning,
                         u"Güncelleme için yönetici izni verilmedi; Tavlix bu sürümle açılıyor."_s);
        return UpdateOutcome::Failed;
    case StartOutcome::Failed:
        break;
    }
    m_prompt.message(UserPrompt::Icon::Warning,
                     u"TavlixUpdate başlatılamadı, güncelleme yapılmadı."_s);
    return UpdateOutcome::Failed;
}

} // namespace tavlix::portal
