// TavlixUpdate's work in a temporary program folder: the downloaded program replaces the old one
// atomically, the old one is kept as Tavlix.old, and the new one is started; a bad download
// changes nothing.
#include "update/UpdateInstall.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace tavlix::test {
namespace {

// The new program is a stand-in that records its start in its working folder.
const QByteArray kNewProgram = "#!/bin/sh\necho started > restarted.txt\n";
const QByteArray kOldProgram = "#!/bin/sh\nexit 0\n";

class UpdaterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        QDir(m_dir.path()).mkpath(u"prgDosyaları"_s);
        write(u"Tavlix"_s, kOldProgram);
        QFile::setPermissions(path(u"Tavlix"_s), QFile::ReadOwner | QFile::WriteOwner |
                                                     QFile::ExeOwner | QFile::ReadGroup |
                                                     QFile::ExeGroup);
    }
    QString path(const QString& name) const { return m_dir.path() + u'/' + name; }
    void write(const QString& name, const QByteArray& bytes) {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray read(const QString& name) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
};

TEST_F(UpdaterTest, ReplacesTheProgramKeepsTheOldOneAndStartsTheNewOneOnceTavlixHasEnded) {
    write(u"prgDosyaları/Tavlix"_s, kNewProgram);
    const auto permissions = QFile::permissions(path(u"Tavlix"_s));
    QProcess tavlix; // stands in for the running program the updater waits for
    tavlix.start(u"sleep"_s, {u"0.5"_s});
    ASSERT_TRUE(tavlix.waitForStarted());

    const auto done = runUpdate(m_dir.path(), tavlix.processId(), 10000);
    ASSERT_TRUE(done.ok()) << done.message().toStdString();
    EXPECT_TRUE(tavlix.waitForFinished(0)) << "nothing may change while Tavlix runs";
    EXPECT_EQ(read(u"Tavlix"_s), kNewProgram);
    EXPECT_EQ(read(u"Tavlix.old"_s), kOldProgram);
    EXPECT_EQ(QFile::permissions(path(u"Tavlix"_s)), permissions);
    EXPECT_FALSE(QFile::exists(path(u"prgDosyaları/Tavlix"_s)));
    EXPECT_FALSE(QFile::exists(path(u".Tavlix.new"_s)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(path(u"restarted.txt"_s)); }, 5000))
        << "the new program is started";
}

TEST_F(UpdaterTest, AMissingOrEmptyDownloadChangesNothing) {
    const struct {
        const char* name;
        const char* download; // nullptr: no file
    } cases[] = {{"missing", nullptr}, {"empty", ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(path(u"prgDosyaları/Tavlix"_s));
        if (c.download)
            write(u"prgDosyaları/Tavlix"_s, c.download);
        const auto permissions = QFile::permissions(path(u"Tavlix"_s));
        const auto done = runUpdate(m_dir.path(), 0, 1000);
        EXPECT_FALSE(done.ok());
        EXPECT_TRUE(done.message().startsWith(u"Güncelleme yapılamadı"_s))
            << done.message().toStdString();
        EXPECT_EQ(read(u"Tavlix"_s), kOldProgram);
        EXPECT_EQ(QFile::permissions(path(u"Tavlix"_s)), permissions);
        EXPECT_FALSE(QFile::exists(path(u"Tavlix.old"_s)));
        EXPECT_FALSE(QFile::exists(path(u".Tavlix.new"_s)));
    }
    QTest::qWait(300);
    EXPECT_FALSE(QFile::exists(path(u"restarted.txt"_s))) << "nothing is started";
}

// Started through pkexec the updater runs as root; the program it starts again must not.
TEST(UpdaterRestart, RunsTheProgramAsTheUserWhoAskedForTheUpdate) {
    if (::geteuid() != 0 || QStandardPaths::findExecutable(u"setpriv"_s).isEmpty())
        GTEST_SKIP() << "needs root and setpriv";
    const QByteArray old = qgetenv("PKEXEC_UID");
    const struct {
        const char* uid; // nullptr: not started through pkexec
        QString first;
    } cases[] = {{nullptr, u"/opt/t/Tavlix"_s},
                 {"0", u"/opt/t/Tavlix"_s},
                 {"65534", QStandardPaths::findExecutable(u"setpriv"_s)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.uid ? c.uid : "unset");
        if (c.uid)
            qputenv("PKEXEC_UID", c.uid);
        else
            qunsetenv("PKEXEC_UID");
        const QStringList command = restartCommand(u"/opt/t/Tavlix"_s);
        EXPECT_EQ(command.first(), c.first);
        EXPECT_EQ(command.last(), u"/opt/t/Tavlix"_s);
        if (c.first != command.last()) {
            EXPECT_TRUE(command.contains(u"--reuid=65534"_s)) << command.join(u' ').toStdString();
        }
    }
    if (old.isNull())
        qunsetenv("PKEXEC_UID");
    else
        qputenv("PKEXEC_UID", old);
}

} // namespace
} // namespace tavlix::test
