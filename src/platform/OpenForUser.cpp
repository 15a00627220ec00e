#include "platform/OpenForUser.h"

#include "platform/ProcessWait.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace tavlix {

bool hasProgramFor(const QString& path) {
    const QString xdgMime = QStandardPaths::findExecutable(u"xdg-mime"_s);
    if (xdgMime.isEmpty())
        return true;
    const QString type =
        QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension).name();
    QProcess query;
    query.start(xdgMime, {u"query"_s, u"default"_s, type});
    if (!waitForFinishedPainting(query, 5000)) {
        query.kill();
        waitForFinishedPainting(query, 1000);
        return true;
    }
    return !query.readAllStandardOutput().trimmed().isEmpty();
}

Result<void> openForUser(const QString& path) {
    if (!QFileInfo::exists(path))
        return makeError(ErrorCode::NotFound, u"Dosya bulunamadı: "_s + path);
    // xdg-open returns as soon as it has started; a file no program takes would only be
    // reported on the terminal, so the user is told here instead.
    if (!hasProgramFor(path) || !QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        return makeError(ErrorCode::Unsupported,
                         u"Dosyayı açacak bir program bulunamadı: "_s + path);
    return {};
}

} // namespace tavlix
