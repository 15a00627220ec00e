// How the updater is started: /usr/bin/pkexec only for a folder the user cannot write,
// TAVLIX_ELEVATE in its place when set; and the start counts only once the program says it runs.
#include "platform/ElevatedStart.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <signal.h>

using namespace Qt::StringLiterals;

namespace tavlix {
namespace {

TEST(ElevatedStart, PkexecByItsPathOnlyForAFolderTheUserCannotWrite) {
    const QString updater = u"/opt/t/TavlixUpdate"_s;
    const struct {
        const char* name;
        const char* elevate; // nullptr: unset
        bool writable;
        QStringList expected;
    } cases[] = {
        {"folder of the user's own", nullptr, true, {updater, u"/opt/t"_s}},
        {"folder of root's", nullptr, false, {u"/usr/bin/pkexec"_s, updater, u"/opt/t"_s}},
        {"empty TAVLIX_ELEVATE", "", false, {updater, u"/opt/t"_s}},
        {"another command, whatever the folder",
         "/usr/bin/doas",
         true,
         {u"/usr/bin/doas"_s, updater, u"/opt/t"_s}},
    };
    const QByteArray oldPath = qgetenv("PATH");
    QTemporaryDir bin; // a pkexec on the PATH is never the one taken
    ASSERT_TRUE(bin.isValid());
    qputenv("PATH", bin.path().toUtf8() + ":/usr/bin:/bin");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.elevate)
            qputenv("TAVLIX_ELEVATE", c.elevate);
        else
            qunsetenv("TAVLIX_ELEVATE");
        EXPECT_EQ(elevatedCommand(updater, {u"/opt/t"_s}, c.writable), c.expected);
    }
    qputenv("PATH", oldPath);
    qunsetenv("TAVLIX_ELEVATE");
}

TEST(ElevatedStart, CountsAsStartedOnlyOnceTheProgramSaysItRuns) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const struct {
        const char* name;
        const char* script;
        StartOutcome expected;
    } cases[] = {
        {"ready, then runs on", "echo starting\necho TAVLIX-UPDATE-READY\nsleep 0.3\n",
         StartOutcome::Ready},
        {"password dialog dismissed", "exit 126\n", StartOutcome::Declined},
        {"not authorised", "exit 127\n", StartOutcome::Declined},
        {"ends without the line", "echo TAVLIX-UPDATE\nexit 0\n", StartOutcome::Failed},
        {"closes its output and stays silent", "exec >&-\nexec sleep 30\n", StartOutcome::Failed},
        {"stays silent", "exec sleep 30\n", StartOutcome::Failed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString script = dir.path() + u"/elevate.sh"_s;
        QFile f(script);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("#!/bin/sh\necho $$ > pid.txt\n" + QByteArray(c.script));
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QElapsedTimer timer;
        timer.start();
        int keptAlive = 0;
        EXPECT_EQ(startAndAwait(
                      {script}, dir.path(), "TAVLIX-UPDATE-READY", [&] { ++keptAlive; }, 1500),
                  c.expected);
        EXPECT_LT(timer.elapsed(), 5000);
        EXPECT_GT(keptAlive, 0);
        QFile pid(dir.path() + u"/pid.txt"_s);
        ASSERT_TRUE(pid.open(QIODevice::ReadOnly)) << "started in the working folder";
        if (c.expected != StartOutcome::Ready) {
            EXPECT_NE(::kill(pid.readAll().trimmed().toInt(), 0), 0)
                << "a start that failed leaves nothing running";
        }
    }
    EXPECT_EQ(startAndAwait({u"elevate.sh"_s}, dir.path(), "TAVLIX-UPDATE-READY", {}, 500),
              StartOutcome::Failed)
        << "never found through PATH";
}

} // namespace
} // namespace tavlix
