// "Fatura İndir" opens the download window Form3 over the program's own DATA.xlsx; its "Kapat"
// unloads it and the next press loads it afresh.
#include "AppFixture.h"

#include "received/DownloadWindow.h"

#include <QPointer>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace tavlix::test {
namespace {

using DownloadButton = AppFixture;

TEST_F(DownloadButton, OpensTheWindowAndKapatUnloadsIt) {
    makeStandardData();
    setToday(QDate(2023, 1, 17));
    start();
    auto* button = find<QPushButton>("Command6");
    ASSERT_NE(button, nullptr);
    button->click();
    QPointer<DownloadWindow> first = find<DownloadWindow>("Form3");
    ASSERT_FALSE(first.isNull());
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(first->isWindow());
    EXPECT_EQ(items(first->findChild<QListWidget*>(u"bList1"_s)),
              (QStringList{u"Alfa Ltd"_s, u"Beta AŞ"_s}));
    EXPECT_EQ(first->findChild<QListWidget*>(u"cList1"_s)->item(0)->text(), u"2022 Aralık "_s);

    first->findChild<QPushButton*>(u"Command3"_s)->click();
    for (int i = 0; i < 50 && first; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTest::qWait(10);
    }
    EXPECT_TRUE(first.isNull());

    button->click();
    auto* second = find<DownloadWindow>("Form3");
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->isVisible());
    EXPECT_FALSE(second->cancelRequested());
}

} // namespace
} // namespace tavlix::test
