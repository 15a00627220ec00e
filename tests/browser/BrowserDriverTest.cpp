// The WebDriver client against real headless Chromium and a small page of its own.
#include "browser/BrowserDriver.h"

#include "browser/ActionChain.h"

#include "support/Processes.h"
#include "support/SiteServer.h"

#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace Qt::StringLiterals;
using tavlix::browser::BrowserDriver;
using tavlix::browser::Element;
namespace keys = tavlix::browser::keys;

namespace {

class BrowserDriverTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        qputenv("TAVLIX_HEADLESS", "1");
        tavlix::test::becomeSubreaper();
        server = new tavlix::test::SiteServer(u"driver"_s);
        ASSERT_TRUE(server->start());
        driver = new BrowserDriver;
        driver->setKeepAlive([] { ++keepAliveCalls; });
        const auto started = driver->StartBrowser();
        ASSERT_TRUE(started.ok()) << started.message().toStdString();
    }
    static void TearDownTestSuite() {
        delete driver;
        driver = nullptr;
        delete server;
        server = nullptr;
        EXPECT_EQ(tavlix::test::ourBrowserProcesses(), QStringList());
    }
    void SetUp() override {
        ASSERT_TRUE(driver && driver->started());
        ASSERT_TRUE(driver->OpenPage(server->url(u"/index.html"_s)).ok());
    }

    static Element byId(const QString& id) {
        const auto found = driver->FindById(id);
        EXPECT_TRUE(found.ok()) << id.toStdString();
        return found.ok() ? *found : Element{};
    }
    static QString attribute(const Element& e, const QString& name) {
        const auto value = driver->ReadAttribute(e, name);
        return value.ok() ? *value : u"<hata: %1>"_s.arg(value.message());
    }
    static QString script(const QString& text) {
        const auto value = driver->RunScript(text);
        return value.ok() ? value->toString() : u"<hata>"_s;
    }

    static inline tavlix::test::SiteServer* server = nullptr;
    static inline BrowserDriver* driver = nullptr;
    static inline int keepAliveCalls = 0;
};

TEST_F(BrowserDriverTest, FindOperationsReachTheirElement) {
    struct Case {
        const char* name;
        std::function<tavlix::Result<Element>()> find;
        QString id;
    };
    const Case cases[] = {
        {"id", [] { return driver->FindById(u"ad"_s); }, u"ad"_s},
        {"name", [] { return driver->FindByName(u"adAlani"_s); }, u"ad"_s},
        {"link text", [] { return driver->FindByLinkText(u"Belge İşlemleri"_s); }, u"bag1"_s},
        {"link text with parentheses",
         [] { return driver->FindByLinkText(u"Fatura Oluştur (5.000/30.000 TL)"_s); }, u"bag2"_s},
        {"xpath", [] { return driver->FindByXPath(u"//select"_s); }, u"secim"_s},
        {"class among several", [] { return driver->FindByClass(u"ana"_s); }, u"baslik"_s},
        {"value", [] { return driver->FindElementByValue(u"MAINTREEMENU"_s); }, u"gec"_s},
        {"element appearing later", [] { return driver->FindById(u"gec-gelen"_s); },
         u"gec-gelen"_s},
    };
    for (const Case& c : cases) {
        const auto found = c.find();
        ASSERT_TRUE(found.ok()) << c.name << ": " << found.message().toStdString();
        EXPECT_EQ(attribute(*found, u"id"_s), c.id) << c.name;
    }

    const auto first = driver->FindFirstByTagIn(byId(u"liste"_s), u"li"_s);
    ASSERT_TRUE(first.ok());
    EXPECT_EQ(driver->ReadText(*first).value(), u"bir"_s);
}

TEST_F(BrowserDriverTest, ListsAttributesAndSelects) {
    struct ListCase {
        const char* name;
        std::function<tavlix::Result<tavlix::browser::ElementList>()> find;
        int count;
    };
    const ListCase lists[] = {
        {"class", [] { return driver->FindAllByClass(u"kalem"_s); }, 3},
        {"tag in element", [] { return driver->FindAllByTag(byId(u"liste"_s), u"li"_s); }, 3},
        {"tag on page", [] { return driver->FindAllByTag(u"option"_s); }, 3},
        {"id", [] { return driver->FindAllById(u"ad"_s); }, 1},
    };
    for (const ListCase& c : lists) {
        const auto found = c.find();
        ASSERT_TRUE(found.ok()) << c.name;
        EXPECT_EQ(BrowserDriver::Count(*found), c.count) << c.name;
    }
    const auto items = driver->FindAllByClass(u"kalem"_s);
    EXPECT_EQ(driver->ReadText(items->at(2)).value(), u"üç"_s);

    EXPECT_EQ(attribute(byId(u"kutu"_s), u"rel"_s), u"resim"_s);
    EXPECT_EQ(attribute(byId(u"baslik"_s), u"class"_s), u"baslik ana"_s);
    EXPECT_EQ(attribute(byId(u"uyar"_s), u"type"_s), u"button"_s);

    const Element select = byId(u"secim"_s);
    ASSERT_TRUE(driver->SelectByText(select, u"EURO"_s).ok());
    EXPECT_EQ(attribute(select, u"value"_s), u"EUR"_s);
    ASSERT_TRUE(driver->SelectByValue(select, u"TL"_s).ok());
    EXPECT_EQ(attribute(select, u"value"_s), u"TL"_s);
    // A text that is no option's visible text fails and leaves the choice alone.
    EXPECT_FALSE(driver->SelectByText(select, u"601 … % 40"_s).ok());
    EXPECT_FALSE(driver->SelectByValue(select, u"XXX"_s).ok());
    EXPECT_EQ(attribute(select, u"value"_s), u"TL"_s);
}

TEST_F(BrowserDriverTest, KeysScriptsAlertsAndImages) {
    const QString turkish = u"Çağrı Öztürk İĞŞ ıüö"_s;
    const Element name = byId(u"ad"_s);
    ASSERT_TRUE(driver->TypeText(name, turkish).ok());
    ASSERT_TRUE(driver->TypeText(name, u"!"_s).ok());
    EXPECT_EQ(attribute(name, u"value"_s), turkish + u"!"_s); // typing appends

    ASSERT_TRUE(driver->Click(name).ok());
    ASSERT_TRUE(driver->SendKeysToPage(keys::Tab).ok());
    EXPECT_EQ(script(u"return document.activeElement.id"_s), u"soyad"_s);
    ASSERT_TRUE(driver->SendKeysToPage(keys::Enter).ok());
    EXPECT_TRUE(driver->ReadText(byId(u"olaylar"_s))->contains(u"enter;"_s));

    // A real paste event, with Turkish text, into the focused field.
    const QString pasted = u"Şeker ığüşöç 01/02/2024"_s;
    const Element target = byId(u"yapistir"_s);
    ASSERT_TRUE(driver->Click(target).ok());
    const auto paste = driver->ClipboardPaste(pasted);
    ASSERT_TRUE(paste.ok()) << paste.message().toStdString();
    EXPECT_EQ(attribute(target, u"value"_s), pasted);
    EXPECT_TRUE(driver->ReadText(byId(u"olaylar"_s))->contains(u"paste:"_s + pasted))
        << driver->ReadText(byId(u"olaylar"_s))->toStdString();

    const auto result = driver->RunScript(u"return arguments[0].id + '-' + (1 + 1)"_s, {name});
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result->toString(), u"ad-2"_s);
    ASSERT_TRUE(
        driver->RunScript(u"arguments[0].setAttribute('class', 'csc-textbox')"_s, {name}).ok());
    EXPECT_EQ(attribute(name, u"class"_s), u"csc-textbox"_s);

    ASSERT_TRUE(driver->Click(byId(u"uyar"_s)).ok());
    EXPECT_EQ(driver->AlertText().value(), u"Dikkat!"_s);
    EXPECT_TRUE(driver->AcceptAlert().ok());
    EXPECT_FALSE(driver->AcceptAlert().ok()); // no alert open any more

    const auto image = driver->CaptureElementImage(byId(u"kutu"_s));
    ASSERT_TRUE(image.ok()) << image.message().toStdString();
    EXPECT_GE(image->width(), 40);
    EXPECT_GE(image->height(), 20);
    EXPECT_EQ(image->pixelColor(image->width() / 2, image->height() / 2), QColor(255, 0, 0));
}

// A chain types every character as it is, line breaks as Enter keys; one that meets a removed
// element stops there, the fields before it typed, those after it untouched.
TEST_F(BrowserDriverTest, AnActionChainTypesExactlyAndStopsAtAStaleElement) {
    const QString line = u"\"çift\" 'tek' \\ </script><b>&amp;</b> ĞÜŞİÖÇ ğüşıöç"_s;
    const QString notes = line + u"\nikinci satır\n\nson"_s;
    tavlix::browser::ActionChain chain;
    chain.click(byId(u"ad"_s));
    chain.type(line);
    chain.pause(5);
    chain.click(byId(u"notlar"_s));
    chain.type(notes);
    const auto done = driver->PerformActions(chain);
    ASSERT_TRUE(done.ok()) << done.message().toStdString();
    EXPECT_EQ(attribute(byId(u"ad"_s), u"value"_s), line);
    EXPECT_EQ(attribute(byId(u"notlar"_s), u"value"_s), notes);

    const Element first = byId(u"soyad"_s), gone = byId(u"yapistir"_s), last = byId(u"ad"_s);
    ASSERT_TRUE(driver->RunScript(u"arguments[0].remove(); return true;"_s, {gone}).ok());
    tavlix::browser::ActionChain broken;
    for (const auto& [field, text] :
         {std::pair{first, u"bir"_s}, std::pair{gone, u"iki"_s}, std::pair{last, u"üç"_s}}) {
        broken.click(field);
        broken.type(text);
    }
    EXPECT_FALSE(driver->PerformActions(broken).ok());
    EXPECT_EQ(attribute(first, u"value"_s), u"bir"_s);
    EXPECT_EQ(attribute(last, u"value"_s), line);
}

TEST_F(BrowserDriverTest, MissingElementsFailWithinTheSearchTimeAndWaitsKeepTheWindowAlive) {
    QElapsedTimer timer;
    timer.start();
    const auto missing = driver->FindById(u"yok"_s);
    const qint64 elapsed = timer.elapsed();
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().code, tavlix::ErrorCode::NotFound);
    EXPECT_TRUE(missing.message().contains(u"yok"_s));
    EXPECT_GE(elapsed, BrowserDriver::kDefaultSearchMs - 100);
    EXPECT_LT(elapsed, BrowserDriver::kDefaultSearchMs + 1500);

    timer.restart();
    EXPECT_FALSE(driver->IsPresent(u"yok"_s, 300));
    EXPECT_LT(timer.elapsed(), 1300);
    ASSERT_TRUE(driver->OpenPage(server->url(u"/index.html"_s)).ok());
    EXPECT_TRUE(driver->IsPresent(u"sonradan"_s, 3000)); // by class, appears after 700 ms
    EXPECT_TRUE(driver->IsPresent(u"liste"_s, 0));

    const int before = keepAliveCalls;
    timer.restart();
    driver->Wait(200);
    EXPECT_GE(timer.elapsed(), 200);
    EXPECT_GE(keepAliveCalls - before, 3); // about every 20 ms, fewer on a busy machine
}

// Sessions of their own: what is left of the processes after a session ends.
TEST(BrowserDriverSessionTest, NoProcessOutlivesASessionThatFailedHalfWay) {
    qputenv("TAVLIX_HEADLESS", "1");
    tavlix::test::becomeSubreaper();
    tavlix::test::SiteServer server(u"driver"_s);
    ASSERT_TRUE(server.start());
    {
        BrowserDriver driver;
        ASSERT_TRUE(driver.StartBrowser().ok());
        ASSERT_TRUE(driver.OpenPage(server.url(u"/index.html"_s)).ok());
        EXPECT_FALSE(tavlix::test::ourBrowserProcesses(0).isEmpty());
        ASSERT_FALSE(driver.FindByXPath(u"//*[@id='yok']"_s).ok());
        ASSERT_TRUE(driver.Click(driver.FindById(u"uyar"_s).value()).ok());
        // An alert left open and an operation that gives up here: the destructor cleans up.
    }
    EXPECT_EQ(tavlix::test::ourBrowserProcesses(), QStringList());

    // A browser that cannot start: the driver it started is gone too.
    qputenv("TAVLIX_BROWSER", "/nonexistent/chromium");
    {
        BrowserDriver driver;
        const auto started = driver.StartBrowser();
        EXPECT_FALSE(started.ok());
        EXPECT_FALSE(driver.started());
        EXPECT_FALSE(driver.OpenPage(server.url(u"/index.html"_s)).ok());
    }
    qunsetenv("TAVLIX_BROWSER");
    EXPECT_EQ(tavlix::test::ourBrowserProcesses(), QStringList());
    // Nor does anything the browser wrote to its temporary folder.
    EXPECT_EQ(QDir::temp().entryList(
                  {u"tavlix-browser-%1-*"_s.arg(QCoreApplication::applicationPid())}, QDir::Dirs),
              QStringList());

    // Detached but headless: nobody sees that browser, so it ends with the session.
    {
        BrowserDriver driver;
        driver.SetDetach(true);
        ASSERT_TRUE(driver.StartBrowser().ok());
        ASSERT_TRUE(driver.OpenPage(server.url(u"/index.html"_s)).ok());
    }
    EXPECT_EQ(tavlix::test::ourBrowserProcesses(), QStringList());
    EXPECT_EQ(QDir::temp().entryList(
                  {u"tavlix-browser-%1-*"_s.arg(QCoreApplication::applicationPid())}, QDir::Dirs),
              QStringList());
}

} // namespace
