// The update at start-up end to end: a newer version in DRIVE.txt, the new program downloaded by
// headless Chromium from a download page, the updater started and the program ending.
#include "AppFixture.h"

#include "support/Processes.h"
#include "support/UpdateSite.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace tavlix::test {
namespace {

// A stand-in updater: records the arguments it was started with.
const QByteArray kUpdater = "#!/bin/sh\necho \"$@\" > \"$(dirname \"$0\")/updater.txt\"\n";

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
        QFile updater(programPath() + u"/TavlixUpdate"_s);
        ASSERT_TRUE(updater.open(QIODevice::WriteOnly));
        updater.write(kUpdater);
        updater.close();
        updater.setPermissions(updater.permissions() | QFile::ExeOwner);
    }
    void TearDown() override {
        AppFixture::TearDown();
        for (const char* name : {"TAVLIX_UPDATE_INFO_URL", "TAVLIX_UPDATE_PROGRAM_URL",
                                 "TAVLIX_CONNECTIVITY", "TAVLIX_HEADLESS", "TAVLIX_ELEVATE"})
            qunsetenv(name);
        EXPECT_EQ(ourBrowserProcesses(), QStringList()) << "every browser ends with the check";
    }
    QByteArray read(const QString& name) const {
        QFile f(programPath() + u'/' + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    UpdateSite site;
};

TEST_F(UpdateStartUp, NewerVersionIsDownloadedAndTheUpdaterStartedOrTheFailureTold) {
    const QString announced = u"Güncelleme mevcut ! Otomatik kurulum yapılacaktır..."_s;
    const struct {
        const char* name;
        const char* page;
        bool startUpGoesOn;
        QByteArray downloaded; // prgDosyaları/Tavlix afterwards
    } cases[] = {
        {"download page with its link", "/indir.html", false, UpdateSite::kProgram},
        {"download page without a link", "/baglantisiz.html", true, QByteArray()},
    };
    makeStandardData();
    site.setDrive(u"Tavlix||||104||||,2026"_s);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        boxes->clear();
        QFile::remove(programPath() + u"/updater.txt"_s);
        qputenv("TAVLIX_UPDATE_PROGRAM_URL", site.url(QString::fromUtf8(c.page)).toUtf8());
        MainWindow w;
        EXPECT_EQ(w.startUp(), c.startUpGoesOn);
        ASSERT_FALSE(boxes->texts().isEmpty());
        EXPECT_EQ(boxes->texts().first(), announced);
        EXPECT_EQ(read(u"prgDosyaları/Tavlix"_s), c.downloaded);
        EXPECT_FALSE(QFile::exists(programPath() + u"/prgDosyaları/DRIVE.txt"_s));
        if (c.startUpGoesOn) {
            EXPECT_EQ(boxes->texts().size(), 2);
            EXPECT_TRUE(boxes->last().startsWith(u"Yeni program indirilemedi"_s))
                << boxes->last().toStdString();
            QTest::qWait(300);
            EXPECT_FALSE(QFile::exists(programPath() + u"/updater.txt"_s));
        } else {
            EXPECT_EQ(boxes->texts(), QStringList{announced});
            EXPECT_TRUE(QTest::qWaitFor(
                [&] { return QFile::exists(programPath() + u"/updater.txt"_s); }, 5000));
            EXPECT_TRUE(read(u"updater.txt"_s).startsWith(programPath().toUtf8() + ' '))
                << "the updater is told the program folder";
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
