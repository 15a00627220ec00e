#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace tavlix {

QString chooseProgramDir(const QString& fromEnvironment, const QString& executableDir,
                         const QString& documentsDir) {
    if (!fromEnvironment.isEmpty())
        return QDir::cleanPath(fromEnvironment);
    if (!executableDir.isEmpty() && QFileInfo(executableDir + u"/Data"_s).isDir())
        return QDir::cleanPath(executableDir);
    // Without a documents folder of the desktop, the home folder's usual one.
    const QString documents =
        documentsDir.isEmpty() ? QDir::homePath() + u"/Documents"_s : documentsDir;
    return QDir::cleanPath(documents + u"/Tavlix"_s);
}

QString programDir() {
    const QString fromEnv = qEnvironmentVariable("TAVLIX_PROGRAM_DIR");
    if (!fromEnv.isEmpty())
        return QDir::cleanPath(fromEnv);
    // Decided once: the first start makes Data/ in the chosen folder, which must not move it.
    static const QString chosen =
        chooseProgramDir(QString(), QCoreApplication::applicationDirPath(),
                         QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    return chosen;
}

Result<void> prepareProgramDir(const QString& dir) {
    const QFileInfo info(dir);
    const bool made = info.isDir() || QDir().mkpath(dir);
    if (!made || !QFileInfo(dir).isDir() ||
        ::access(QFile::encodeName(dir).constData(), W_OK | X_OK) != 0)
        return makeError(ErrorCode::Io,
                         u"Tavlix verilerini tutacağı klasörü oluşturamadı veya bu klasöre "
                         u"yazamıyor:\n%1\nKlasörün izinlerini düzeltip Tavlix'i yeniden "
                         u"başlatınız. Program kapatılacak."_s.arg(QDir::toNativeSeparators(dir)));
    return {};
}

QString dataWorkbookPath() {
    return programDir() + QStringLiteral("/Data/DATA.xlsx");
}

QString companiesDir() {
    return programDir() + QStringLiteral("/Firmalarım");
}

QString programFilesDir() {
    return programDir() + QStringLiteral("/prgDosyaları");
}

QString updaterPath() {
    const QString inProgramDir = programDir() + u"/TavlixUpdate"_s;
    if (QFileInfo::exists(inProgramDir))
        return inProgramDir;
    const QString besideExecutable = QCoreApplication::applicationDirPath() + u"/TavlixUpdate"_s;
    return QFileInfo::exists(besideExecutable) ? besideExecutable : inProgramDir;
}

QDate programToday() {
    const QString fromEnv = qEnvironmentVariable("TAVLIX_TODAY");
    if (!fromEnv.isEmpty()) {
        const QDate d = QDate::fromString(fromEnv, Qt::ISODate);
        if (d.isValid())
            return d;
    }
    return QDate::currentDate();
}

QString serviceUrl(const char* environmentVariable, const QString& realDefault) {
    const QString fromEnv = qEnvironmentVariable(environmentVariable);
    return fromEnv.isEmpty() ? realDefault : fromEnv;
}

} // namespace tavlix
