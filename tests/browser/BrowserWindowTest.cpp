// A visible browser opens in the frame it was given, the first of a run too, also where a window
// manager would place a new window by its own rule.
#include "browser/BrowserDriver.h"

#include "support/Processes.h"
#include "support/SiteServer.h"
#include "support/TestDisplay.h"

#include <gtest/gtest.h>

#include <optional>

using namespace Qt::StringLiterals;

TEST(BrowserWindow, FirstWindowOfARunOpensInItsFrame) {
    std::optional<tavlix::test::TestDisplay> own; // the window manager's run brings its display
    if (qEnvironmentVariable("QT_QPA_PLATFORM") != u"xcb"_s && !own.emplace().ready())
        GTEST_SKIP() << "Xvfb could not be started: a visible browser needs a display.";
    qunsetenv("TAVLIX_HEADLESS");
    tavlix::test::becomeSubreaper();
    tavlix::test::SiteServer server(u"driver"_s);
    ASSERT_TRUE(server.start());
    tavlix::browser::BrowserDriver driver;
    driver.SetWindowRect({660, 20, 600, 700}); // beside a program on the left of 1280×800
    ASSERT_TRUE(driver.StartBrowser().ok() && driver.OpenPage(server.url(u"/index.html"_s)).ok());
    const auto shown = driver.RunScript(u"return [screenX, screenY, outerWidth, outerHeight];"_s);
    EXPECT_EQ(shown ? shown->toList() : QVariantList(), QVariantList({660, 20, 600, 700}));
}
