#include "store/DataImport.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tavlix::store {

namespace {

const QStringList kFolders = {u"Data"_s, u"Firmalarım"_s, u"prgDosyaları"_s};
const QString kWorkbook = u"Data/DATA.xlsx"_s;
const QString kFreshMark = u"prgDosyaları/YeniDATA.sha256"_s;
const QString kNothing = u"\nHiçbir şey kopyalanmadı."_s;

QByteArray digest(const QString& path) {
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return {};
    return hash.result().toHex();
}

bool sameBytes(const QString& a, const QString& b) {
    QFile fa(a);
    QFile fb(b);
    if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly) || fa.size() != fb.size())
        return false;
    while (!fa.atEnd()) {
        const QByteArray chunk = fa.read(1 << 16);
        if (chunk.isEmpty() || chunk != fb.read(chunk.size()))
            return false;
    }
    return fb.atEnd();
}

bool isFreshWorkbook(const QString& target) {
    QFile mark(target + u'/' + kFreshMark);
    if (!mark.open(QIODevice::ReadOnly))
        return false;
    const QByteArray recorded = mark.readAll().trimmed();
    return !recorded.isEmpty() && recorded == digest(target + u'/' + kWorkbook);
}

DataImportReport refused(const QString& why) {
    return {false, 0, why + kNothing};
}

// What the import has done so far, undone in reverse when a later step fails.
struct Undo {
    QStringList files;
    QStringList folders;
    QString asidePath;
    QString workbookPath;
    QByteArray mark;
    QString markPath;

    void run() const {
        for (const QString& f : files)
            QFile::remove(f);
        for (auto it = folders.crbegin(); it != folders.crend(); ++it)
            QDir().rmdir(*it);
        if (!asidePath.isEmpty())
            QFile::rename(asidePath, workbookPath);
        if (!mark.isEmpty()) {
            QFile file(markPath);
            if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
                file.write(mark);
        }
    }
};

} // namespace

void markFreshDataWorkbook(const QString& programDir) {
    const QByteArray sum = digest(programDir + u'/' + kWorkbook);
    QFile mark(programDir + u'/' + kFreshMark);
    if (!sum.isEmpty() && QDir().mkpath(QFileInfo(mark).absolutePath()) &&
        mark.open(QIODevice::WriteOnly | QIODevice::Truncate))
        mark.write(sum + '\n');
}

DataImportReport importProgramData(const QString& sourceDir, const QString& targetDir) {
    const QString source = QDir::cleanPath(QFileInfo(sourceDir).absoluteFilePath());
    const QString target = QDir::cleanPath(QFileInfo(targetDir).absoluteFilePath());
    const QString shownSource = QDir::toNativeSeparators(source);
    const QString shownTarget = QDir::toNativeSeparators(target);
    if (const QString same = QFileInfo(source).canonicalFilePath();
        !same.isEmpty() && same == QFileInfo(target).canonicalFilePath())
        return refused(
            u"Seçilen klasör (%1) Tavlix'in şu an kullandığı klasördür."_s.arg(shownSource));
    if (!QFileInfo(source + u'/' + kWorkbook).isFile())
        return refused(
            u"%1 bir Tavlix program klasörü değil: içinde Data/DATA.xlsx yok."_s.arg(shownSource));
    const QString workbook = target + u'/' + kWorkbook;
    const bool fresh = QFileInfo::exists(workbook) && isFreshWorkbook(target);
    if (QFileInfo::exists(workbook) && !fresh)
        return refused(u"%1 klasöründe kendi DATA.xlsx dosyanız var; veriler onun üzerine "
                       u"alınmaz."_s.arg(shownTarget));

    // Every folder and file of the three, checked before anything is written.
    QStringList folders;
    QStringList files;
    for (const QString& top : kFolders) {
        const QFileInfo topInfo(source + u'/' + top);
        if (topInfo.isSymLink())
            return refused(u"%1 bir bağlantı (link); bağlantılar kopyalanmaz."_s.arg(
                QDir::toNativeSeparators(topInfo.filePath())));
        if (!topInfo.isDir())
            continue;
        folders << top;
        QDirIterator it(topInfo.filePath(),
                        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo entry(it.next());
            const QString relative = entry.filePath().mid(source.size() + 1);
            if (entry.isSymLink())
                return refused(u"%1 bir bağlantı (link); bağlantılar kopyalanmaz."_s.arg(
                    QDir::toNativeSeparators(entry.filePath())));
            if (entry.isDir())
                folders << relative;
            else if (entry.isFile() && relative != kFreshMark)
                files << relative;
            else if (!entry.isFile())
                return refused(u"%1 sıradan bir dosya değil."_s.arg(
                    QDir::toNativeSeparators(entry.filePath())));
        }
    }
    std::sort(folders.begin(), folders.end());
    QStringList toCopy;
    int alreadyThere = 0;
    for (const QString& relative : files) {
        const QFileInfo there(target + u'/' + relative);
        if (fresh && relative == kWorkbook)
            toCopy << relative;
        else if (!there.exists() && !there.isSymLink())
            toCopy << relative;
        else if (there.isFile() && !there.isSymLink() &&
                 sameBytes(source + u'/' + relative, there.filePath()))
            ++alreadyThere;
        else
            return refused(u"%1 zaten var ve farklı; hiçbir dosyanın üzerine yazılmaz."_s.arg(
                QDir::toNativeSeparators(there.filePath())));
    }
    for (const QString& relative : folders) {
        const QFileInfo there(target + u'/' + relative);
        if (there.exists() && (!there.isDir() || there.isSymLink()))
            return refused(u"%1 klasör olması gerekirken başka bir şey."_s.arg(
                QDir::toNativeSeparators(there.filePath())));
    }

    Undo undo;
    undo.workbookPath = workbook;
    const auto failed = [&](const QString& why) {
        undo.run();
        return DataImportReport{
            false, 0, why + u"\nAlınan dosyalar geri silindi; %1 eski hâlinde."_s.arg(shownTarget)};
    };
    if (fresh) {
        undo.markPath = target + u'/' + kFreshMark;
        QFile mark(undo.markPath);
        if (mark.open(QIODevice::ReadOnly))
            undo.mark = mark.readAll();
        mark.close();
        undo.asidePath =
            workbook + u'.' + QDateTime::currentDateTime().toString(u"yyyyMMdd-HHmmss"_s);
        if (QFileInfo::exists(undo.asidePath) || !QFile::rename(workbook, undo.asidePath)) {
            undo.asidePath.clear();
            return refused(
                u"Boş DATA.xlsx kenara alınamadı (%1)."_s.arg(QDir::toNativeSeparators(workbook)));
        }
        QFile::remove(undo.markPath);
    }
    for (const QString& relative : folders) {
        const QString path = target + u'/' + relative;
        if (QFileInfo(path).isDir())
            continue;
        if (!QDir().mkpath(path))
            return failed(u"%1 klasörü oluşturulamadı."_s.arg(QDir::toNativeSeparators(path)));
        undo.folders << path;
    }
    for (const QString& relative : toCopy) {
        const QString from = source + u'/' + relative;
        const QString to = target + u'/' + relative;
        // QFile::copy never replaces an existing file.
        if (!QFile::copy(from, to))
            return failed(u"%1 kopyalanamadı."_s.arg(QDir::toNativeSeparators(from)));
        undo.files << to;
        if (!sameBytes(from, to))
            return failed(u"%1 kopyası aslıyla aynı değil."_s.arg(QDir::toNativeSeparators(to)));
    }

    QString text = u"%1 klasöründeki veriler (Data, Firmalarım, prgDosyaları; %2 dosya) %3 "
                   u"klasörüne kopyalandı."_s.arg(shownSource)
                       .arg(toCopy.size() + alreadyThere)
                       .arg(shownTarget);
    if (fresh)
        text += u"\nİlk açılışta oluşturulan boş DATA.xlsx %1 adıyla kenara alındı."_s.arg(
            QFileInfo(undo.asidePath).fileName());
    text += u"\nAlınan verilerin okunması için Tavlix'i kapatıp yeniden açınız."_s;
    return {true, int(toCopy.size()) + alreadyThere, text};
}

} // namespace tavlix::store
