// The update at start-up end to end: a newer version in DRIVE.txt, the new program downloaded by
// headless Chromium from a download page, the updater started and the program ending.
#include "AppFixture.h"

#include "support/Processes.h"
#include "support/UpdateSite.h"

#include <QCryptographicHash>
#include <QFile>

using namespace Qt::StringLiterals;

namespace tavlix::test {
namespace {

// A stand-in updater: says it runs, then records the arguments it was started with.
const QByteArray kUpdater = "#!/bin/sh\necho TAVLIX-UPDATE-READY\n"
                            "echo \"$@\" > \"$(dirname \"$0\")/updater.txt\"\n";
// An elevating command whose password dialog was dismissed.
const QByteArray kDeclined = "#!/bin/sh\nexit 126\n";

class UpdateStartUp : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        becomeSubreaper();
        ASSERT_TRUE(site.start());
        qputenv("TAVLIX_UPDATE_INFO_URL", site.url(u"/DRIVE.txt"_s).toUtf8());
        qputenv("TAVLIX_CONNECTIVITY", "online");
        qputenv("TAVLIX_HEADLESS", "1");
        qputenv("TAVLIX_ELEVATE", ""); // a plain start: no password is asked in a test
        writeProgram(u"TavlixUpdate"_s, kUpdater);
        writeProgram(u"elevate.sh"_s, kDeclined);
    }
    void TearDown() override {
        AppFixture::TearDown();
        for (const char* name : {"TAVLIX_UPDATE_INFO_URL", "TAVLIX_UPDATE_PROGRAM_URL",
                                 "TAVLIX_CONNECTIVITY", "TAVLIX_HEADLESS", "TAVLIX_ELEVATE"})
            qunsetenv(name);
        EXPECT_EQ(ourBrowserProcesses(), QStringList()) << "every browser ends with the check";
    }
    void writeProgram(const QString& name, const QByteArray& script) {
        QFile file(programPath() + u'/' + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(script);
        file.close();
        file.setPermissions(file.permissions() | QFile::ExeOwner);
    }
    QByteArray read(const QString& name) const {
        QFile f(programPath() + u'/' + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    UpdateSite site;
};

TEST_F(UpdateStartUp, OnlyAVerifiedDownloadStartsTheUpdaterAndOnlyItsWordEndsTheProgram) {
    const QString announced = u"Güncelleme mevcut ! Otomatik kurulum yapılacaktır..."_s;
    const QString sha = QString::fromLatin1(
        QCryptographicHash::hash(UpdateSite::kProgram, QCryptographicHash::Sha256).toHex());
    const QString otherSha(64, u'0');
    const struct {
        const char* name;
        const char* page;
        QString drive;
        bool declined;         // the elevating command's password dialog is dismissed
        QString told;          // the message after the announcement; empty: the program ends
        QByteArray downloaded; // prgDosyaları/Tavlix afterwards
    } cases[] = {
        {"verified download", "/indir.html", u"Tavlix||||104||||,sha256:"_s + sha + u",2026"_s,
         false, QString(), UpdateSite::kProgram},
        {"download page without a link", "/baglantisiz.html", u"Tavlix||||104||||,sha256:"_s + sha,
         false, u"Yeni program indirilemedi"_s, QByteArray()},
        {"another SHA-256", "/indir.html", u"Tavlix||||104||||,sha256:"_s + otherSha, false,
         u"Yeni program doğrulanamadı, güncelleme yapılmadı."_s, QByteArray()},
        {"no SHA-256", "/indir.html", u"Tavlix||||104||||,2026"_s, false,
         u"Yeni program doğrulanamadı, güncelleme yapılmadı."_s, QByteArray()},
        {"administrator's permission refused", "/indir.html", u"Tavlix||||104||||,sha256:"_s + sha,
         true, u"Güncelleme için yönetici izni verilmedi; Tavlix bu sürümle açılıyor."_s,
         UpdateSite::kProgram},
    };
    makeStandardData();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        boxes->clear();
        QFile::remove(programPath() + u"/updater.txt"_s);
        QFile::remove(programPath() + u"/prgDosyaları/AtlananSurum.txt"_s);
        site.setDrive(c.drive);
        qputenv("TAVLIX_UPDATE_PROGRAM_URL", site.url(QString::fromUtf8(c.page)).toUtf8());
        qputenv("TAVLIX_ELEVATE", c.declined ? (programPath() + u"/elevate.sh"_s).toUtf8() : "");
        MainWindow w;
        EXPECT_EQ(w.startUp(), !c.told.isEmpty());
        ASSERT_FALSE(boxes->texts().isEmpty());
        EXPECT_EQ(boxes->texts().first(), announced);
        EXPECT_EQ(read(u"prgDosyaları/Tavlix"_s), c.downloaded);
        EXPECT_FALSE(QFile::exists(programPath() + u"/prgDosyaları/DRIVE.txt"_s));
        if (!c.told.isEmpty()) {
            EXPECT_EQ(boxes->texts().size(), 2);
            EXPECT_TRUE(boxes->last().startsWith(c.told)) << boxes->last().toStdString();
            QTest::qWait(300);
            EXPECT_FALSE(QFile::exists(programPath() + u"/updater.txt"_s));
        } else {
            EXPECT_EQ(boxes->texts(), QStringList{announced});
            EXPECT_TRUE(QTest::qWaitFor(
                [&] { return QFile::exists(programPath() + u"/updater.txt"_s); }, 5000));
            EXPECT_TRUE(read(u"updater.txt"_s)
                            .startsWith(programPath().toUtf8() + ' ' +
                                        QByteArray::number(QCoreApplication::applicationPid()) +
                                        ' ' + sha.toLatin1()))
                << "the updater is told the folder, the process to wait for and the SHA-256";
        }
        if (c.told.startsWith(u"Yeni program doğrulanamadı"_s)) {
            boxes->clear();
            MainWindow again;
            EXPECT_TRUE(again.startUp());
            EXPECT_EQ(boxes->texts(), QStringList()) << "not offered again that day";
        }
    }
}

TEST_F(UpdateStartUp, OfflineTellsSoAndStartUpGoesOn) {
    makeStandardData();
    site.setDrive(u"Tavlix||||104||||"_s);
    qputenv("TAVLIX_CONNECTIVITY", "offline");
    start();
    EXPECT_EQ(boxes->texts(), QStringList{u"İnternet bağlantınız yok Fatura yüklenemez !"_s});
    EXPECT_EQ(boxes->icons().first(), QMessageBox::Information);
    EXPECT_EQ(find<QComboBox>("Combo4")->count(), 2) << "the start went on to the company list";
}

} // namespace
} // namespace tavlix::test
