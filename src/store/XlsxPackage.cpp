#include "store/XlsxPackage.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <zip.h>

using namespace Qt::StringLiterals;

namespace tavlix::store::detail {

namespace {

// A part larger than this is refused rather than unpacked (a damaged or hostile archive).
constexpr zip_uint64_t kMaxPartSize = zip_uint64_t(256) << 20;

} // namespace

Result<std::unique_ptr<ZipArchive>> ZipArchive::fromBytes(QByteArray bytes) {
    std::unique_ptr<ZipArchive> archive(new ZipArchive);
    archive->m_bytes = std::move(bytes);
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* src = zip_source_buffer_create(archive->m_bytes.constData(),
                                                 zip_uint64_t(archive->m_bytes.size()), 0, &error);
    if (src == nullptr) {
        zip_error_fini(&error);
        return makeError(ErrorCode::BadFormat, u"zip okunamadı"_s);
    }
    archive->m_zip = zip_open_from_source(src, ZIP_RDONLY, &error);
    zip_error_fini(&error);
    if (archive->m_zip == nullptr) {
        zip_source_free(src);
        return makeError(ErrorCode::BadFormat, u"zip okunamadı"_s);
    }
    const zip_int64_t count = zip_get_num_entries(archive->m_zip, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* name = zip_get_name(archive->m_zip, zip_uint64_t(i), ZIP_FL_ENC_GUESS);
        const QString n = name != nullptr ? QString::fromUtf8(name) : QString();
        archive->m_names.append(n);
        archive->m_index.insert(n.toLower(), int(i));
    }
    return archive;
}

ZipArchive::~ZipArchive() {
    if (m_zip != nullptr)
        zip_discard(m_zip);
}

std::optional<int> ZipArchive::indexOf(const QString& name) const {
    const auto it = m_index.constFind(name.toLower());
    if (it == m_index.constEnd())
        return std::nullopt;
    return *it;
}

std::optional<QByteArray> ZipArchive::read(const QString& name) const {
    const auto index = indexOf(name);
    if (!index)
        return std::nullopt;
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(m_zip, zip_uint64_t(*index), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE) ||
        st.size > kMaxPartSize)
        return std::nullopt;
    zip_file_t* file = zip_fopen_index(m_zip, zip_uint64_t(*index), 0);
    if (file == nullptr)
        return std::nullopt;
    QByteArray data(qsizetype(st.size), Qt::Uninitialized);
    zip_uint64_t done = 0;
    while (done < st.size) {
        const zip_int64_t n = zip_fread(file, data.data() + done, st.size - done);
        if (n <= 0)
            break;
        done += zip_uint64_t(n);
    }
    // Reading one byte more detects an entry whose stored size lies.
    char extra;
    const bool longer = zip_fread(file, &extra, 1) > 0;
    const bool failed = zip_fclose(file) != 0;
    if (done != st.size || longer || failed)
        return std::nullopt;
    return data;
}

Result<QByteArray> buildZip(const ZipArchive* source, const std::vector<OutEntry>& entries) {
    const Error failure = makeError(ErrorCode::Io, u"zip yazılamadı"_s);
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* out = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_error_fini(&error);
    if (out == nullptr)
        return failure;
    zip_source_keep(out);
    zip_error_init(&error);
    zip_t* za = zip_open_from_source(out, ZIP_CREATE | ZIP_TRUNCATE, &error);
    zip_error_fini(&error);
    if (za == nullptr) {
        zip_source_free(out);
        zip_source_free(out);
        return failure;
    }
    bool ok = true;
    for (const OutEntry& e : entries) {
        zip_source_t* s = nullptr;
        if (e.sourceIndex && source != nullptr)
            s = zip_source_zip(za, source->handle(), zip_uint64_t(*e.sourceIndex), 0, 0, 0);
        else
            s = zip_source_buffer(za, e.data.constData(), zip_uint64_t(e.data.size()), 0);
        if (s == nullptr) {
            ok = false;
            break;
        }
        const QByteArray name = e.name.toUtf8();
        const zip_int64_t index = zip_file_add(za, name.constData(), s, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(s);
            ok = false;
            break;
        }
        if (!e.sourceIndex) {
            // Large sheets are packed fast; small parts as tightly as usual.
            const zip_uint32_t level = e.data.size() > (512 << 10) ? 1 : 6;
            zip_set_file_compression(za, zip_uint64_t(index), ZIP_CM_DEFLATE, level);
        }
    }
    if (!ok || zip_close(za) != 0) {
        zip_discard(za);
        zip_source_free(out);
        return failure;
    }
    QByteArray bytes;
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_source_open(out) == 0) {
        if (zip_source_stat(out, &st) == 0 && (st.valid & ZIP_STAT_SIZE)) {
            bytes.resize(qsizetype(st.size));
            zip_uint64_t done = 0;
            while (done < st.size) {
                const zip_int64_t n = zip_source_read(out, bytes.data() + done, st.size - done);
                if (n <= 0)
                    break;
                done += zip_uint64_t(n);
            }
            if (done != st.size)
                ok = false;
        } else {
            ok = false;
        }
        zip_source_close(out);
    } else {
        ok = false;
    }
    zip_source_free(out);
    if (!ok)
        return failure;
    return bytes;
}

Result<void> writeFileAtomically(const QString& path, const QByteArray& bytes) {
    const QFileInfo info(path);
    if (!info.absoluteDir().exists())
        return makeError(ErrorCode::NotFound, u"klasör bulunamadı"_s);
    if (info.isDir())
        return makeError(ErrorCode::Io, u"bu adda bir klasör var"_s);
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return makeError(ErrorCode::Io, u"klasöre yazılamıyor"_s);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return makeError(ErrorCode::Io, u"dosya yazılamadı"_s);
    }
    if (!file.commit())
        return makeError(ErrorCode::Io, u"dosya yerine konamadı; açık olabilir"_s);
    return {};
}

} // namespace tavlix::store::detail
