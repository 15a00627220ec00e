// TavlixUpdate's work in a temporary program folder: only a verified download of the asking
// user's own replaces the program, no link is followed, and Tavlix starts again as that user,
// never as root, or the old program comes back.
#include "platform/ElevatedStart.h"
#include "update/UpdateInstall.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace tavlix::test {
namespace {

// The new program is a stand-in that records who it runs as in out/ids.txt.
const QByteArray kNewProgram = "#!/bin/sh\n{ id -u; id -g; } > out/ids.txt\n";
const QByteArray kOldProgram = "#!/bin/sh\nexit 0\n";
const QByteArray kFailingProgram = "#!/bin/sh\nexit 3\n";

QByteArray sha256(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

class UpdaterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_oldUid = qgetenv("PKEXEC_UID");
        // As root the program runs as `nobody`, who must reach it and write its record.
        const passwd* nobody = ::getpwnam("nobody");
        ASSERT_TRUE(::geteuid() != 0 || nobody);
        user = ::geteuid() == 0 ? nobody->pw_uid : ::getuid();
        userGid = ::geteuid() == 0 ? nobody->pw_gid : ::getgid();
        QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                QFile::ReadOther | QFile::ExeOther);
        QDir(m_dir.path()).mkpath(u"prgDosyaları"_s);
        QDir(m_dir.path()).mkpath(u"out"_s);
        ASSERT_EQ(::chown(QFile::encodeName(path(u"out"_s)).constData(), user, userGid), 0);
        write(u"Tavlix"_s, kOldProgram);
        QFile::setPermissions(path(u"Tavlix"_s), QFile::ReadOwner | QFile::WriteOwner |
                                                     QFile::ExeOwner | QFile::ReadGroup |
                                                     QFile::ExeGroup | QFile::ReadOther |
                                                     QFile::ExeOther);
        qputenv("PKEXEC_UID", QByteArray::number(user));
    }
    void TearDown() override {
        if (m_oldUid.isNull())
            qunsetenv("PKEXEC_UID");
        else
            qputenv("PKEXEC_UID", m_oldUid);
    }
    QString path(const QString& name) const { return m_dir.path() + u'/' + name; }
    void write(const QString& name, const QByteArray& bytes) {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray read(const QString& name) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // The download as the browser leaves it: a file of the asking user's.
    void download(const QByteArray& bytes, uid_t owner) {
        write(u"prgDosyaları/Tavlix"_s, bytes);
        ASSERT_EQ(::chown(QFile::encodeName(path(u"prgDosyaları/Tavlix"_s)).constData(), owner,
                          static_cast<gid_t>(-1)),
                  0);
    }
    UpdateRequest request(const QByteArray& expected, qint64 pid = 0) const {
        return {m_dir.path(), pid, expected, 10000, 2000};
    }

    uid_t user = 0;
    gid_t userGid = 0;
    QTemporaryDir m_dir;
    QByteArray m_oldUid;
};

TEST_F(UpdaterTest, ReplacesTheProgramOnceTavlixHasEndedAndStartsItAsTheUserWhoAsked) {
    download(kNewProgram, user);
    const auto permissions = QFile::permissions(path(u"Tavlix"_s));
    QProcess tavlix; // stands in for the running program the updater waits for
    tavlix.start(u"sleep"_s, {u"0.5"_s});
    ASSERT_TRUE(tavlix.waitForStarted());

    const auto done = runUpdate(request(sha256(kNewProgram), tavlix.processId()));
    ASSERT_TRUE(done.ok()) << done.message().toStdString();
    EXPECT_EQ(*done, QString());
    EXPECT_TRUE(tavlix.waitForFinished(0)) << "nothing may change while Tavlix runs";
    EXPECT_EQ(read(u"Tavlix"_s), kNewProgram);
    EXPECT_EQ(read(u"Tavlix.old"_s), kOldProgram);
    EXPECT_EQ(QFile::permissions(path(u"Tavlix"_s)), permissions);
    EXPECT_FALSE(QFile::exists(path(u"prgDosyaları/Tavlix"_s)));
    EXPECT_FALSE(QFile::exists(path(u".Tavlix.new"_s)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return read(u"out/ids.txt"_s).count('\n') == 2; }, 5000))
        << "the new program is started";
    EXPECT_EQ(read(u"out/ids.txt"_s),
              QByteArray::number(user) + '\n' + QByteArray::number(userGid) + '\n')
        << "as the user who asked, never as root";
}

// The built TavlixUpdate, started as Tavlix starts it: the ready line comes while Tavlix still
// runs, and nothing it does afterwards needs the pipe Tavlix has stopped reading.
TEST_F(UpdaterTest, TheUpdaterSaysItRunsBeforeItWaitsForTavlix) {
    download(kNewProgram, user);
    write(u"elevate.sh"_s,
          "#!/bin/sh\necho $$ > \"$(dirname \"$0\")/out/updater.pid\"\nexec \"$@\"\n");
    QFile::setPermissions(path(u"elevate.sh"_s), QFile::ReadOwner | QFile::ExeOwner);
    // The updater works on its own folder only.
    ASSERT_TRUE(QFile::copy(QStringLiteral(TAVLIX_BUILD_PROGRAM_DIR) + u"/TavlixUpdate"_s,
                            path(u"TavlixUpdate"_s)));
    QProcess tavlix;
    tavlix.start(u"sleep"_s, {u"30"_s});
    ASSERT_TRUE(tavlix.waitForStarted());
    const QStringList command{path(u"elevate.sh"_s), path(u"TavlixUpdate"_s), m_dir.path(),
                              QString::number(tavlix.processId()),
                              QString::fromLatin1(sha256(kNewProgram))};
    EXPECT_EQ(startAndAwait(command, m_dir.path(), kUpdaterReadyLine, {}, 10000),
              StartOutcome::Ready);
    EXPECT_EQ(tavlix.state(), QProcess::Running);
    EXPECT_EQ(read(u"Tavlix"_s), kOldProgram) << "nothing changes while Tavlix runs";
    tavlix.kill();
    tavlix.waitForFinished();
    EXPECT_TRUE(QTest::qWaitFor([&] { return read(u"out/ids.txt"_s).count('\n') == 2; }, 10000))
        << "installed and started";
    EXPECT_EQ(read(u"Tavlix"_s), kNewProgram);
    // A message box left open by a failure would keep the updater waiting.
    const pid_t updater = read(u"out/updater.pid"_s).trimmed().toInt();
    ASSERT_GT(updater, 0);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return ::waitpid(updater, nullptr, WNOHANG) == updater; }, 5000));
    ::kill(updater, SIGKILL);
    ::waitpid(updater, nullptr, WNOHANG);
}

TEST_F(UpdaterTest, ARefusedDownloadChangesNothingAndWritesNothingThroughALink) {
    // Where a planted link points: a program of the user's own that would pass the check.
    const QByteArray outside = "#!/bin/sh\n# outside\n";
    const struct {
        const char* name;
        const char* download; // nullptr: no file
        QByteArray expected;  // the SHA-256 handed to the updater
        const char* link;     // a link planted here, to out/target
        bool ownedByAnother;
    } cases[] = {
        {"missing", nullptr, sha256(kNewProgram), nullptr, false},
        {"empty", "", sha256(""), nullptr, false},
        {"another SHA-256", "<html>404</html>", sha256(kNewProgram), nullptr, false},
        {"no SHA-256 given", kNewProgram.constData(), "", nullptr, false},
        {"the download is a link", nullptr, sha256(outside), "prgDosyaları/Tavlix", false},
        {"a link at the temporary name", kNewProgram.constData(), sha256(kNewProgram),
         ".Tavlix.new", false},
        {"owned by another user", kNewProgram.constData(), sha256(kNewProgram), nullptr, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.ownedByAnother && ::geteuid() != 0)
            continue; // only root can give a file away
        write(u"out/target"_s, outside);
        ASSERT_EQ(::chown(QFile::encodeName(path(u"out/target"_s)).constData(), user,
                          static_cast<gid_t>(-1)),
                  0);
        QFile::remove(path(u"prgDosyaları/Tavlix"_s));
        QFile::remove(path(u".Tavlix.new"_s));
        // Root asking, a file of nobody's is not taken.
        if (c.ownedByAnother)
            qunsetenv("PKEXEC_UID");
        else
            qputenv("PKEXEC_UID", QByteArray::number(user));
        if (c.download)
            download(c.download, user);
        if (c.link) {
            ASSERT_TRUE(QFile::link(path(u"out/target"_s), path(QString::fromUtf8(c.link))));
        }
        const auto permissions = QFile::permissions(path(u"Tavlix"_s));

        const auto done = runUpdate(request(c.expected));
        EXPECT_FALSE(done.ok());
        EXPECT_TRUE(done.message().startsWith(u"Güncelleme yapılamadı"_s))
            << done.message().toStdString();
        EXPECT_EQ(read(u"Tavlix"_s), kOldProgram);
        EXPECT_EQ(QFile::permissions(path(u"Tavlix"_s)), permissions);
        EXPECT_FALSE(QFile::exists(path(u"Tavlix.old"_s)));
        EXPECT_EQ(read(u"out/target"_s), outside) << "nothing is written through a link";
        EXPECT_EQ(QFileInfo(path(u".Tavlix.new"_s)).isSymLink(),
                  qstrcmp(c.link, ".Tavlix.new") == 0);
        QFile::remove(path(u".Tavlix.new"_s));
    }
    QTest::qWait(300);
    EXPECT_FALSE(QFile::exists(path(u"out/ids.txt"_s))) << "nothing is started";
    EXPECT_TRUE(QDir(m_dir.path() + u"/.."_s)
                    .entryList({u".TavlixUpdate.*"_s}, QDir::Dirs | QDir::Hidden)
                    .isEmpty())
        << "no temporary folder is left";
}

TEST_F(UpdaterTest, WithoutAKnownUserOtherThanRootNothingIsStarted) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "not elevated, the updater always knows its user";
    for (const char* uid : {"", "0", "4000000000"}) { // unset, root, no such user
        SCOPED_TRACE(uid);
        QFile::remove(path(u"Tavlix.old"_s));
        write(u"Tavlix"_s, kOldProgram);
        download(kNewProgram, 0);
        if (*uid)
            qputenv("PKEXEC_UID", uid);
        else
            qunsetenv("PKEXEC_UID");
        const auto done = runUpdate(request(sha256(kNewProgram)));
        ASSERT_TRUE(done.ok()) << done.message().toStdString();
        EXPECT_EQ(*done, u"Güncelleme tamamlandı; Tavlix'i yeniden başlatın."_s);
        EXPECT_EQ(read(u"Tavlix"_s), kNewProgram);
    }
    QTest::qWait(300);
    EXPECT_FALSE(QFile::exists(path(u"out/ids.txt"_s))) << "never started as root";
}

TEST_F(UpdaterTest, ANewProgramThatFailsToStartGivesWayToTheOldOne) {
    download(kFailingProgram, user);
    const auto done = runUpdate(request(sha256(kFailingProgram)));
    EXPECT_FALSE(done.ok());
    EXPECT_EQ(done.message(),
              u"Yeni Tavlix açılamadı; önceki sürüm geri yüklendi. Tavlix'i yeniden başlatın."_s);
    EXPECT_EQ(read(u"Tavlix"_s), kOldProgram);
}

} // namespace
} // namespace tavlix::test
