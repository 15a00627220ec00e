// TavlixUpdate's work in a temporary program folder: only a download signed by the publisher and
// of the asking user's own replaces the program, every check comes before the ready line, no link
// is followed, and Tavlix starts again as that user, never as root: the new one, or the old one
// with the reason.
#include "platform/ElevatedStart.h"
#include "support/UpdateSite.h"
#include "update/UpdateInstall.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace tavlix::test {
namespace {

const QByteArray& kNewProgram = UpdateSite::kProgram; // records its user and TAVLIX_* in out/
const QByteArray kOldProgram = "#!/bin/sh\n{ echo old; env | grep '^TAVLIX_UPDATE_MESSAGE='; } > "
                               "out/$$; mv out/$$ out/started.txt\n";
const QByteArray kFailingProgram = "#!/bin/sh\nexit 3\n";

class UpdaterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_EQ(UpdateSite::publicKey().toHex(), QByteArray(TAVLIX_TEST_UPDATE_KEY));
        m_oldUid = qgetenv("PKEXEC_UID");
        // As root the program runs as `nobody`, who must reach it and write its record.
        const passwd* nobody = ::getpwnam("nobody");
        ASSERT_TRUE(::geteuid() != 0 || nobody);
        user = ::geteuid() == 0 ? nobody->pw_uid : ::getuid();
        userGid = ::geteuid() == 0 ? nobody->pw_gid : ::getgid();
        // The program folder has a parent of its own: the staging folders beside it are ours.
        ::chmod(QFile::encodeName(m_dir.path()).constData(), 0755);
        QDir(m_dir.path()).mkpath(u"Tavlix/prgDosyaları"_s);
        QDir(m_dir.path()).mkpath(u"Tavlix/out"_s);
        ASSERT_EQ(::chown(QFile::encodeName(path(u"out"_s)).constData(), user, userGid), 0);
        write(u"Tavlix"_s, kOldProgram);
        ::chmod(QFile::encodeName(path(u"Tavlix"_s)).constData(), 0755);
        qputenv("PKEXEC_UID", QByteArray::number(user));
    }
    void TearDown() override {
        if (m_oldUid.isNull())
            qunsetenv("PKEXEC_UID");
        else
            qputenv("PKEXEC_UID", m_oldUid);
    }
    QString programDir() const { return m_dir.path() + u"/Tavlix"_s; }
    QString path(const QString& name) const { return programDir() + u'/' + name; }
    QByteArray file(const QString& name) const { return QFile::encodeName(path(name)); }
    void write(const QString& name, const QByteArray& bytes) {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray read(const QString& name) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // The download as Tavlix leaves it: a file of the asking user's, and its signature.
    void download(const QByteArray& bytes, uid_t owner, const QByteArray& signature) {
        write(u"prgDosyaları/Tavlix"_s, bytes);
        write(u"prgDosyaları/Tavlix.sig"_s, signature);
        for (const char* name : {"prgDosyaları/Tavlix", "prgDosyaları/Tavlix.sig"})
            ASSERT_EQ(::chown(file(QString::fromUtf8(name)).constData(), owner, gid_t(-1)), 0);
    }
    UpdateRequest request(qint64 pid = 0) const {
        return {programDir(), pid, UpdateSite::publicKey(), 103, {"TAVLIX_MARK=kullanıcı"}, 10000,
                2000,         {}};
    }
    bool started() const {
        return QTest::qWaitFor([&] { return QFile::exists(path(u"out/started.txt"_s)); }, 5000);
    }

    uid_t user = 0;
    gid_t userGid = 0;
    QTemporaryDir m_dir;
    QByteArray m_oldUid;
};

TEST_F(UpdaterTest, ReplacesTheProgramOnceTavlixHasEndedAndStartsItAsTheUserWhoAsked) {
    download(kNewProgram, user, UpdateSite::signatureFile(kNewProgram, 104, 104));
    // Owner, group and mode stay the program's; setuid does not pass on.
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(file(u"Tavlix"_s).constData(), 4321, 8765), 0);
    }
    ::chmod(file(u"Tavlix"_s).constData(), root ? 06755 : 0755);
    ASSERT_TRUE(QFile::link(path(u"out/target"_s), path(u".Tavlix.new"_s)));
    QList<QByteArray> staged;
    UpdateRequest r = request();
    // The first staging place fails its check, as on exFAT or with root_squash: /var/tmp is used.
    r.stagingMade = [&](const QByteArray& folder) {
        if (staged.isEmpty())
            ::chmod(folder.constData(), 0755);
        staged << folder;
    };
    QProcess tavlix; // stands in for the running program the updater waits for
    tavlix.start(u"sleep"_s, {u"0.5"_s});
    ASSERT_TRUE(tavlix.waitForStarted());
    r.pid = tavlix.processId();
    qunsetenv("PKEXEC_UID"); // asked through sudo this time
    qputenv("SUDO_UID", QByteArray::number(user));

    const auto done = runUpdate(r);
    qunsetenv("SUDO_UID");
    ASSERT_TRUE(done.ok()) << done.message().toStdString();
    EXPECT_TRUE(tavlix.waitForFinished(0)) << "nothing may change while Tavlix runs";
    EXPECT_EQ(read(u"Tavlix"_s), kNewProgram);
    EXPECT_EQ(read(u"Tavlix.old"_s), kOldProgram);
    struct stat st {};
    ASSERT_EQ(::stat(file(u"Tavlix"_s).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0755u);
    EXPECT_EQ(std::pair(st.st_uid, st.st_gid),
              root ? std::pair(4321u, 8765u) : std::pair(user, userGid));
    EXPECT_FALSE(QFile::exists(path(u"prgDosyaları/Tavlix"_s)));
    EXPECT_FALSE(QFileInfo::exists(path(u".Tavlix.new"_s)));
    EXPECT_FALSE(QFile::exists(path(u"out/target"_s))) << "nothing is written through a link";
    ASSERT_EQ(staged.size(), 2);
    EXPECT_TRUE(staged[1].startsWith("/var/tmp/TavlixUpdate."));
    for (const QByteArray& folder : staged)
        EXPECT_FALSE(QFileInfo::exists(QFile::decodeName(folder))) << "no staging folder stays";
    if (!root)
        return; // drops to the user as root only
    ASSERT_TRUE(started());
    EXPECT_EQ(read(u"out/started.txt"_s), QByteArray::number(user) + '\n' +
                                              QByteArray::number(userGid) +
                                              "\nTAVLIX_MARK=kullanıcı\n")
        << "as the user who asked, never as root, with the variables Tavlix handed over only";
}

// Whatever fails, fails before the ready line and changes nothing; or after it, and then the old
// program is started again with the reason.
TEST_F(UpdaterTest, AFailedUpdateLeavesTheOldProgramRunning) {
    const QByteArray outside = "#!/bin/sh\n# outside\n";
    const QByteArray goodSig = UpdateSite::signatureFile(kNewProgram, 104, 104);
    const QByteArray older = UpdateSite::signatureFile(kNewProgram, 102, 102);
    const QByteArray otherVersion = UpdateSite::signatureFile(kNewProgram, 104, 105);
    const struct {
        const char* name;
        QByteArray download; // empty: none
        QByteArray signature;
        const char* pkexecUid; // nullptr: the asking user
        const char* plant;     // a link to out/target, or a folder (ending in /), put here
        QString reason;        // empty: refused before the ready line
    } cases[] = {
        {"missing", {}, goodSig, nullptr, nullptr, {}},
        {"signed by someone else", "<html>404</html>", goodSig, nullptr, nullptr, {}},
        {"no signature", kNewProgram, {}, nullptr, nullptr, {}},
        {"a malformed signature", kNewProgram, goodSig.left(138), nullptr, nullptr, {}},
        // Rightly signed, but not newer than this updater's own version (103), or for another.
        {"an older signed release", kNewProgram, older, nullptr, nullptr, {}},
        {"signed for another version", kNewProgram, otherVersion, nullptr, nullptr, {}},
        {"the download is a link", {}, goodSig, nullptr, "prgDosyaları/Tavlix", {}},
        {"root asking", kNewProgram, goodSig, "0", nullptr, {}},
        {"a user unknown", kNewProgram, goodSig, "4000000000", nullptr, {}},
        {"a leftover temporary folder", kNewProgram, goodSig, nullptr, ".Tavlix.new/",
         u"geçici dosya oluşturulamadı; varsa silin (%1)"_s.arg(path(u".Tavlix.new"_s))},
        {"a new program that fails", kFailingProgram,
         UpdateSite::signatureFile(kFailingProgram, 104, 104), nullptr, nullptr,
         u"yeni Tavlix açılamadı, önceki sürüm geri yüklendi"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.pkexecUid && ::geteuid() != 0)
            continue; // only root takes the user from PKEXEC_UID
        write(u"out/target"_s, outside);
        for (const QString& name :
             {u"prgDosyaları/Tavlix"_s, u"prgDosyaları/Tavlix.sig"_s, u"out/started.txt"_s})
            QFile::remove(path(name));
        QDir(path(u".Tavlix.new"_s)).removeRecursively();
        qputenv("PKEXEC_UID", c.pkexecUid ? QByteArray(c.pkexecUid) : QByteArray::number(user));
        if (!c.download.isEmpty())
            download(c.download, user, c.signature);
        if (c.plant && QByteArray(c.plant).endsWith('/')) {
            QDir().mkpath(path(QString::fromUtf8(c.plant)));
        } else if (c.plant) {
            ASSERT_TRUE(QFile::link(path(u"out/target"_s), path(QString::fromUtf8(c.plant))));
        }
        bool ready = false;

        const auto done = runUpdate(request(), [&] { ready = true; });
        EXPECT_FALSE(done.ok());
        EXPECT_EQ(ready, !c.reason.isEmpty()) << done.message().toStdString();
        EXPECT_EQ(read(u"Tavlix"_s), kOldProgram);
        EXPECT_EQ(read(u"out/target"_s), outside) << "nothing is written through a link";
        if (c.reason.isEmpty() || ::geteuid() != 0)
            continue;
        EXPECT_EQ(done.message(), c.reason);
        ASSERT_TRUE(started());
        EXPECT_EQ(read(u"out/started.txt"_s),
                  "old\nTAVLIX_UPDATE_MESSAGE=" + updateFailedText(c.reason).toUtf8() + '\n');
    }
    EXPECT_TRUE(
        QDir(m_dir.path()).entryList({u".TavlixUpdate.*"_s}, QDir::Dirs | QDir::Hidden).isEmpty())
        << "no temporary folder is left";
}

// The built TavlixUpdate, started as Tavlix starts it: anything it does not know is refused
// before Qt or the install could see it; its own arguments get the ready line while Tavlix runs.
TEST_F(UpdaterTest, TheUpdaterSaysItIsReadyOnlyForItsOwnArguments) {
    download(kNewProgram, user, UpdateSite::signatureFile(kNewProgram, 104, 104));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TAVLIX_TEST_UPDATER), path(u"TavlixUpdate"_s)));
    // A plugin where a Qt application would look for it: the dynamic loader would name it.
    const QString plugins = QLibraryInfo::path(QLibraryInfo::PluginsPath) + u"/platforms"_s;
    ASSERT_TRUE(QFile::copy(plugins + u"/libqoffscreen.so"_s, path(u"out/libqoffscreen.so"_s)));
    QProcess tavlix;
    tavlix.start(u"sleep"_s, {u"30"_s});
    ASSERT_TRUE(tavlix.waitForStarted());
    const QStringList start{programDir(), QString::number(tavlix.processId())};
    for (const QStringList& refused :
         {QStringList{u"-platformpluginpath"_s, path(u"out"_s), u"-platform"_s, u"offscreen"_s},
          QStringList{u"LD_PRELOAD=/tmp/x.so"_s}}) {
        SCOPED_TRACE(refused.first().toStdString());
        QProcess updater;
        updater.setProcessEnvironment([] {
            auto env = QProcessEnvironment::systemEnvironment();
            env.insert(u"LD_DEBUG"_s, u"libs"_s);
            return env;
        }());
        updater.start(path(u"TavlixUpdate"_s), start + refused);
        ASSERT_TRUE(updater.waitForFinished(10000));
        EXPECT_EQ(updater.exitCode(), 2);
        EXPECT_EQ(updater.readAllStandardOutput(),
                  "TAVLIX-UPDATE-FAILED: tanınmayan argüman (" + refused.first().toUtf8() + ")\n");
        const QByteArray loaded = updater.readAllStandardError();
        EXPECT_TRUE(loaded.contains("calling init:")) << "the loader names what it loads";
        EXPECT_FALSE(loaded.contains(file(u"out/libqoffscreen.so"_s)))
            << "nothing is loaded from a folder named on the command line";
    }
    EXPECT_EQ(
        startAndAwait(QStringList{path(u"TavlixUpdate"_s)} + start + QStringList{u"DISPLAY=:7"_s},
                      programDir(), kUpdaterReadyLine, {}, 10000),
        StartOutcome::Ready);
    EXPECT_EQ(read(u"Tavlix"_s), kOldProgram) << "nothing changes while Tavlix runs";
    tavlix.kill();
    tavlix.waitForFinished();
    EXPECT_TRUE(QTest::qWaitFor([&] { return read(u"Tavlix"_s) == kNewProgram; }, 10000));
    EXPECT_TRUE(::geteuid() != 0 || started());
}

} // namespace
} // namespace tavlix::test
