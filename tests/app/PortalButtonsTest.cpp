// The main window's portal shortcuts are wired to their operation.
#include "AppFixture.h"

#include <QPushButton>

using namespace Qt::StringLiterals;

namespace tavlix::test {
namespace {

using PortalButtons = AppFixture;

TEST_F(PortalButtons, OfflineEachShortcutSaysSoAndStartsNoBrowser) {
    makeStandardData();
    start();
    qputenv("TAVLIX_CONNECTIVITY", "offline");
    for (const char* name : {"Command20", "Command22"}) {
        boxes->clear();
        QTest::mouseClick(find<QPushButton>(name), Qt::LeftButton);
        EXPECT_EQ(boxes->texts(), QStringList{u"İnternete bağlı değilsiniz !"_s}) << name;
    }
    qunsetenv("TAVLIX_CONNECTIVITY");
}

} // namespace
} // namespace tavlix::test
