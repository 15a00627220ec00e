#include "platform/ZipExtract.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <zip.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace tavlix {

namespace {
bool safeEntryName(const QString& name) {
    if (name.isEmpty() || name.startsWith(u'/') || name.startsWith(u'\\') || name.contains(u':'))
        return false;
    const QStringList parts = QString(name).replace(u'\\', u'/').split(u'/');
    return !parts.contains(u".."_s);
}
} // namespace

Result<QStringList> extractZip(const QString& zipPath, const QString& targetDir) {
    int error = 0;
    std::unique_ptr<zip_t, decltype(&zip_discard)> archive(
        zip_open(QFile::encodeName(zipPath).constData(), ZIP_RDONLY, &error), &zip_discard);
    const QString unreadable = u"Paket okunamadı: %1"_s.arg(QFileInfo(zipPath).fileName());
    if (!archive)
        return makeError(ErrorCode::BadFormat, unreadable);

    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    QStringList names;
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* raw = zip_get_name(archive.get(), static_cast<zip_uint64_t>(i), 0);
        const QString name = raw ? QString::fromUtf8(raw) : QString();
        if (!safeEntryName(name))
            return makeError(ErrorCode::InvalidInput,
                             u"Paketteki güvensiz dosya adı reddedildi: %1"_s.arg(name));
        names << name;
    }

    // Read everything first, so a damaged entry leaves the folder as it was.
    QList<QByteArray> contents;
    for (zip_int64_t i = 0; i < count; ++i) {
        if (names[i].endsWith(u'/')) {
            contents << QByteArray();
            continue;
        }
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive.get(), static_cast<zip_uint64_t>(i), 0, &stat) != 0)
            return makeError(ErrorCode::BadFormat, unreadable);
        std::unique_ptr<zip_file_t, decltype(&zip_fclose)> file(
            zip_fopen_index(archive.get(), static_cast<zip_uint64_t>(i), 0), &zip_fclose);
        if (!file)
            return makeError(ErrorCode::BadFormat, unreadable);
        QByteArray data(static_cast<qsizetype>(stat.size), Qt::Uninitialized);
        if (zip_fread(file.get(), data.data(), stat.size) != static_cast<zip_int64_t>(stat.size))
            return makeError(ErrorCode::BadFormat, unreadable);
        contents << data;
    }

    QStringList written;
    const QDir target(targetDir);
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString path = target.filePath(names[i]);
        if (names[i].endsWith(u'/')) {
            QDir().mkpath(path);
            continue;
        }
        QDir().mkpath(QFileInfo(path).absolutePath());
        QSaveFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(contents[i]) != contents[i].size() ||
            !out.commit())
            return makeError(ErrorCode::Io, u"Dosya yazılamadı: %1"_s.arg(path));
        written << names[i];
    }
    return written;
}

} // namespace tavlix
