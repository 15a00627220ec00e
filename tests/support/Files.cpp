#include "support/Files.h"

#include <QCryptographicHash>
#include <QFile>

namespace tavlix::test {

QByteArray fileDigest(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

} // namespace tavlix::test
