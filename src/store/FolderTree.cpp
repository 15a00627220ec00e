#include "store/FolderTree.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace tavlix::store {

bool isSafeFolderName(const QString& name) {
    if (name.isEmpty() || name == u"."_s || name == u".."_s || name.trimmed().isEmpty())
        return false;
    for (const QChar c : name) {
        if (c == u'/' || c == u'\\' || c.category() == QChar::Other_Control)
            return false;
    }
    // One path component is at most 255 bytes on the file systems the program runs on.
    return name.toUtf8().size() <= 255;
}

const QStringList& companySubfolders() {
    static const QStringList folders = {
        u"Alış Faturaları"_s,      u"Satış Faturaları"_s,      u"Satış Faturaları/Temp"_s,
        u"Satış Faturaları/Zip"_s, u"Satış Faturaları/Html"_s, u"Satış Faturaları/Xml"_s,
        u"Satış Faturaları/Pdf"_s,
    };
    return folders;
}

QString companyFolder(const QString& programDir, const QString& company) {
    return QDir(programDir).filePath(u"Firmalarım/"_s + company);
}

std::optional<QString> safeCompanyFolder(const QString& programDir, const QString& company) {
    if (!isSafeFolderName(company))
        return std::nullopt;
    return companyFolder(programDir, company);
}

FolderTreeReport checkNewUser(const QString& programDir, const QStringList& companies) {
    FolderTreeReport report;
    for (const QString& company : companies) {
        if (!isSafeFolderName(company)) {
            report.refusedNames.append(company);
            continue;
        }
        const QString folder = companyFolder(programDir, company);
        if (QFileInfo(folder).isDir())
            continue;
        if (!QDir().mkpath(folder)) {
            report.failedFolders.append(folder);
            continue;
        }
        for (const QString& sub : companySubfolders()) {
            const QString path = folder + u'/' + sub;
            if (!QDir().mkdir(path) && !QFileInfo(path).isDir())
                report.failedFolders.append(path);
        }
    }
    return report;
}

} // namespace tavlix::store
