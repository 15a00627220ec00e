// The download window Form3: months offered, the company list and its book-type filter, the
// stored lists of a company, and "Kapat" — idle, and while a query waits for the captcha.
#include "received/DownloadWindow.h"

#include "invoice/RecordingHost.h"
#include "received/IvdSite.h"
#include "support/MessageBoxes.h"
#include "support/Openpyxl.h"
#include "support/Processes.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace tavlix {
namespace {

class DownloadWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        host.workbookPath = dir.filePath(u"Data/DATA.xlsx"_s);
        host.todayDate = QDate(2023, 1, 17);
        ASSERT_TRUE(QDir().mkpath(dir.filePath(u"Data"_s)));
        // Column E has a book type but no name; L is beyond the window's ten columns.
        ASSERT_TRUE(test::writeWithOpenpyxl(host.workbookPath, uR"(
wb = openpyxl.Workbook()
ws = wb.active
ws.title = 'prgDATA'
companies = {2: ('Bilanço A.Ş.', 'B'), 3: ('Zirai Çiftlik', 'Z'), 4: ('Boş Tür Ltd', None),
             5: (None, 'Z'), 6: ('Zeytin Üretim', 'Z'), 7: ('İşletme Ltd', 'İ'),
             11: ('Onuncu Sütun', None), 12: ('Sağdaki Firma', 'Z'), 13: ('Daha Sağda', None)}
for col, (name, kind) in companies.items():
    ws.cell(2, col, name); ws.cell(10, col, kind)
ws.cell(8, 2, '%1'); ws.cell(9, 2, '%2')
wb.save(path)
)"_s.arg(test::IvdSite::kUser, test::IvdSite::kPassword)));
        window = new DownloadWindow(host, dir.path());
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.data()));
    }
    void TearDown() override { delete window.data(); }

    template <typename T> T* find(const QString& name) {
        T* w = window->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    QStringList items(const QString& list) {
        QStringList texts;
        auto* w = find<QListWidget>(list);
        for (int i = 0; i < w->count(); ++i)
            texts << w->item(i)->text();
        return texts;
    }
    void click(const QString& list, const QString& text) {
        auto* w = find<QListWidget>(list);
        const auto found = w->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << text.toStdString();
        w->scrollToItem(found[0]);
        QTest::mouseClick(w->viewport(), Qt::LeftButton, {}, w->visualItemRect(found[0]).center());
    }
    QString status() { return find<QLabel>(u"Text4"_s)->text(); }
    // "Kapat" unloads the window once control is back in the event loop.
    bool unloaded() {
        for (int i = 0; i < 100 && window; ++i) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QTest::qWait(20);
        }
        return window.isNull();
    }

    QTemporaryDir dir;
    test::RecordingHost host;
    QPointer<DownloadWindow> window;
};

TEST_F(DownloadWindowTest, PeriodsAndCompaniesByBookType) {
    EXPECT_EQ(window->objectName(), u"Form3"_s);
    EXPECT_EQ(window->windowTitle(), u"Tavlix-eArşiv Fatura İndir"_s);
    const QStringList periods = items(u"cList1"_s);
    ASSERT_EQ(periods.size(), 25);
    EXPECT_EQ(periods.first(), u"2022 Aralık "_s);
    EXPECT_EQ(periods.last(), u"2020 Aralık "_s);
    EXPECT_FALSE(find<QListWidget>(u"cList1"_s)->isEnabled());
    EXPECT_FALSE(find<QPushButton>(u"Command1"_s)->isEnabled());
    EXPECT_TRUE(find<QPushButton>(u"Command4"_s)->isHidden());

    // The window opens with the focus in the book-type box, showing "Hepsi".
    QApplication::setActiveWindow(window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.data()));
    auto* combo = find<QComboBox>(u"Combo1"_s);
    ASSERT_TRUE(combo->hasFocus());
    EXPECT_EQ(combo->currentText(), u"Hepsi"_s);
    const QStringList all = {u"Bilanço A.Ş."_s,  u"Zirai Çiftlik"_s, u"Boş Tür Ltd"_s,
                             u"Zeytin Üretim"_s, u"İşletme Ltd"_s,   u"Onuncu Sütun"_s};
    EXPECT_EQ(items(u"bList1"_s), all) << "on load: every named company of columns 2 to 11";

    // Each company is then clicked with the mouse, the focus leaving the box for the list.
    struct Case {
        const char* name;
        int bookType; // Combo1 position picked with the keyboard
        QStringList companies;
    };
    const Case cases[] = {
        {"left as it was", 0, all},
        {"Zirai K.", 4, {u"Zirai Çiftlik"_s, u"Zeytin Üretim"_s}},
        {"Bilanço", 1, {u"Bilanço A.Ş."_s}},
        {"Diğer", 5, {}},
        {"Hepsi again", 0, all},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        combo->setFocus(Qt::TabFocusReason);
        for (int i = 0; i < 6 && combo->currentIndex() != c.bookType; ++i)
            QTest::keyClick(combo, combo->currentIndex() < c.bookType ? Qt::Key_Down : Qt::Key_Up);
        EXPECT_EQ(items(u"bList1"_s), c.companies);
        for (const QString& company : c.companies) {
            click(u"bList1"_s, company);
            EXPECT_EQ(status(), u" İşlem yapılacak firma: "_s + company + u" / "_s);
        }
    }
}

TEST_F(DownloadWindowTest, CompanyAndPeriodChoiceShowStatusAndStoredLists) {
    const QString folder = dir.filePath(u"Firmalarım/Bilanço A.Ş./Alış Faturaları/"_s);
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const QString& name :
         {u"b 2022-11 eArşivFat.xlsx"_s, u"A.XLSX"_s, u"not.txt"_s, u"eski.xls"_s}) {
        QFile f(folder + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }

    click(u"bList1"_s, u"Bilanço A.Ş."_s);
    EXPECT_EQ(status(), u" İşlem yapılacak firma: Bilanço A.Ş. / "_s);
    EXPECT_EQ(items(u"dList1"_s), (QStringList{u"A.XLSX"_s, u"b 2022-11 eArşivFat.xlsx"_s}));
    EXPECT_TRUE(find<QListWidget>(u"cList1"_s)->isEnabled());

    click(u"cList1"_s, u"2022 Kasım "_s);
    EXPECT_EQ(status(), u" İşlem yapılacak firma: Bilanço A.Ş. / 2022 Kasım "_s);
    EXPECT_TRUE(find<QPushButton>(u"Command1"_s)->isEnabled());

    // A company without a purchase folder, or with only other files, lists nothing.
    click(u"bList1"_s, u"Zirai Çiftlik"_s);
    EXPECT_EQ(items(u"dList1"_s), QStringList());
    EXPECT_EQ(status(), u" İşlem yapılacak firma: Zirai Çiftlik / 2022 Kasım "_s);
}

TEST_F(DownloadWindowTest, KapatWithNothingRunningUnloads) {
    QTest::mouseClick(find<QPushButton>(u"Command3"_s), Qt::LeftButton);
    EXPECT_TRUE(window.isNull() || window->isHidden());
    EXPECT_TRUE(unloaded());
}

TEST_F(DownloadWindowTest, KapatWhileTheCaptchaIsAwaitedEndsEverythingAndSavesNothing) {
    qputenv("TAVLIX_HEADLESS", "1");
    test::becomeSubreaper();
    test::IvdSite site;
    ASSERT_TRUE(site.start());
    qputenv("TAVLIX_IVD_URL", site.url().toUtf8());

    click(u"bList1"_s, u"Bilanço A.Ş."_s);
    click(u"cList1"_s, u"2022 Kasım "_s);
    auto* picture = find<QLabel>(u"Image1"_s);
    bool closedAtCaptcha = false;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (!window || picture->pixmap().isNull())
            return;
        // The window still answers while the query waits: the user types part of a code, then
        // gives up.
        window->findChild<QLineEdit*>(u"Text3"_s)->setText(u"AB"_s);
        closedAtCaptcha = true;
        user.stop();
        QTest::mouseClick(find<QPushButton>(u"Command3"_s), Qt::LeftButton);
    });
    user.start(50);
    QTimer::singleShot(90000, [&] { // a hang ends the test instead of the run
        if (window && !closedAtCaptcha)
            QTest::mouseClick(find<QPushButton>(u"Command3"_s), Qt::LeftButton);
    });
    QTest::mouseClick(find<QPushButton>(u"Command1"_s), Qt::LeftButton);
    qunsetenv("TAVLIX_IVD_URL");

    EXPECT_TRUE(closedAtCaptcha);
    EXPECT_TRUE(unloaded());
    EXPECT_EQ(site.loginAttempts(), 0);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(u"Firmalarım/Bilanço A.Ş./Alış Faturaları"_s)));
    EXPECT_EQ(test::ourBrowserProcesses(), QStringList());
}

// The site's session ends after the first range: the query ends within seconds with the site's
// words in a box and in no status line as markup, saves nothing, and leaves no browser behind.
TEST_F(DownloadWindowTest, AnExpiredSessionEndsTheQueryAtOnceAndSavesNothing) {
    qputenv("TAVLIX_HEADLESS", "1");
    test::becomeSubreaper();
    test::IvdSite site;
    ASSERT_TRUE(site.start());
    site.server().setSwitch(u"sessionEndsAt"_s, 2);
    qputenv("TAVLIX_IVD_URL", site.url().toUtf8());
    test::MessageBoxes boxes;

    click(u"bList1"_s, u"Bilanço A.Ş."_s);
    click(u"cList1"_s, u"2022 Kasım "_s);
    auto* picture = find<QLabel>(u"Image1"_s);
    QElapsedTimer typed;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (!window || picture->pixmap().isNull())
            return;
        user.stop();
        typed.start();
        window->findChild<QLineEdit*>(u"Text3"_s)->setText(site.captcha());
    });
    user.start(50);
    QTimer::singleShot(90000, [&] { // a hang ends the test instead of the run
        if (window)
            QTest::mouseClick(find<QPushButton>(u"Command3"_s), Qt::LeftButton);
    });
    QTest::mouseClick(find<QPushButton>(u"Command1"_s), Qt::LeftButton);
    qunsetenv("TAVLIX_IVD_URL");

    ASSERT_TRUE(typed.isValid());
    EXPECT_LT(typed.elapsed(), 30000);
    ASSERT_EQ(boxes.texts().size(), 1) << boxes.texts().join(u'|').toStdString();
    EXPECT_TRUE(
        boxes.last().contains(u"09-11-2022 - 16-11-2022 arası sorguyu şu mesajla yanıtladı: "
                              u"\"Oturumunuz sona erdi. Lütfen tekrar giriş yapınız.\""_s))
        << boxes.last().toStdString();
    EXPECT_EQ(status(), u" Fatura listesi kaydedilmedi."_s);
    EXPECT_EQ(find<QLabel>(u"Text4"_s)->textFormat(), Qt::PlainText);
    EXPECT_EQ(items(u"dList1"_s), QStringList());
    EXPECT_EQ(test::ourBrowserProcesses(), QStringList());
}

} // namespace
} // namespace tavlix
