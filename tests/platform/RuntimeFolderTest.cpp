// The runtime folder a session without XDG_RUNTIME_DIR gets: private, and never one that another
// user could have made or may enter.
#include "platform/RuntimeFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace tavlix {
namespace {

TEST(RuntimeFolder, OnlyAPrivateFolderOfThisUserIsTaken) {
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray savedTemp = qgetenv("TMPDIR");
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    qputenv("TMPDIR", temp.path().toUtf8());
    const QString folder = temp.path() + u"/tavlix-runtime-%1"_s.arg(getuid());

    const struct {
        const char* name;
        int existingMode; // -1: no folder yet; -2: a file stands there
        bool taken;
    } cases[] = {
        {"made afresh", -1, true},
        {"already private", 0700, true},
        {"open to others", 0755, false},
        {"a file in its place", -2, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(folder).removeRecursively();
        QFile::remove(folder);
        if (c.existingMode >= 0) {
            ASSERT_EQ(::mkdir(QFile::encodeName(folder).constData(), 0700), 0);
            ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), c.existingMode), 0);
        } else if (c.existingMode == -2) {
            QFile file(folder);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        qunsetenv("XDG_RUNTIME_DIR");
        ensureRuntimeFolder();
        EXPECT_EQ(qEnvironmentVariable("XDG_RUNTIME_DIR"), c.taken ? folder : QString());
        struct stat info {};
        if (c.taken && ::stat(QFile::encodeName(folder).constData(), &info) == 0) {
            EXPECT_EQ(info.st_mode & 0077, 0u) << "others may enter";
        }
    }

    // A folder already set is kept as it is.
    qputenv("XDG_RUNTIME_DIR", "/elsewhere");
    ensureRuntimeFolder();
    EXPECT_EQ(qgetenv("XDG_RUNTIME_DIR"), "/elsewhere");

    qputenv("XDG_RUNTIME_DIR", savedRuntime);
    if (savedRuntime.isEmpty())
        qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", savedTemp);
    if (savedTemp.isEmpty())
        qunsetenv("TMPDIR");
}

} // namespace
} // namespace tavlix
