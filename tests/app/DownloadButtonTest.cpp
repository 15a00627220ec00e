// "Fatura İndir" opens the download window Form3 over the program's own DATA.xlsx; its "Kapat"
// unloads it and the next press loads it afresh.
#include "AppFixture.h"

#include "received/DownloadWindow.h"
#include "summary/SummaryWindow.h"

#include <QAction>
#include <QMenuBar>

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

// "Raporlar → Aylık Özet" opens the summary on the chosen company and this month.
TEST_F(DownloadButton, SummaryMenuOpensTheMonthOfTheChosenCompany) {
    makeStandardData();
    setToday(QDate(2023, 1, 17));
    start();
    selectCompany(u"Beta AŞ"_s);
    find<QAction>("menuOzet")->trigger();
    auto* summary = find<summary::SummaryWindow>("FormOzet");
    ASSERT_NE(summary, nullptr);
    EXPECT_TRUE(summary->isVisible());
    EXPECT_EQ(summary->findChild<QComboBox*>(u"cmbFirma"_s)->currentText(), u"Beta AŞ"_s);
    EXPECT_EQ(items(summary->findChild<QComboBox*>(u"cmbAy"_s)).mid(0, 2),
              (QStringList{u"Ocak 2023"_s, u"Aralık 2022"_s}));
}

} // namespace
} // namespace tavlix::test
