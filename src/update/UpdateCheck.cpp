#include "update/UpdateCheck.h"

#include "platform/Connectivity.h"
#include "platform/ElevatedStart.h"
#include "platform/HttpDownload.h"
#include "platform/ProgramFolder.h"
#include "platform/UserPrompt.h"
#include "update/ReleaseSignature.h"
#include "update/UpdateInstall.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QRegularExpression>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tavlix::update {

namespace {

QStringList driveFields(const QByteArray& driveText) {
    static const QRegularExpression fieldEnd(u"[,\r\n]"_s);
    return QString::fromUtf8(driveText).split(fieldEnd);
}

// What is wrong with the download, empty when it is a regular file (no link, no folder) with the
// SHA-256 the publisher signed.
QString downloadProblem(const QString& path, const QByteArray& sha256) {
    const QFileInfo info(path);
    QFile file(path);
    if (info.isSymLink() || !info.isFile() || !file.open(QIODevice::ReadOnly))
        return u"indirilen program okunamadı"_s;
    if (fileSha256(file.handle()) != sha256)
        return u"indirilen program duyurulan SHA-256 ile uyuşmuyor"_s;
    return QString();
}

QString versionDigits(int version) {
    return QString::number(version).rightJustified(3, u'0');
}

// The updater's reason for giving up, from what it printed; empty when it gave none.
QString updaterReason(const QByteArray& said) {
    for (const QByteArray& line : said.split('\n')) {
        if (line.startsWith(kUpdaterFailedPrefix))
            return QString::fromUtf8(line.mid(qstrlen(kUpdaterFailedPrefix))).trimmed().left(400);
    }
    return QString();
}

} // namespace

UpdateSettings UpdateSettings::fromEnvironment(const QString& programDir, int version) {
    UpdateSettings s;
    s.infoUrl = serviceUrl("TAVLIX_UPDATE_INFO_URL", QString());
    s.programUrl = serviceUrl("TAVLIX_UPDATE_PROGRAM_URL", QString());
    s.programDir = programDir;
    s.version = version;
    s.publicKey = compiledUpdateKey();
    s.selfUpdate = TAVLIX_SELF_UPDATE != 0;
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

std::optional<QByteArray> announcedSignature(const QByteArray& driveText) {
    for (const QString& f : driveFields(driveText)) {
        if (const QString field = f.trimmed(); field.startsWith(u"sig:"_s))
            return bytesFromHex(field.mid(4).toLatin1(), kSignatureBytes);
    }
    return std::nullopt;
}

QStringList restartEnvironment() {
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QStringList arguments;
    for (const QString& name : environment.keys()) {
        if (passedVariable(name.toLocal8Bit()))
            arguments << name + u'=' + environment.value(name);
    }
    return arguments;
}

UpdateCheck::UpdateCheck(UpdateSettings settings, UserPrompt& prompt)
    : m_settings(std::move(settings))
    , m_prompt(prompt)
    , m_launcher([this](const QString& program, const QStringList& arguments, QByteArray& said) {
        const QString folder = QFileInfo(program).absolutePath();
        return startAndAwait(
            elevatedCommand(program, arguments, userCanWrite(folder)), folder, kUpdaterReadyLine,
            [this] { m_prompt.keepAlive(); }, kUpdaterReadyTimeoutMs, &said);
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

QString UpdateCheck::signaturePath() const {
    return m_settings.programDir + u"/prgDosyaları/Tavlix.sig"_s;
}

UpdateOutcome UpdateCheck::failed(int version, const QString& reason) {
    QFile::remove(downloadPath());
    QFile::remove(signaturePath());
    skipToday(version);
    m_prompt.message(UserPrompt::Icon::Warning, updateFailedText(reason));
    return UpdateOutcome::Failed;
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
    // Without the publisher's key nothing could be verified: no update is offered.
    if (m_settings.selfUpdate && m_settings.publicKey.size() != kPublicKeyBytes)
        return UpdateOutcome::Skipped;

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
    if (!m_settings.selfUpdate) {
        const QString digits = QString::number(*latest).rightJustified(3, u'0');
        const QString version = digits.left(1) + u'.' + digits.mid(1, 1) + u'.' + digits.mid(2);
        m_prompt.message(UserPrompt::Icon::Information,
                         u"Tavlix %1 yayımlandı. Güncellemek için paket yöneticinizi "
                         u"kullanınız."_s.arg(version));
        skipToday(*latest); // said once a day
        return UpdateOutcome::Announced;
    }

    // A release is announced only once its version and hash are the ones the publisher signed:
    // an older signed release, or a signature made for another version, is not downloaded.
    const std::optional<QByteArray> sha256 = announcedSha256(text);
    const std::optional<QByteArray> signature = announcedSignature(text);
    if (!sha256)
        return failed(*latest, u"güncelleme bilgisinde (DRIVE.txt) geçerli bir SHA-256 yok"_s);
    if (!signature)
        return failed(*latest, u"güncelleme bilgisinde (DRIVE.txt) geçerli bir imza yok"_s);
    if (!releaseSignedByPublisher(*latest, *sha256, *signature, m_settings.publicKey))
        return failed(*latest, u"güncelleme bilgisindeki imza %1 sürümü ve duyurulan SHA-256 "
                               u"için geçerli değil"_s.arg(versionDigits(*latest)));
    m_prompt.message(UserPrompt::Icon::Information,
                     u"Güncelleme mevcut ! Otomatik kurulum yapılacaktır..."_s);
    if (const auto downloaded = DownloadNewProgram(); !downloaded) {
        QString why = downloaded.message();
        while (why.endsWith(u'.'))
            why.chop(1);
        return failed(*latest, u"yeni program indirilemedi (%1)"_s.arg(why));
    }
    if (const QString problem = downloadProblem(downloadPath(), *sha256); !problem.isEmpty())
        return failed(*latest, problem);
    // The updater checks the signature again itself; it takes it from here, never from argv.
    QFile::remove(signaturePath());
    QFile sig(signaturePath());
    if (!sig.open(QIODevice::WriteOnly) || sig.write(signatureFileText(*latest, *signature)) <= 0 ||
        !sig.flush())
        return failed(*latest, u"imza dosyası yazılamadı (%1)"_s.arg(signaturePath()));
    sig.close();

    // One try a day: whatever happens from here on, this version is not offered again today.
    skipToday(*latest);
    const QStringList arguments =
        QStringList{m_settings.programDir, QString::number(QCoreApplication::applicationPid())} +
        restartEnvironment();
    QByteArray said;
    switch (m_launcher(updaterPath(), arguments, said)) {
    case StartOutcome::Ready:
        return UpdateOutcome::UpdaterStarted;
    case StartOutcome::Declined:
        return failed(*latest, u"yönetici izni verilmedi"_s);
    case StartOutcome::Failed:
        break;
    }
    const QString reason = updaterReason(said);
    return failed(*latest, reason.isEmpty() ? u"TavlixUpdate başlatılamadı"_s : reason);
}

} // namespace tavlix::update
