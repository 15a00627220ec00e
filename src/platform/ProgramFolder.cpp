#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>

namespace tavlix {

QString programDir() {
    const QString fromEnv = qEnvironmentVariable("TAVLIX_PROGRAM_DIR");
    if (!fromEnv.isEmpty())
        return QDir::cleanPath(fromEnv);
    return QCoreApplication::applicationDirPath();
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
    return programDir() + QStringLiteral("/TavlixUpdate");
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
