// The update at start-up in the main window: a build without the publisher's key offers nothing,
// a Tavlix the updater started again after a failure says why, and offline the start goes on.
// The update itself is tested against the release stand-in in tests/update.
#include "AppFixture.h"

#include "support/UpdateSite.h"
#include "update/ReleaseSignature.h"
#include "update/UpdateInstall.h"

using namespace Qt::StringLiterals;

namespace tavlix::test {
namespace {

class UpdateStartUp : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(site.start());
        qputenv("TAVLIX_UPDATE_INFO_URL", site.url(u"/DRIVE.txt"_s).toUtf8());
        qputenv("TAVLIX_CONNECTIVITY", "online");
    }
    void TearDown() override {
        AppFixture::TearDown();
        for (const char* name :
             {"TAVLIX_UPDATE_INFO_URL", "TAVLIX_UPDATE_PROGRAM_URL", "TAVLIX_CONNECTIVITY"})
            qunsetenv(name);
    }

    UpdateSite site;
};

TEST_F(UpdateStartUp, ABuildWithoutTheKeyOffersNothingAndARestartAfterAFailureSaysWhy) {
    if (!compiledUpdateKey().isEmpty())
        GTEST_SKIP() << "this build has the publisher's key";
    const QString told = u"Güncelleme yapılamadı: yeni Tavlix açılamadı, önceki sürüm geri "
                         u"yüklendi. Tavlix bu sürümle açılıyor."_s;
    makeStandardData();
    site.setDrive(u"Tavlix||||104||||,sha256:"_s + QString(64, u'0'));
    qputenv("TAVLIX_UPDATE_PROGRAM_URL", site.url(u"/indir.html"_s).toUtf8());
    qputenv(kUpdateMessageVariable, told.toUtf8());
    start();
    EXPECT_EQ(boxes->texts(), QStringList{told});
    EXPECT_FALSE(qEnvironmentVariableIsSet(kUpdateMessageVariable)) << "said once, not passed on";
    EXPECT_EQ(site.programRequests(), 0);
    EXPECT_EQ(find<QComboBox>("Combo4")->count(), 2) << "the start went on to the company list";
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
