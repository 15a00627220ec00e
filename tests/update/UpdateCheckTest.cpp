// The start-up update check against a local information server: which DRIVE.txt leads to an
// update, that the file is read once and removed, that no answer never holds the start up, and the
// whole update against the release stand-in with the real updater: only a signed program is
// installed, and whatever fails, Tavlix goes on and the version waits until tomorrow.
#include "update/UpdateCheck.h"
#include "support/Processes.h"
#include "support/RecordingPrompt.h"
#include "support/UpdateSite.h"
#include "update/UpdateInstall.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace tavlix::update {
namespace {

// A port that takes connections and never answers: the fetch can only end by its time limit.
class SilentPort {
public:
    SilentPort() {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        ::listen(m_fd, 4);
        socklen_t len = sizeof addr;
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &len);
        m_port = ntohs(addr.sin_port);
    }
    ~SilentPort() { ::close(m_fd); }
    int port() const { return m_port; }
    QString url() const { return u"http://127.0.0.1:%1/DRIVE.txt"_s.arg(m_port); }

private:
    int m_fd = -1;
    int m_port = 0;
};

TEST(LatestVersion, ReadsDigitsFiveToSevenFromTheFirstBarOfTheLastBarredField) {
    const struct {
        const char* text;
        std::optional<int> expected;
    } cases[] = {
        {"Tavlix||||104||||", 104},        {"ad,Tavlix||||099||||\r\nson", 99},
        {"x||||101,y||||105", 105}, // the last field with "||" wins
        {"Tavlix,104\n103", std::nullopt}, {"a|b||12", std::nullopt}, // fewer than three digits
        {"||||1a4||||", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(latestVersion(QByteArray(c.text)), c.expected) << c.text;
}

TEST(AnnouncedSha256, TakesOnlyAWholeFieldOfSixtyFourHexDigits) {
    const QByteArray hex(64, 'a');
    const struct {
        QByteArray text;
        std::optional<QByteArray> expected;
    } cases[] = {
        {"Tavlix||||104||||,sha256:" + hex + "\r\n", hex},
        {"sha256:" + hex.toUpper() + ",Tavlix||||104||||", hex},
        {"Tavlix||||104||||", std::nullopt},
        {"sha256:" + hex.left(63), std::nullopt},
        {"sha256:" + hex + "0", std::nullopt},
        {"sha256:" + hex.left(63) + "g", std::nullopt},
        {"x sha256:" + hex, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(announcedSha256(c.text), c.expected) << c.text.toStdString();
}

class UpdateCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        QDir(m_dir.path()).mkpath(u"prgDosyaları"_s);
        qputenv("TAVLIX_CONNECTIVITY", "online");
    }
    void TearDown() override { qunsetenv("TAVLIX_CONNECTIVITY"); }

    UpdateOutcome run(const QString& infoUrl, UpdateCheck::Launcher launcher = {}) {
        UpdateSettings settings{infoUrl, programUrl, m_dir.path(), 103, key};
        settings.selfUpdate = selfUpdate;
        UpdateCheck check(settings, prompt);
        check.setLauncher(
            launcher ? launcher : [this](const QString& program, const QStringList&, QByteArray&) {
                launched << program;
                return StartOutcome::Ready;
            });
        return check.indirOku();
    }
    QString drivePath() const { return m_dir.path() + u"/prgDosyaları/DRIVE.txt"_s; }

    QTemporaryDir m_dir;
    test::RecordingPrompt prompt;
    QStringList launched;
    QString programUrl = u"http://127.0.0.1:1/yok"_s;
    QByteArray key = test::UpdateSite::publicKey();
    bool selfUpdate = true;
};

TEST_F(UpdateCheckTest, NoNewerVersionOrNoAnswerStartsNothing) {
    const QString offline = u"İnternet bağlantınız yok Fatura yüklenemez !"_s;
    const struct {
        const char* name;
        const char* connectivity;
        int status;
        const char* body;
        const char* staleDrive; // a DRIVE.txt left from an earlier start
        UpdateOutcome expected;
        QStringList messages;
    } cases[] = {
        {"same version", "online", 200, "Tavlix||||103||||", nullptr, UpdateOutcome::NoUpdate, {}},
        {"older version", "online", 200, "Tavlix||||102||||", nullptr, UpdateOutcome::NoUpdate, {}},
        {"no barred field", "online", 200, "Tavlix,104", nullptr, UpdateOutcome::NoUpdate, {}},
        {"offline",
         "offline",
         200,
         "Tavlix||||104||||",
         nullptr,
         UpdateOutcome::Offline,
         {offline}},
        {"stale file not read again",
         "online",
         404,
         "",
         "Tavlix||||104||||",
         UpdateOutcome::NoUpdate,
         {}},
    };
    test::UpdateSite server;
    ASSERT_TRUE(server.start());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        prompt.messages.clear();
        launched.clear();
        qputenv("TAVLIX_CONNECTIVITY", c.connectivity);
        server.setDrive(QString::fromUtf8(c.body), c.status);
        QFile::remove(drivePath());
        if (c.staleDrive) {
            QFile stale(drivePath());
            ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
            stale.write(c.staleDrive);
        }
        EXPECT_EQ(run(server.url(u"/DRIVE.txt"_s)), c.expected);
        EXPECT_EQ(prompt.messages, c.messages);
        EXPECT_TRUE(launched.isEmpty());
        if (c.status == 200) {
            EXPECT_FALSE(QFile::exists(drivePath())) << "a fetched DRIVE.txt is deleted once read";
        }
    }
}

TEST_F(UpdateCheckTest, AVersionThatFailedVerificationIsNotOfferedAgainThatDay) {
    const QString announced = u"Güncelleme mevcut ! Otomatik kurulum yapılacaktır..."_s;
    const struct {
        const char* name;
        const char* skipped; // prgDosyaları/AtlananSurum.txt
        UpdateOutcome expected;
        bool offered;
    } cases[] = {
        {"skipped today", "104 2026-03-02\n", UpdateOutcome::NoUpdate, false},
        {"skipped yesterday", "104 2026-03-01\n", UpdateOutcome::Failed, true},
        {"an older version skipped today", "103 2026-03-02\n", UpdateOutcome::Failed, true},
    };
    qputenv("TAVLIX_TODAY", "2026-03-02");
    programUrl.clear(); // the download then fails at once, with no browser
    test::UpdateSite server;
    ASSERT_TRUE(server.start());
    server.setDrive(test::UpdateSite::release(test::UpdateSite::kProgram, 104, 104));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        prompt.messages.clear();
        QFile skipped(m_dir.path() + u"/prgDosyaları/AtlananSurum.txt"_s);
        ASSERT_TRUE(skipped.open(QIODevice::WriteOnly | QIODevice::Truncate));
        skipped.write(c.skipped);
        skipped.close();
        EXPECT_EQ(run(server.url(u"/DRIVE.txt"_s)), c.expected);
        EXPECT_EQ(!prompt.messages.isEmpty() && prompt.messages.first() == announced, c.offered);
        EXPECT_TRUE(launched.isEmpty());
    }
    qunsetenv("TAVLIX_TODAY");
}

// The version is signed with the hash: what the signature does not cover for this very version
// and file is neither announced nor downloaded.
TEST_F(UpdateCheckTest, AReleaseNotSignedAsANewerVersionIsRefusedBeforeAnyDownload) {
    const QByteArray& program = test::UpdateSite::kProgram;
    const QString mismatch = updateFailedText(
        u"güncelleme bilgisindeki imza 104 sürümü ve duyurulan SHA-256 için geçerli değil"_s);
    const struct {
        const char* name;
        QString drive;
        QStringList told; // empty: no newer version, nothing said
    } cases[] = {
        {"an older signed release", test::UpdateSite::release(program, 102, 102), {}},
        {"the right file signed for another version",
         test::UpdateSite::release(program, 104, 105),
         {mismatch}},
    };
    test::UpdateSite server;
    ASSERT_TRUE(server.start());
    programUrl = server.url(u"/indir.html"_s);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        prompt.messages.clear();
        server.setDrive(c.drive);
        EXPECT_EQ(run(server.url(u"/DRIVE.txt"_s)),
                  c.told.isEmpty() ? UpdateOutcome::NoUpdate : UpdateOutcome::Failed);
        EXPECT_EQ(prompt.messages, c.told) << "no announcement for a refused release";
        EXPECT_EQ(server.programRequests(), 0);
        EXPECT_TRUE(launched.isEmpty());
    }
}

TEST_F(UpdateCheckTest, WithoutAnInformationAddressOrAKeyNothingIsAskedOrShown) {
    qputenv("TAVLIX_CONNECTIVITY", "offline");
    EXPECT_EQ(run(QString()), UpdateOutcome::Skipped);
    qputenv("TAVLIX_CONNECTIVITY", "online");
    test::UpdateSite server;
    ASSERT_TRUE(server.start());
    server.setDrive(u"Tavlix||||104||||"_s);
    key.clear(); // a build without the publisher's key
    EXPECT_EQ(run(server.url(u"/DRIVE.txt"_s)), UpdateOutcome::Skipped);
    EXPECT_TRUE(prompt.messages.isEmpty());
}

TEST_F(UpdateCheckTest, APackagedBuildOnlyAnnouncesANewerVersionOnceADay) {
    selfUpdate = false;
    key.clear(); // the package carries no publisher's key either
    test::UpdateSite server;
    ASSERT_TRUE(server.start());
    programUrl = server.url(u"/"_s);
    const QString said =
        u"Tavlix 1.0.4 yayımlandı. Güncellemek için paket yöneticinizi kullanınız."_s;
    const struct {
        const char* name;
        const char* today;
        const char* drive;
        UpdateOutcome expected;
        QStringList messages;
    } cases[] = {
        {"first start of the day",
         "2026-03-02",
         "Tavlix||||104||||",
         UpdateOutcome::Announced,
         {said}},
        {"again that day", "2026-03-02", "Tavlix||||104||||", UpdateOutcome::NoUpdate, {}},
        {"the next day", "2026-03-03", "Tavlix||||104||||", UpdateOutcome::Announced, {said}},
        {"no newer version", "2026-03-04", "Tavlix||||103||||", UpdateOutcome::NoUpdate, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        prompt.messages.clear();
        qputenv("TAVLIX_TODAY", c.today);
        server.setDrive(QString::fromUtf8(c.drive));
        EXPECT_EQ(run(server.url(u"/DRIVE.txt"_s)), c.expected);
        EXPECT_EQ(prompt.messages, c.messages);
        EXPECT_TRUE(launched.isEmpty());
        EXPECT_EQ(server.programRequests(), 0) << "nothing is downloaded";
        EXPECT_FALSE(QFile::exists(m_dir.path() + u"/prgDosyaları/Tavlix"_s));
    }
    qunsetenv("TAVLIX_TODAY");
}

TEST_F(UpdateCheckTest, AnAddressThatNeverAnswersIsGivenUpWithinTheTimeLimit) {
    SilentPort port;
    ASSERT_NE(port.port(), 0);
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(run(port.url()), UpdateOutcome::NoUpdate);
    EXPECT_LT(timer.elapsed(), 2 * UpdateCheck::kInfoTimeoutMs) << "no fetch may hold the start up";
    EXPECT_TRUE(prompt.messages.isEmpty());
    EXPECT_FALSE(QFile::exists(drivePath())) << "no half file is left behind";
}

// The whole update, the real (test-key) updater started as pkexec would start it for `nobody`.
TEST_F(UpdateCheckTest, OnlyASignedProgramIsInstalledAndAFailedOneWaitsUntilTomorrow) {
    const passwd* nobody = ::getpwnam("nobody");
    if (::geteuid() != 0 || !nobody)
        GTEST_SKIP() << "the updater drops to another user only as root";
    const QByteArray kOld =
        "#!/bin/sh\n{ echo old; env | grep ^TAVLIX_UPDATE; } > out/started.txt\n";
    const QString dir = m_dir.path();
    const QString signedRelease = test::UpdateSite::release(test::UpdateSite::kProgram, 104, 104);
    const QString sig = QString::fromLatin1(test::UpdateSite::sign(test::UpdateSite::kProgram));
    const QString otherFile = test::UpdateSite::release("#!/bin/sh\n", 104, 104);
    const QString mine = u"indirilen program güncellemeyi isteyen kullanıcının sıradan bir dosyası "
                         u"değil (%1/prgDosyaları/Tavlix)"_s.arg(dir);
    const QString leftover =
        u"geçici dosya oluşturulamadı; varsa silin (%1/.Tavlix.new)"_s.arg(dir);
    const QString noSig = u"güncelleme bilgisinde (DRIVE.txt) geçerli bir imza yok"_s;
    // Tavlix runs as root here: the download is handed to the user the updater is told about.
    const char* kChown = "chown $U \"$D\"/prgDosyaları/Tavlix*";
    const struct {
        const char* name;
        QString drive;
        const char* elevate; // what the stand-in for pkexec does first
        bool leftover;       // a folder .Tavlix.new the install cannot replace
        int downloads;
        QString told; // the reason; empty: installed
        bool restarted;
    } cases[] = {
        {"signed", signedRelease, kChown, false, 1, {}, true},
        {"signed for another file", otherFile, kChown, false, 1,
         u"indirilen program duyurulan SHA-256 ile uyuşmuyor"_s, false},
        {"no signature", QString(signedRelease).remove(u",sig:"_s + sig), kChown, false, 0, noSig,
         false},
        {"a malformed signature", QString(signedRelease).replace(sig, sig.left(126) + u"zz"_s),
         kChown, false, 0, noSig, false},
        {"password declined", signedRelease, "exit 126", false, 1, u"yönetici izni verilmedi"_s,
         false},
        {"refused before it is ready", signedRelease, "true", false, 1, mine, false},
        {"failing after it is ready", signedRelease, kChown, true, 1, leftover, true},
    };
    ::chmod(QFile::encodeName(dir).constData(), 0755);
    QDir(dir).mkpath(u"out"_s);
    ::chown(QFile::encodeName(dir + u"/out"_s).constData(), nobody->pw_uid, nobody->pw_gid);
    ASSERT_TRUE(QFile::copy(QStringLiteral(TAVLIX_TEST_UPDATER), dir + u"/TavlixUpdate"_s));
    qputenv("TAVLIX_HEADLESS", "1");
    qputenv("TAVLIX_TODAY", "2026-03-02");
    test::becomeSubreaper();
    test::UpdateSite server;
    ASSERT_TRUE(server.start());
    programUrl = server.url(u"/indir.html"_s);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        prompt.messages.clear();
        QFile::remove(dir + u"/prgDosyaları/AtlananSurum.txt"_s);
        QFile::remove(dir + u"/out/started.txt"_s);
        QFile old(dir + u"/Tavlix"_s);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly | QIODevice::Truncate) && old.write(kOld) > 0);
        old.close();
        old.setPermissions(old.permissions() | QFile::ExeOwner | QFile::ExeOther);
        QDir(dir + u"/.Tavlix.new"_s).removeRecursively();
        if (c.leftover)
            QDir(dir).mkdir(u".Tavlix.new"_s);
        server.setDrive(c.drive);
        const int before = server.programRequests();
        // Tavlix is a process of its own that ends once the updater is ready.
        const auto launcher = [&](const QString& program, QStringList args, QByteArray& said) {
            QProcess tavlix;
            tavlix.start(u"sleep"_s, {u"30"_s});
            tavlix.waitForStarted();
            args[1] = QString::number(tavlix.processId());
            const QString elevate = QString::fromUtf8(c.elevate) +
                                    u"; exec env PKEXEC_UID=$U TAVLIX_ROOT_ONLY=1 \"$@\""_s;
            const StartOutcome outcome = startAndAwait(
                QStringList{u"/usr/bin/env"_s, u"U=%1"_s.arg(nobody->pw_uid), u"D="_s + dir,
                            u"/bin/sh"_s, u"-c"_s, elevate, u"sh"_s, program} +
                    args,
                dir, kUpdaterReadyLine, {}, 20000, &said);
            tavlix.kill();
            tavlix.waitForFinished();
            return outcome;
        };
        EXPECT_EQ(run(server.url(u"/DRIVE.txt"_s), launcher),
                  c.restarted ? UpdateOutcome::UpdaterStarted : UpdateOutcome::Failed);
        EXPECT_EQ(server.programRequests() - before, c.downloads);
        QByteArray record;
        const auto recorded = [&] {
            QFile started(dir + u"/out/started.txt"_s);
            record = started.open(QIODevice::ReadOnly) ? started.readAll() : QByteArray();
            return record.contains("TAVLIX_") && record.endsWith('\n');
        };
        EXPECT_EQ(QTest::qWaitFor(recorded, c.restarted ? 10000 : 300), c.restarted);
        QFile program(dir + u"/Tavlix"_s);
        ASSERT_TRUE(program.open(QIODevice::ReadOnly));
        if (c.told.isEmpty()) {
            EXPECT_EQ(program.readAll(), test::UpdateSite::kProgram);
            EXPECT_TRUE(record.startsWith(QByteArray::number(nobody->pw_uid) + '\n'));
            EXPECT_TRUE(record.contains("\nTAVLIX_HEADLESS=1\n") &&
                        record.contains("\nTAVLIX_TODAY=2026-03-02\n"))
                << "the user's TAVLIX_* values come back";
            EXPECT_FALSE(record.contains("TAVLIX_ROOT_ONLY")) << "none of the updater's own";
            continue;
        }
        EXPECT_EQ(program.readAll(), kOld);
        EXPECT_FALSE(QFile::exists(dir + u"/prgDosyaları/Tavlix"_s)) << "no download stays";
        const QString text = updateFailedText(c.told);
        // Told by this Tavlix, or by the one the updater started again.
        EXPECT_EQ(c.restarted ? QString::fromUtf8(record)
                              : prompt.messages.value(prompt.messages.size() - 1),
                  c.restarted ? u"old\nTAVLIX_UPDATE_MESSAGE="_s + text + u'\n' : text);
        prompt.messages.clear();
        EXPECT_EQ(run(server.url(u"/DRIVE.txt"_s)), UpdateOutcome::NoUpdate);
        EXPECT_EQ(prompt.messages, QStringList()) << "not offered again that day";
    }
    qunsetenv("TAVLIX_TODAY");
    qunsetenv("TAVLIX_HEADLESS");
    EXPECT_EQ(test::ourBrowserProcesses(), QStringList());
}

} // namespace
} // namespace tavlix::update
