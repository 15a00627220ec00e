// "SORGULA" against the portal stand-in, with real headless Chromium.
#include "customers/TaxNumberLookup.h"

#include "customers/CustomerCardWindow.h"
#include "invoice/RecordingHost.h"

#include "support/PortalSite.h"
#include "support/Processes.h"
#include "support/RecordingPrompt.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using tavlix::customers::LookupResult;

namespace {

class TaxNumberLookupTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        qputenv("TAVLIX_HEADLESS", "1");
        tavlix::test::becomeSubreaper();
    }
    void SetUp() override {
        ASSERT_TRUE(site.start());
        settings.portalUser = u"33333333"_s;
        settings.portalPassword = u"Şifre-123"_s;
    }
    void TearDown() override { EXPECT_EQ(tavlix::test::ourBrowserProcesses(), QStringList()); }
    LookupResult lookUp(const QString& number) {
        return tavlix::customers::lookUpTaxNumber(number, site.url(), settings, prompt);
    }

    tavlix::test::PortalSite site;
    tavlix::CompanySettings settings;
    tavlix::test::RecordingPrompt prompt;
};

TEST_F(TaxNumberLookupTest, KnownNumbersFillTheCard) {
    struct Case {
        const char* name;
        QString number;
        int delayMs; // how long the portal takes to fill the buyer fields
        LookupResult::Kind kind;
        QString title, firstName, surname, taxOffice;
    };
    const Case cases[] = {
        {"organisation",
         u"1234567890"_s,
         50,
         LookupResult::Kind::Organisation,
         u"ÖRNEK TİCARET LİMİTED ŞİRKETİ"_s,
         {},
         {},
         u"KADIKÖY"_s},
        {"person",
         u"12345678901"_s,
         50,
         LookupResult::Kind::Person,
         {},
         u"AYŞE"_s,
         u"YILDIRIM"_s,
         u"ÇANKAYA"_s},
        {"slow answer read on a later re-read",
         u"1234567890"_s,
         600,
         LookupResult::Kind::Organisation,
         u"ÖRNEK TİCARET LİMİTED ŞİRKETİ"_s,
         {},
         {},
         u"KADIKÖY"_s},
    };
    for (const Case& c : cases) {
        site.server().setSwitch(u"aliciGecikmeMs"_s, c.delayMs);
        prompt.messages.clear();
        const LookupResult r = lookUp(c.number);
        EXPECT_TRUE(prompt.messages.isEmpty()) << c.name << ": " << prompt.last().toStdString();
        EXPECT_TRUE(r.read) << c.name;
        EXPECT_EQ(r.kind, c.kind) << c.name;
        EXPECT_EQ(r.title, c.title) << c.name;
        EXPECT_EQ(r.firstName, c.firstName) << c.name;
        EXPECT_EQ(r.surname, c.surname) << c.name;
        EXPECT_EQ(r.taxOffice, c.taxOffice) << c.name;
        EXPECT_EQ(r.status, u"Sorgulama tamamlandı..!"_s) << c.name;
    }
}

TEST_F(TaxNumberLookupTest, FailuresEndInTheirMessages) {
    // A number the portal does not know: re-read until it gives up.
    LookupResult r = lookUp(u"9999999999"_s);
    EXPECT_EQ(prompt.messages, QStringList{u"Site Yoğun, daha sonra deneyiniz"_s});
    EXPECT_FALSE(r.read);
    EXPECT_EQ(r.kind, LookupResult::Kind::Organisation);
    EXPECT_TRUE(r.taxOffice.isEmpty());
    EXPECT_TRUE(r.status.isEmpty());
    EXPECT_EQ(tavlix::test::ourBrowserProcesses(), QStringList());

    prompt.messages.clear();
    settings.portalPassword = u"yanlış"_s;
    r = lookUp(u"1234567890"_s);
    EXPECT_EQ(prompt.messages, QStringList{u"Kullanıcı adı veya şifreyi kontrol ediniz"_s});
    EXPECT_FALSE(r.read);
    EXPECT_EQ(tavlix::test::ourBrowserProcesses(), QStringList());

    // Missing credentials: only the status line, no browser.
    prompt.messages.clear();
    const int attempts = site.loginAttempts();
    settings.portalPassword.clear();
    EXPECT_EQ(lookUp(u"1234567890"_s).status, u"Earşiv kullanıcı şifre girilmemiş!"_s);
    settings.portalUser.clear();
    EXPECT_EQ(lookUp(u"1234567890"_s).status, u"Earşiv kullanıcı seçimi yapınız...!"_s);
    EXPECT_TRUE(prompt.messages.isEmpty());
    EXPECT_EQ(site.loginAttempts(), attempts);
}

TEST_F(TaxNumberLookupTest, TheCardTakesWhatThePortalFilled) {
    qputenv("TAVLIX_PORTAL_URL", site.url().toUtf8());
    tavlix::test::RecordingHost host;
    host.settings = settings;
    tavlix::CustomerCardWindow card(host);
    card.show();
    auto text = [&](int n) { return card.findChild<QLineEdit*>(u"Text%1"_s.arg(n)); };
    text(4)->setText(u"Elle yazılmış adres"_s);
    text(6)->setText(u"1234567890"_s);
    QPushButton* lookup = card.findChild<QPushButton*>(u"Command3"_s);
    ASSERT_TRUE(lookup->isEnabled());
    QTest::mouseClick(lookup, Qt::LeftButton);
    qunsetenv("TAVLIX_PORTAL_URL");

    EXPECT_TRUE(card.findChild<QRadioButton*>(u"Option1"_s)->isChecked());
    EXPECT_FALSE(card.findChild<QRadioButton*>(u"Option2"_s)->isChecked());
    EXPECT_EQ(text(1)->text(), u"ÖRNEK TİCARET LİMİTED ŞİRKETİ"_s);
    EXPECT_EQ(text(1)->cursorPosition(), 0) << "a long name shown from its first letter";
    EXPECT_EQ(text(5)->text(), u"KADIKÖY"_s);
    EXPECT_EQ(text(6)->text(), u"1234567890"_s);
    EXPECT_TRUE(text(4)->text().isEmpty()); // the lookup starts from an empty card
    EXPECT_EQ(card.findChild<QLabel*>(u"Label14"_s)->text(), u"Sorgulama tamamlandı..!"_s);
    EXPECT_TRUE(card.findChild<QPushButton*>(u"Command1"_s)->isEnabled());
    EXPECT_TRUE(card.findChild<QPushButton*>(u"Command4"_s)->isEnabled());
}

} // namespace
