#include "browser/DriverCheck.h"

#include "browser/DriverPaths.h"
#include "platform/HttpDownload.h"
#include "platform/ProcessWait.h"
#include "platform/UserPrompt.h"
#include "platform/ZipExtract.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace tavlix::browser {

namespace {

const QString kRecordName = u"ChromeDriverVersiyon.txt"_s;
const QString kPackageName = u"chromedriver_linux64.zip"_s;
const QString kSupportAddress = u"destek@tavlix.com.tr"_s;

struct TableRow {
    const char16_t* prefix;
    const char16_t* driver;
};
constexpr TableRow kDriverVersionTable[] = {
    {u"102", u"102.0.5005.27"}, {u"101", u"101.0.4951.41"}, {u"100", u"100.0.4896.60"},
    {u"99.", u"99.0.4844.51"},  {u"98.", u"98.0.4758.102"}, {u"97.", u"97.0.4692.71"},
    {u"96.", u"96.0.4664.45"},  {u"95.", u"95.0.4638.69"},  {u"94.", u"94.0.4606.113"},
    {u"93.", u"93.0.4577.63"},  {u"92.", u"92.0.4515.107"}, {u"91.", u"91.0.4472.101"},
    {u"90.", u"90.0.4430.24"},
};

QString majorOf(const QString& version) {
    return version.section(u'.', 0, 0);
}

bool writeRecord(const QString& path, const QString& prefix) {
    QSaveFile record(path);
    return record.open(QIODevice::WriteOnly) &&
           record.write((u"["_s + prefix + u"]\r\n"_s).toUtf8()) > 0 && record.commit();
}

void showFailure(UserPrompt& prompt, long number) {
    prompt.message(UserPrompt::Icon::Warning,
                   u"Driver indirilirken bir hata oluştu ! Hata No: %1"_s.arg(number));
}

constexpr int kNewerStoreMajor = 115;

// Fetches `url` into `path`; the HTTP status or an error number.
long fetch(const QString& url, const QString& path, qint64 maxBytes, const DriverCheckInput& input,
           UserPrompt& prompt) {
    long status = 0;
    DownloadOptions options;
    options.maxBytes = maxBytes;
    options.lowSpeedSeconds = input.lowSpeedSeconds;
    options.keepAlive = [&prompt] { prompt.keepAlive(); };
    options.cancelled = [&prompt] { return prompt.cancelled(); };
    options.status = &status;
    if (downloadToFile(url, path, options))
        return 200;
    return status != 0 && status != 200 ? status : long{kErrorNoConnection};
}

// The package of a driver version in the store's layout for that major version.
QString packageUrl(const QString& store, const QString& version) {
    return majorOf(version).toInt() >= kNewerStoreMajor
               ? store + u"/"_s + version + u"/linux64/chromedriver-linux64.zip"_s
               : store + u"/"_s + version + u"/chromedriver_linux64.zip"_s;
}

// Beyond the table: the package of the browser's own version, else of the newest driver of the
// same build that the store names in LATEST_RELEASE_<major.minor.build>.
long fetchBeyondTable(const QString& store, const QString& version, const QString& packagePath,
                      const DriverCheckInput& input, UserPrompt& prompt) {
    const long exact =
        fetch(packageUrl(store, version), packagePath, kDriverDownloadLimit, input, prompt);
    if (exact != 404)
        return exact;
    const QString build = version.section(u'.', 0, 2);
    const QString latestPath = QFileInfo(packagePath).dir().filePath(u"LATEST_RELEASE"_s);
    const long latest =
        fetch(store + u"/LATEST_RELEASE_"_s + build, latestPath, 1024, input, prompt);
    QFile file(latestPath);
    const QString named = latest == 200 && file.open(QIODevice::ReadOnly)
                              ? QString::fromLatin1(file.readAll()).trimmed()
                              : QString();
    file.close();
    QFile::remove(latestPath);
    static const QRegularExpression dotted(u"^\\d+(\\.\\d+){3}$"_s);
    if (!dotted.match(named).hasMatch() || named.section(u'.', 0, 2) != build)
        return exact;
    return fetch(packageUrl(store, named), packagePath, kDriverDownloadLimit, input, prompt);
}

} // namespace

DriverCheckInput DriverCheckInput::fromEnvironment() {
    DriverCheckInput input;
    input.browserBinary = browserPath();
    input.driverBinary = chromedriverPath();
    input.storeUrl = qEnvironmentVariable("TAVLIX_DRIVER_STORE_URL");
    input.perUserDriverPath = browser::perUserDriverPath();
    return input;
}

QString versionPrefix(const QString& version) {
    return version.left(3);
}

QString programVersion(const QString& binary) {
    if (binary.isEmpty())
        return QString();
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(binary, {u"--version"_s});
    if (!waitForFinishedPainting(process, 15000)) {
        process.kill();
        waitForFinishedPainting(process, 1000);
        return QString();
    }
    const QString firstLine =
        QString::fromUtf8(process.readAllStandardOutput()).section(u'\n', 0, 0);
    static const QRegularExpression dotted(u"\\b(\\d+(?:\\.\\d+)+)\\b"_s);
    return dotted.match(firstLine).captured(1);
}

QString recordedPrefix(const QString& recordText) {
    QString prefix;
    static const QRegularExpression separators(u"[,\\r\\n]"_s);
    for (const QString& field : recordText.split(separators)) {
        const qsizetype bracket = field.indexOf(u'[');
        if (bracket >= 0)
            prefix = field.mid(bracket + 1, 3);
    }
    return prefix;
}

QString tableDriverVersion(const QString& prefix) {
    for (const TableRow& row : kDriverVersionTable)
        if (prefix == QString::fromUtf16(row.prefix))
            return QString::fromUtf16(row.driver);
    return QString();
}

QString defaultDriverStore(int major) {
    return major >= kNewerStoreMajor ? u"https://storage.googleapis.com/chrome-for-testing-public"_s
                                     : u"https://chromedriver.storage.googleapis.com"_s;
}

DriverCheckOutcome checkChromeVersiyon(const DriverCheckInput& input, UserPrompt& prompt) {
    const QFileInfo installed(input.perUserDriverPath);
    const QDir folder = installed.absoluteDir();
    const QString recordPath = folder.filePath(kRecordName);
    QFile record(recordPath);
    // A record counts only beside the driver it describes.
    const bool haveRecord = installed.isFile() && record.open(QIODevice::ReadOnly);
    const QString recorded =
        haveRecord ? recordedPrefix(QString::fromUtf8(record.readAll())) : QString();
    record.close();

    const QString version = programVersion(input.browserBinary);
    if (version.isEmpty()) {
        showFailure(prompt, kErrorFileMissing);
        return DriverCheckOutcome::Failed;
    }
    const QString prefix = versionPrefix(version);
    if (haveRecord && recorded == prefix)
        return DriverCheckOutcome::UpToDate;

    // A driver of the browser's own major version needs nothing fetched: record it and go on.
    const QString driverVersion = programVersion(input.driverBinary);
    if (!driverVersion.isEmpty() && majorOf(driverVersion) == majorOf(version) &&
        QDir().mkpath(folder.path()) && writeRecord(recordPath, prefix))
        return DriverCheckOutcome::RecordedMatching;
    // Without a record this user has no driver of ours yet: one is fetched like an update.

    prompt.message(UserPrompt::Icon::Information,
                   u" Chrome güncellemesi tespit edildi, Tavlix faturayı yüklemeden önce driver "
                   u"güncellemesi yapacak!"_s);
    prompt.progress(u"Driver indiriliyor..."_s);
    QString store =
        input.storeUrl.isEmpty() ? defaultDriverStore(majorOf(version).toInt()) : input.storeUrl;
    while (store.endsWith(u'/'))
        store.chop(1);
    if (!QDir().mkpath(folder.path())) {
        showFailure(prompt, kErrorWriteFailed);
        return DriverCheckOutcome::Failed;
    }
    const QString packagePath = folder.filePath(kPackageName);
    const QString tableVersion = tableDriverVersion(prefix);
    long status = 0;
    if (!tableVersion.isEmpty()) {
        status = fetch(packageUrl(store, tableVersion), packagePath, kDriverDownloadLimit, input,
                       prompt);
    } else {
        status = fetchBeyondTable(store, version, packagePath, input, prompt);
        if (status != 200 && !prompt.cancelled())
            prompt.message(UserPrompt::Icon::Warning,
                           u" Chrome Tarayıcı versiyonu 90.x ile 102.x arası destekleniyor. "
                           u"Sizin versiyonunuz: "_s +
                               version + u" lütfen destek isteyiniz. "_s + kSupportAddress);
    }
    if (prompt.cancelled()) {
        QFile::remove(packagePath);
        return DriverCheckOutcome::Cancelled;
    }
    if (status != 200) {
        if (!prompt.cancelled())
            showFailure(prompt, status);
        return DriverCheckOutcome::Failed;
    }

    // Unpack into a folder of its own, take the chromedriver out of it, clean up.
    const QString unpackDir = folder.filePath(u"chromedriver_paket"_s);
    QDir(unpackDir).removeRecursively();
    const Result<QStringList> unpacked = extractZip(packagePath, unpackDir);
    QString driverFile;
    if (unpacked)
        for (const QString& name : *unpacked)
            if (name.section(u'/', -1) == u"chromedriver"_s)
                driverFile = QDir(unpackDir).filePath(name);
    long failure = 0;
    if (!unpacked)
        failure = kErrorWriteFailed;
    else if (driverFile.isEmpty())
        failure = kErrorNoDriverInside;
    if (failure == 0) {
        QFile source(driverFile);
        QSaveFile target(input.perUserDriverPath);
        if (!source.open(QIODevice::ReadOnly) || !target.open(QIODevice::WriteOnly) ||
            target.write(source.readAll()) < 0 || !target.commit() ||
            !QFile::setPermissions(input.perUserDriverPath, QFile::ReadOwner | QFile::WriteOwner |
                                                                QFile::ExeOwner | QFile::ReadGroup |
                                                                QFile::ExeGroup | QFile::ReadOther |
                                                                QFile::ExeOther))
            failure = kErrorWriteFailed;
    }
    QDir(unpackDir).removeRecursively();
    QFile::remove(packagePath);
    if (failure != 0 || !writeRecord(recordPath, prefix)) {
        showFailure(prompt, failure != 0 ? failure : long{kErrorWriteFailed});
        return DriverCheckOutcome::Failed;
    }
    prompt.message(UserPrompt::Icon::Information,
                   u"Driver başarı ile güncellendi. İşleminize kalınan yerden devam edilecek..."_s);
    return DriverCheckOutcome::Updated;
}

} // namespace tavlix::browser
