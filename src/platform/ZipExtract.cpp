#include "platform/ZipExtract.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <sys/stat.h>
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

bool isLink(zip_t* archive, zip_uint64_t index) {
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    return zip_file_get_external_attributes(archive, index, 0, &system, &attributes) == 0 &&
           system == ZIP_OPSYS_UNIX && ((attributes >> 16) & S_IFMT) == S_IFLNK;
}
} // namespace

Result<QStringList> extractZip(const QString& zipPath, const QString& targetDir, qint64 maxBytes) {
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
        if (isLink(archive.get(), static_cast<zip_uint64_t>(i)))
            return makeError(ErrorCode::InvalidInput,
                             u"Paketteki bağlantı reddedildi: %1"_s.arg(name));
        names << name;
    }
    const Error tooLarge = makeError(
        ErrorCode::InvalidInput,
        u"Paketteki dosyalar izin verilen boyutu aşıyor: %1"_s.arg(QFileInfo(zipPath).fileName()));

    // Read everything first, so a damaged entry leaves the folder as it was. The bytes are
    // counted as they come: a declared size is not trusted.
    QList<QByteArray> contents;
    qint64 total = 0;
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
        if ((stat.valid & ZIP_STAT_SIZE) && stat.size > static_cast<zip_uint64_t>(maxBytes - total))
            return tooLarge;
        QByteArray data;
        char chunk[65536];
        for (;;) {
            const zip_int64_t read = zip_fread(file.get(), chunk, sizeof(chunk));
            if (read < 0)
                return makeError(ErrorCode::BadFormat, unreadable);
            if (read == 0)
                break;
            total += read;
            if (total > maxBytes)
                return tooLarge;
            data.append(chunk, static_cast<qsizetype>(read));
        }
        if ((stat.valid & ZIP_STAT_SIZE) && static_cast<zip_uint64_t>(data.size()) != stat.size)
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
