// The zip side of an xlsx package: reading entries from a file held in memory, writing a new
// package in which untouched entries are copied in their compressed form, and atomic file writes.
#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

typedef struct zip zip_t;

namespace tavlix::store::detail {

class ZipArchive {
public:
    // Fails with ErrorCode::BadFormat when the bytes are not a readable zip.
    static Result<std::unique_ptr<ZipArchive>> fromBytes(QByteArray bytes);
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // Entry names in the order they are stored.
    const QStringList& entryNames() const { return m_names; }
    // Part names are compared without regard to case, as the package format asks.
    std::optional<int> indexOf(const QString& name) const;
    bool contains(const QString& name) const { return indexOf(name).has_value(); }
    // The entry's uncompressed content; std::nullopt when missing or unreadable.
    std::optional<QByteArray> read(const QString& name) const;

    zip_t* handle() const { return m_zip; }

private:
    ZipArchive() = default;
    QByteArray m_bytes; // the archive reads from this buffer for its whole life
    zip_t* m_zip = nullptr;
    QStringList m_names;
    QHash<QString, int> m_index; // lower-cased name → entry index
};

// One entry of a package being written: either new content or an entry copied from the source.
struct OutEntry {
    QString name;
    QByteArray data;
    std::optional<int> sourceIndex;
};

// The finished zip as bytes. Copied entries keep their compressed data unchanged.
Result<QByteArray> buildZip(const ZipArchive* source, const std::vector<OutEntry>& entries);

// Writes to a temporary file beside `path` and renames it over `path`; on failure the old file is
// left as it was. The error names the reason in Turkish.
Result<void> writeFileAtomically(const QString& path, const QByteArray& bytes);

} // namespace tavlix::store::detail
