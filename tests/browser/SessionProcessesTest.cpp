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
        qint64 run;
        qint64 ms;
        bool swept;
    } const cases[] = {
        {"a run that ended", deadRun, now, true},
        {"a run still running", ::getppid(), now, false},
        {"its id now taken by a later program", ::getppid(), 1000, true},
        {"this run", ::getpid(), now, false},
    };
    QTemporaryDir temp;
    std::vector<std::unique_ptr<QProcess>> processes;
    for (const Case& c : cases) {
        const QString value = u"%1-1-%2"_s.arg(c.run).arg(c.ms);
        QDir(temp.path()).mkpath(u"tavlix-browser-%1-%2-aB3dE9"_s.arg(c.run).arg(c.ms));
        auto& process = processes.emplace_back(std::make_unique<QProcess>());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"TAVLIX_BROWSER_SESSION"_s, value);
        process->setProcessEnvironment(environment);
        process->start(u"sleep"_s, {u"30"_s});
        ASSERT_TRUE(process->waitForStarted());
    }
    const tavlix::portal::SweepResult swept = tavlix::portal::sweepLeftoverSessions(temp.path());
    EXPECT_GE(swept.processes, 2); // runs of other tests may have left some too
    EXPECT_EQ(swept.folders, 2);
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(processes[i]->waitForFinished(cases[i].swept ? 2000 : 100), cases[i].swept);
        EXPECT_NE(QDir(temp.path())
                      .exists(u"tavlix-browser-%1-%2-aB3dE9"_s.arg(cases[i].run).arg(cases[i].ms)),
                  cases[i].swept);
        processes[i]->kill();
        processes[i]->waitForFinished();
    }
}

} // namespace
