// What is left of a session's processes when its driver or the whole run dies, and what the next
// start sweeps up: our processes only, never what the browser started for the user.
#include "browser/SessionProcesses.h"
#include "browser/BrowserDriver.h"

#include "support/Processes.h"
#include "support/SiteServer.h"
#include "support/TestDisplay.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace tavlix::browser;

namespace {

const bool kRun = qEnvironmentVariableIsSet("TAVLIX_TEST_RUN"); // another run started by a test

// The sessions of a test and of the runs it starts keep their folders apart from other programs.
class SessionProcessesTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!kRun)
            qputenv("TMPDIR", QFile::encodeName(temp.path()));
    }
    void TearDown() override { qunsetenv("TMPDIR"); }
    QString folderOf(qint64 run) const {
        const QStringList names = QDir(temp.path()).entryList({u"tavlix-browser-%1-*"_s.arg(run)});
        return names.size() == 1 ? temp.filePath(names[0]) : QString();
    }
    qint64 startRun(QProcess& run, const QString& url = u"1"_s) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"TAVLIX_TEST_RUN"_s, url);
        run.setProcessEnvironment(environment);
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        run.start(QCoreApplication::applicationFilePath(),
                  {u"--gtest_filter=SessionProcessesTest."_s + QString::fromLatin1(test->name())});
        const qint64 pid = run.processId();
        while (!run.readAllStandardOutput().contains("READY") && run.waitForReadyRead(30000)) {
        }
        return pid;
    }
    // A program the browser starts the way xdg-open does (a viewer opened from the download
    // bubble): the browser's environment, which names nothing of the session, and a process
    // group of its own.
    static void startLikeXdgOpen(QProcess& viewer) {
        QFile file(u"/proc/%1/environ"_s.arg(tavlix::test::ourBrowser().first));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray environment = file.readAll();
        EXPECT_FALSE(environment.contains("tavlix-browser-") || environment.contains("TAVLIX_BR"));
        viewer.setEnvironment(QString::fromLocal8Bit(environment).split(u'\0', Qt::SkipEmptyParts));
        viewer.setChildProcessModifier([] { ::setsid(); });
        viewer.start(u"sleep"_s, {u"60"_s});
        ASSERT_TRUE(viewer.waitForStarted());
    }

    QTemporaryDir temp;
};

TEST_F(SessionProcessesTest, ADeadDriverOrAKilledRunEndsTheSessionButNotWhatTheUserOpened) {
    qputenv("TAVLIX_HEADLESS", "1");
    if (kRun) {
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
    QProcess viewers[2];
    {
        BrowserDriver driver;
        ASSERT_TRUE(driver.StartBrowser().ok());
        ASSERT_TRUE(driver.OpenPage(server.url(u"/index.html"_s)).ok());
        startLikeXdgOpen(viewers[0]);
        const QStringList drivers = tavlix::test::ourBrowserProcesses(0).filter(u" chromedriver"_s);
        ASSERT_EQ(drivers.size(), 1);
        ::kill(static_cast<pid_t>(drivers[0].section(u' ', 0, 0).toLongLong()), SIGKILL);
        EXPECT_FALSE(driver.OpenPage(server.url(u"/index.html"_s)).ok());
    }
    EXPECT_EQ(tavlix::test::ourBrowserProcesses(), QStringList());

    QProcess run;
    const QString folder = folderOf(startRun(run));
    ASSERT_EQ(run.state(), QProcess::Running);
    ASSERT_FALSE(processesCarrying(folder).isEmpty());
    startLikeXdgOpen(viewers[1]);
    run.kill();
    run.waitForFinished();
    QThread::msleep(1000);
    EXPECT_EQ(processesCarrying(folder), QList<qint64>());
    EXPECT_EQ(tavlix::test::ourBrowserProcesses(0), QStringList());
    // Its folder waits for the next start's sweep; this test is that start.
    EXPECT_EQ(sweepLeftoverSessions(temp.path()).folders, 1);
    for (QProcess& viewer : viewers) {
        EXPECT_EQ(viewer.state(), QProcess::Running);
        viewer.kill();
        viewer.waitForFinished();
    }
}

TEST_F(SessionProcessesTest, AStartSweepsOnlyWhatDeadRunsLeft) {
    QProcess gone;
    gone.start(u"true"_s);
    ASSERT_TRUE(gone.waitForStarted());
    const qint64 deadRun = gone.processId();
    ASSERT_TRUE(gone.waitForFinished());
    const qint64 parent = ::getppid();
    const qint64 started = processStartTicks(parent);
    const QString dead = u"%1-%2-1"_s.arg(deadRun).arg(bootTag());
    const QString alive = u"%1-%2-%3"_s.arg(parent);
    struct Case {
        const char* name;
        QString run; // <pid>-<boot>-<start ticks> of the run that made the folder
        bool leftToUser;
        bool running; // a process of the session still runs
        bool swept;
    } const cases[] = {
        {"a run that ended", dead, false, true, true},
        {"a run still running", alive.arg(bootTag()).arg(started), false, true, false},
        {"its id now held by a program that started earlier",
         alive.arg(bootTag()).arg(started + 100), false, true, true},
        {"… or later", alive.arg(bootTag()).arg(started - 100), false, true, true},
        {"the same id and start in another boot", alive.arg(u"b0badb007"_s).arg(started), false,
         true, true},
        {"this run", sessionFolderPrefix().section(u'-', 2, 4), false, true, false},
        {"left to the user, who still uses it", dead, true, true, false},
        {"left to the user, who closed it", dead, true, false, true},
    };
    const auto folder = [&](size_t i) {
        return temp.filePath(u"tavlix-browser-%1-aB3dE%2"_s.arg(cases[i].run).arg(i));
    };
    QProcess processes[std::size(cases) + 1];
    const auto sleeper = [&](size_t i, const QString& argument) {
        processes[i].start(u"/usr/bin/python3"_s,
                           {u"-c"_s, u"import time; time.sleep(30)"_s, argument});
        ASSERT_TRUE(processes[i].waitForStarted());
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        QDir().mkpath(folder(i));
        if (cases[i].leftToUser)
            markLeftToUser(folder(i));
        if (cases[i].running)
            sleeper(i, u"--user-data-dir="_s + folder(i));
    }
    // A file of a swept folder opened in a viewer: no option of it names the folder.
    sleeper(std::size(cases), folder(0) + u"/belge.pdf"_s);
    sweepLeftoverSessions(temp.path());
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].name);
        processes[i].waitForFinished(cases[i].swept ? 3000 : 100);
        EXPECT_EQ(processes[i].state(),
                  cases[i].running && !cases[i].swept ? QProcess::Running : QProcess::NotRunning);
        EXPECT_NE(QFileInfo::exists(folder(i)), cases[i].swept);
    }
    EXPECT_EQ(processes[std::size(cases)].state(), QProcess::Running);
    for (QProcess& process : processes)
        process.kill();
}

// A visible browser the user was given outlives the run and the next start; once the user closed
// it, the start after that removes its folder. It opened where it was told, without the
// automation info bar.
TEST_F(SessionProcessesTest, ABrowserLeftToTheUserStaysWhileItRuns) {
    if (kRun) {
        BrowserDriver driver;
        driver.SetDetach(true);
        driver.SetWindowRect({700, 0, 900, 900});
        ASSERT_TRUE(driver.StartBrowser().ok());
        ASSERT_TRUE(driver.OpenPage(qEnvironmentVariable("TAVLIX_TEST_RUN")).ok());
        const auto shown =
            driver.RunScript(u"return [screenX, screenY, outerWidth, outerHeight];"_s);
        EXPECT_EQ(shown ? shown->toList() : QVariantList(), QVariantList({700, 0, 900, 900}));
        const QStringList arguments = tavlix::test::ourBrowser().second;
        EXPECT_TRUE(!arguments.isEmpty() && !arguments.contains(u"--enable-automation"_s));
        return;
    }
    tavlix::test::TestDisplay display;
    if (!display.ready())
        GTEST_SKIP() << "Xvfb could not be started: a visible browser needs a display.";
    tavlix::test::becomeSubreaper();
    tavlix::test::SiteServer server(u"driver"_s);
    ASSERT_TRUE(server.start());
    QProcess run;
    const qint64 runId = startRun(run, server.url(u"/index.html"_s));
    run.waitForFinished(60000);
    ASSERT_TRUE(run.state() == QProcess::NotRunning && run.exitCode() == 0)
        << run.readAllStandardOutput().constData();
    const QString folder = folderOf(runId);
    ASSERT_FALSE(processesCarrying(folder).isEmpty());

    EXPECT_EQ(sweepLeftoverSessions(temp.path()).processes, 0);
    EXPECT_FALSE(processesCarrying(folder).isEmpty());
    tavlix::test::endOurBrowserProcesses(); // the user closes the browser
    EXPECT_EQ(sweepLeftoverSessions(temp.path()).folders, 1);
    EXPECT_FALSE(QFileInfo::exists(folder));
}

} // namespace
