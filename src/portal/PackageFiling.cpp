#include "portal/PackageFiling.h"

#include "platform/ZipExtract.h"
#include "store/FolderTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace tavlix::portal {

namespace {

// The copy lands under a temporary name in the target's folder and is renamed over the target
// only when complete, so a failed copy leaves the target as it was.
bool copyInPlace(const QString& from, const QString& to) {
    QFile in(from);
    if (!QDir().mkpath(QFileInfo(to).absolutePath()) || !in.open(QIODevice::ReadOnly))
        return false;
    QSaveFile out(to);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    const QByteArray data = in.readAll();
    return out.write(data) == data.size() && out.commit();
}

bool holdsEttn(const QString& package, const QStringList& entries, const QString& ettn) {
    if (package.contains(ettn, Qt::CaseInsensitive))
        return true;
    for (const QString& entry : entries)
        if (entry.contains(ettn, Qt::CaseInsensitive))
            return true;
    return false;
}

} // namespace

Result<QString> unzip(const UnzipInput& input) {
    const std::optional<QString> company =
        store::safeCompanyFolder(input.programDir, input.company);
    if (!company)
        return makeError(ErrorCode::InvalidInput,
                         u"Firma adı klasör adı olarak kullanılamaz: %1"_s.arg(input.company));
    const QString sales = *company + u"/Satış Faturaları"_s;
    const QDir temp(sales + u"/Temp"_s);
    const QString package = input.package;
    if (package.isEmpty() || package.contains(u'/') || !QFileInfo(temp.filePath(package)).isFile())
        return makeError(ErrorCode::NotFound, u"İndirilen fatura paketi bulunamadı."_s);

    // Unpacked into a folder of its own, so nothing else in Temp is overwritten or removed.
    QTemporaryDir work(temp.filePath(u".paket-XXXXXX"_s));
    if (!work.isValid())
        return makeError(ErrorCode::Io,
                         u"Temp klasörüne yazılamadı. Temp klasörüne dokunulmadı."_s);
    const Result<QStringList> unpacked = extractZip(temp.filePath(package), work.path());
    if (!unpacked)
        return makeError(unpacked.error().code,
                         unpacked.message() + u" Temp klasörüne dokunulmadı."_s);
    if (input.ettn.isEmpty() || !holdsEttn(package, *unpacked, input.ettn))
        return makeError(ErrorCode::InvalidInput,
                         u"%1 paketi ETTN %2 numaralı faturanın değil; Temp klasöründe "
                         u"bırakıldı."_s.arg(package, input.ettn));

    const QString base = package.left(package.size() - 4);
    const QString names = input.firstPart + u"-"_s + input.secondPart + u"-"_s;
    const QDir unpackedDir(work.path());
    const struct {
        QString from, to;
    } copies[] = {
        {unpackedDir.filePath(base + u".html"_s), sales + u"/Html/"_s + names + base + u".html"_s},
        {unpackedDir.filePath(base + u".xml"_s), sales + u"/Xml/"_s + names + base + u".xml"_s},
        {temp.filePath(package), sales + u"/Zip/"_s + names + package},
    };
    QStringList failed;
    for (const auto& copy : copies)
        if (!copyInPlace(copy.from, copy.to))
            failed << QFileInfo(copy.to).fileName();
    if (!failed.isEmpty())
        return makeError(ErrorCode::Io,
                         u"Paketten kopyalanamayan dosyalar: %1. Paket Temp klasöründe "
                         u"bırakıldı."_s.arg(failed.join(u", "_s)));
    QFile::remove(temp.filePath(package));
    return package;
}

} // namespace tavlix::portal
