// How the updater is started with administrator rights: pkexec when installed (with the display
// passed on, since pkexec clears the environment), TAVLIX_ELEVATE in its place when set.
#include "platform/ElevatedStart.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace tavlix {
namespace {

TEST(ElevatedStart, PkexecWhenInstalledUnlessTavlixElevateSaysOtherwise) {
    QTemporaryDir bin;
    ASSERT_TRUE(bin.isValid());
    const QString pkexec = bin.path() + u"/pkexec"_s;
    QFile f(pkexec);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    const QByteArray oldPath = qgetenv("PATH");
    const QByteArray oldDisplay = qgetenv("DISPLAY");
    qputenv("DISPLAY", ":7");

    const struct {
        const char* name;
        const char* path;
        const char* elevate; // nullptr: unset
        QStringList expected;
    } cases[] = {
        {"pkexec on the path",
         "with pkexec",
         nullptr,
         {pkexec, u"/usr/bin/env"_s, u"DISPLAY=:7"_s, u"/opt/t/TavlixUpdate"_s, u"/opt/t"_s}},
        {"no pkexec", "/nowhere", nullptr, {u"/opt/t/TavlixUpdate"_s, u"/opt/t"_s}},
        {"empty TAVLIX_ELEVATE", "with pkexec", "", {u"/opt/t/TavlixUpdate"_s, u"/opt/t"_s}},
        {"another command",
         "with pkexec",
         "/usr/bin/doas",
         {u"/usr/bin/doas"_s, u"/opt/t/TavlixUpdate"_s, u"/opt/t"_s}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray path = qstrcmp(c.path, "with pkexec") == 0
                                    ? bin.path().toUtf8() + ":/usr/bin:/bin"
                                    : QByteArray(c.path) + ":/usr/bin:/bin";
        qputenv("PATH", path);
        if (c.elevate)
            qputenv("TAVLIX_ELEVATE", c.elevate);
        else
            qunsetenv("TAVLIX_ELEVATE");
        QStringList command = elevatedCommand(u"/opt/t/TavlixUpdate"_s, {u"/opt/t"_s});
        command.removeIf([](const QString& a) {
            return a.startsWith(u"XAUTHORITY="_s) || a.startsWith(u"WAYLAND_DISPLAY="_s) ||
                   a.startsWith(u"XDG_RUNTIME_DIR="_s);
        });
        EXPECT_EQ(command, c.expected);
    }
    qputenv("PATH", oldPath);
    qunsetenv("TAVLIX_ELEVATE");
    if (oldDisplay.isNull())
        qunsetenv("DISPLAY");
    else
        qputenv("DISPLAY", oldDisplay);
}

} // namespace
} // namespace tavlix
