#include "platform/RuntimeFolder.h"

#include <QByteArray>
#include <QDir>

#include <sys/stat.h>
#include <unistd.h>

namespace tavlix {

void ensureRuntimeFolder() {
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    const QByteArray folder =
        QFile::encodeName(QDir::tempPath()) + "/tavlix-runtime-" + QByteArray::number(getuid());
    ::mkdir(folder.constData(), 0700);
    struct stat info {};
    // Someone else's folder, or one others may enter, is never taken.
    if (::lstat(folder.constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != getuid() || (info.st_mode & 0077) != 0)
        return;
    qputenv("XDG_RUNTIME_DIR", folder);
}

} // namespace tavlix
