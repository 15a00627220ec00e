#include "platform/OpenForUser.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace tavlix {

Result<void> openForUser(const QString& path) {
    if (!QFileInfo::exists(path))
        return makeError(ErrorCode::NotFound, u"Dosya bulunamadı: "_s + path);
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        return makeError(ErrorCode::Unsupported,
                         u"Dosyayı açacak bir program bulunamadı: "_s + path);
    return {};
}

} // namespace tavlix
