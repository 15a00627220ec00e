// What is left of a session's processes when its driver or the whole run dies, and what the next
// start sweeps up.
#include "browser/SessionProcesses.h"
#include "browser/BrowserDriver.h"

#include "support/Processes.h"
#include "support/SiteServer.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <unistd.h>

using namespace Qt::StringLiterals;
using tavlix::portal::BrowserDriver;
using tavlix::portal::markedProcesses;

namespace {

QList<qint64> markedByRun(qint64 pid) {
    const QByteArray prefix = QByteArray::number(pid) + '-';
    return markedProcesses([&](const QByteArray& value) { return value.startsWith(prefix); });
}

TEST(SessionProcessesTest, ADeadDriverOrAKilledRunLeavesNoBrowser) {
    qputenv("TAVLIX_HEADLESS", "1");
    if (qEnvironmentVariableIsSet("TAVLIX_TEST_SESSION_CHILD")) {
        // The run the parent kills: a session that nothing ends.
        BrowserDriver driver;
        ASSERT_TRUE(driver.StartBrowser().ok());
        std::printf("READY\n");
        std::fflush(stdout);
        for (;;)
            ::pause();
    }
    tavlix::test::becomeSubreaper();
    tavlix::test::SiteServer server(u"driver"_s);
    ASSERT_TRUE(server.start());
    {
        BrowserDriver driver;
        ASSERT_TRUE(driver.StartBrowser().ok());
        ASSERT_TRUE(driver.OpenPage(server.url(u"/index.html"_s)).ok());
        const QStringList drivers = tavlix::test::ourBrowserProcesses(0).filter(u" chromedriver"_s);
        ASSERT_EQ(drivers.size(), 1);
        ::kill(static_cast<pid_t>(drivers[0].section(u' ', 0, 0).toLongLong()), SIGKILL);
        EXPECT_FALSE(driver.OpenPage(server.url(u"/index.html"_s)).ok());
    }
    EXPECT_EQ(tavlix::test::ourBrowserProcesses(), QStringList());

    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"TAVLIX_TEST_SESSION_CHILD"_s, u"1"_s);
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                {u"--gtest_filter=SessionProcessesTest.ADeadDriverOrAKilledRunLeavesNoBrowser"_s});
    while (!child.readAllStandardOutput().contains("READY") && child.waitForReadyRead(30000)) {
    }
    ASSERT_EQ(child.state(), QProcess::Running);
    const qint64 run = child.processId();
    EXPECT_FALSE(markedByRun(run).isEmpty());
    child.kill();
    child.waitForFinished();
    QThread::msleep(1000);
    EXPECT_EQ(markedByRun(run), QList<qint64>());
    EXPECT_EQ(tavlix::test::ourBrowserProcesses(0), QStringList());
    // Its folder waits for the next start's sweep; this test is that start.
    for (const QString& name :
         QDir::temp().entryList({u"tavlix-browser-%1-*"_s.arg(run)}, QDir::Dirs))
        QDir(QDir::temp().filePath(name)).removeRecursively();
}

TEST(SessionProcessesTest, AStartSweepsOnlyWhatDeadRunsLeft) {
    QProcess gone;
    gone.start(u"true"_s);
    ASSERT_TRUE(gone.waitForStarted());
    const qint64 deadRun = gone.processId();
    ASSERT_TRUE(gone.waitForFinished());
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    struct Case {
        const char* name;
        QString run; // <pid>-<ms>
        bool swept;
    } const cases[] = {
        {"a run that ended", u"%1-%2"_s.arg(deadRun).arg(now), true},
        {"a run still running", u"%1-%2"_s.arg(::getppid()).arg(now), false},
        {"its id now taken by a later program", u"%1-1000"_s.arg(::getppid()), true},
        {"this run", u"%1-%2"_s.arg(::getpid()).arg(now), false},
    };
    QTemporaryDir temp;
    QProcess processes[std::size(cases)];
    for (size_t i = 0; i < std::size(cases); ++i) {
        QDir(temp.path()).mkpath(u"tavlix-browser-"_s + cases[i].run + u"-aB3dE9"_s);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"TAVLIX_BROWSER_SESSION"_s,
                           QString(cases[i].run).replace(u'-', u"-1-"_s));
        processes[i].setProcessEnvironment(environment);
        processes[i].start(u"sleep"_s, {u"30"_s});
        ASSERT_TRUE(processes[i].waitForStarted());
    }
    tavlix::portal::sweepLeftoverSessions(temp.path());
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(processes[i].waitForFinished(cases[i].swept ? 2000 : 100), cases[i].swept);
        EXPECT_NE(QDir(temp.path()).exists(u"tavlix-browser-"_s + cases[i].run + u"-aB3dE9"_s),
                  cases[i].swept);
        processes[i].kill();
    }
}

} // namespace
