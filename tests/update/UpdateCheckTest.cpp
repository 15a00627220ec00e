// The start-up update check against a local information server: which DRIVE.txt leads to an
// update, that the file is read once and removed, and that no answer never holds the start up.
#include "update/UpdateCheck.h"
#include "support/RecordingPrompt.h"
#include "support/UpdateSite.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace tavlix::portal {
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

    UpdateOutcome run(const QString& infoUrl) {
        UpdateSettings settings{infoUrl, programUrl, m_dir.path(), 103};
        UpdateCheck check(settings, prompt);
        check.setLauncher([this](const QString& program, const QStringList&) {
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
    server.setDrive(u"Tavlix||||104||||"_s);
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

TEST_F(UpdateCheckTest, WithoutAnInformationAddressNothingIsAskedOrShown) {
    qputenv("TAVLIX_CONNECTIVITY", "offline");
    EXPECT_EQ(run(QString()), UpdateOutcome::Skipped);
    EXPECT_TRUE(prompt.messages.isEmpty());
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

} // namespace
} // namespace tavlix::portal
