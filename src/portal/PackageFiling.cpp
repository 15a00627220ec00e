#include "portal/PackageFiling.h"

#include "platform/ZipExtract.h"
#include "store/FolderTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace tavlix::portal {

Result<QString> unzip(const UnzipInput& input) {
    const std::optional<QString> company =
        store::safeCompanyFolder(input.programDir, input.company);
    if (!company)
        return makeError(ErrorCode::InvalidInput,
                         u"Firma adı klasör adı olarak kullanılamaz: %1"_s.arg(input.company));
    const QString sales = *company + u"/Satış Faturaları"_s;
    QDir temp(sales + u"/Temp"_s);
    const QStringList files = temp.entryList(QDir::Files, QDir::Name);
    QString package;
    for (const QString& name : files)
        if (name.toLower().endsWith(u".zip"_s))
            package = name;
    if (package.isEmpty())
        return makeError(ErrorCode::NotFound, u"İndirilen fatura paketi bulunamadı."_s);

    const Result<QStringList> unpacked = extractZip(temp.filePath(package), temp.path());
    if (!unpacked)
        return makeError(unpacked.error().code,
                         unpacked.message() + u" Temp klasörüne dokunulmadı."_s);

    const QString base = package.left(package.size() - 4);
    const QString names = input.firstPart + u"-"_s + input.secondPart + u"-"_s;
    const struct {
        QString from, to;
    } copies[] = {
        {temp.filePath(base + u".html"_s), sales + u"/Html/"_s + names + base + u".html"_s},
        {temp.filePath(base + u".xml"_s), sales + u"/Xml/"_s + names + base + u".xml"_s},
        {temp.filePath(package), sales + u"/Zip/"_s + names + package},
    };
    QStringList failed;
    for (const auto& copy : copies) {
        QDir().mkpath(QFileInfo(copy.to).absolutePath());
        QFile::remove(copy.to);
        if (!QFile::copy(copy.from, copy.to))
            failed << QFileInfo(copy.from).fileName();
    }
    // Temp is emptied in every case: its folders too (a package may hold some).
    for (const QFileInfo& entry :
         temp.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        if (entry.isDir())
            QDir(entry.filePath()).removeRecursively();
        else
            QFile::remove(entry.filePath());
    }
    if (!failed.isEmpty())
        return makeError(ErrorCode::NotFound,
                         u"Paketten kopyalanamayan dosyalar: %1"_s.arg(failed.join(u", "_s)));
    return package;
}

} // namespace tavlix::portal
