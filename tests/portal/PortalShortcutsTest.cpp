// The two portal shortcuts against the portal stand-in, with real headless Chromium.
#include "portal/PortalShortcuts.h"

#include "support/PortalSite.h"
#include "support/Processes.h"
#include "support/RecordingPrompt.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace tavlix::portal;

namespace {

class PortalShortcutsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        qputenv("TAVLIX_HEADLESS", "1");
        tavlix::test::becomeSubreaper();
    }
    void SetUp() override {
        qputenv("TAVLIX_CONNECTIVITY", "online");
        ASSERT_TRUE(site.start());
        settings.portalUser = u"33333333"_s;
        settings.portalPassword = u"Şifre-123"_s;
    }
    void TearDown() override {
        qunsetenv("TAVLIX_CONNECTIVITY");
        tavlix::test::endOurBrowserProcesses();
    }

    ShortcutOutcome run(Shortcut shortcut) {
        return runPortalShortcut(shortcut, site.url(), settings, prompt);
    }

    tavlix::test::PortalSite site;
    tavlix::CompanySettings settings;
    tavlix::test::RecordingPrompt prompt;
};

TEST_F(PortalShortcutsTest, EachButtonLeavesTheUserOnItsPage) {
    struct Case {
        Shortcut shortcut;
        QString page;
        QString message;
    };
    const Case cases[] = {
        {Shortcut::IssuedDocuments, u"/duzenlenen-belgeler.html"_s,
         u"Düzenlenen Belgeler sayfasına giriş yapıldı.."_s},
        {Shortcut::Cancellations, u"/iptal-itiraz.html"_s,
         u"İptal/İtiraz Talepleri sayfasına giriş yapıldı.."_s},
    };
    for (const Case& c : cases) {
        prompt.messages.clear();
        EXPECT_EQ(run(c.shortcut), ShortcutOutcome::PageOpened) << c.page.toStdString();
        EXPECT_EQ(prompt.messages, QStringList{c.message});
        EXPECT_TRUE(site.requestedPaths().contains(c.page)) << c.page.toStdString();
        // A headless browser is no one's to keep: it ends with the shortcut.
        EXPECT_EQ(tavlix::test::ourBrowserProcesses(), QStringList());
    }
    EXPECT_EQ(site.acceptedLogins(), 2); // each press logs in anew
}

TEST_F(PortalShortcutsTest, NothingIsReportedAsSuccessThatDidNotHappen) {
    // Offline: the message, and no browser.
    qputenv("TAVLIX_CONNECTIVITY", "offline");
    EXPECT_EQ(run(Shortcut::IssuedDocuments), ShortcutOutcome::Offline);
    EXPECT_EQ(prompt.messages, QStringList{u"İnternete bağlı değilsiniz !"_s});
    qputenv("TAVLIX_CONNECTIVITY", "online");

    // No password: nothing at all.
    prompt.messages.clear();
    settings.portalPassword.clear();
    EXPECT_EQ(run(Shortcut::Cancellations), ShortcutOutcome::NoCredentials);
    EXPECT_TRUE(prompt.messages.isEmpty());
    EXPECT_TRUE(prompt.steps.isEmpty());
    EXPECT_EQ(site.loginAttempts(), 0);
    EXPECT_EQ(tavlix::test::ourBrowserProcesses(), QStringList());

    // Wrong password: the portal keeps the login page; the user is told so, the browser closes.
    settings.portalPassword = u"yanlış"_s;
    EXPECT_EQ(run(Shortcut::Cancellations), ShortcutOutcome::LoginFailed);
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_TRUE(prompt.messages[0].contains(u"giriş yapılamadı"_s)) << prompt.last().toStdString();
    EXPECT_FALSE(prompt.messages[0].contains(u"yanlış"_s)); // the password is never shown
    EXPECT_EQ(site.loginAttempts(), 1);
    EXPECT_EQ(site.acceptedLogins(), 0);
    EXPECT_EQ(tavlix::test::ourBrowserProcesses(), QStringList());

    // A portal that does not answer: a message naming the login page.
    prompt.messages.clear();
    settings.portalPassword = u"Şifre-123"_s;
    const QString url = site.url();
    site.server().stop();
    EXPECT_EQ(runPortalShortcut(Shortcut::IssuedDocuments, url, settings, prompt),
              ShortcutOutcome::LoginFailed);
    EXPECT_EQ(prompt.messages, QStringList{u"e-Arşiv portalının giriş sayfası açılamadı."_s});
    EXPECT_EQ(tavlix::test::ourBrowserProcesses(), QStringList());
}

} // namespace
