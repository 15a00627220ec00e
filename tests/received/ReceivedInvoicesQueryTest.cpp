// The received-invoice query end to end: real headless Chromium through chromedriver against the
// stand-in of the Interactive Tax Office, the list read back by openpyxl.
#include "received/ReceivedInvoiceQuery.h"

#include "received/IvdSite.h"
#include "store/WorkbookStore.h"
#include "support/Files.h"
#include "support/Openpyxl.h"
#include "support/Processes.h"
#include "support/RecordingPrompt.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <deque>

using namespace Qt::StringLiterals;

namespace tavlix::received {
namespace {

const QString kCompany = u"Deneme Ltd"_s;
const QString kWrongPasswordCompany = u"Hatalı Şifre Ltd"_s;
const QString kSiteCode = u"<kod>"_s; // in a plan: the code of the picture shown

// The user at the captcha box: for each picture shown, types the next planned text (the
// picture's own code for kSiteCode). With the plan used up nothing is typed.
class PlannedCaptcha : public CaptchaBox {
public:
    PlannedCaptcha(test::IvdSite& site, std::deque<QString> plan)
        : m_site(site)
        , m_plan(std::move(plan)) {}
    void showCaptcha(const QImage& picture) override {
        pictures << picture;
        shownAt.start();
        m_typed.clear();
        stuck = m_plan.empty();
        if (stuck)
            return;
        m_typed = m_plan.front() == kSiteCode ? m_site.captcha() : m_plan.front();
        m_plan.pop_front();
        stuck = m_typed.size() != 6;
    }
    QString typedCaptcha() const override {
        if (m_typed.size() == 6 && !typedAt.isValid())
            typedAt.start();
        return m_typed;
    }
    void clearCaptcha() override { m_typed.clear(); }

    QList<QImage> pictures;
    QElapsedTimer shownAt;         // since the last picture
    bool stuck = false;            // what was typed will never be submitted
    mutable QElapsedTimer typedAt; // from the first complete code the query saw

private:
    test::IvdSite& m_site;
    std::deque<QString> m_plan;
    QString m_typed;
};

class ReceivedInvoicesQueryTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        qputenv("TAVLIX_HEADLESS", "1");
        test::becomeSubreaper();
        site = new test::IvdSite;
        ASSERT_TRUE(site->start());
    }
    static void TearDownTestSuite() {
        delete site;
        site = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir().mkpath(dir.filePath(u"Data"_s)));
        ASSERT_TRUE(test::writeWithOpenpyxl(dir.filePath(u"Data/DATA.xlsx"_s), uR"(
wb = openpyxl.Workbook()
ws = wb.active
ws.title = 'prgDATA'
for col, (name, user, password) in enumerate([
        ('Deneme Ltd', '%1', '%2'), ('Hatalı Şifre Ltd', '%1', 'yanlis')], start=2):
    ws.cell(2, col, name); ws.cell(8, col, user); ws.cell(9, col, password)
wb.save(path)
)"_s.arg(test::IvdSite::kUser, test::IvdSite::kPassword)));
        site->setInvoices(test::IvdSite::fixtureInvoices());
        site->server().setSwitch(u"pageSize"_s, QJsonValue());
        for (const char* name : {"queryError", "sessionEndsAt", "noResultNotice", "noResultBare"})
            site->server().setSwitch(QString::fromLatin1(name), QJsonValue());
    }
    void TearDown() override { EXPECT_EQ(test::ourBrowserProcesses(), QStringList()); }

    ReceivedInvoiceResult run(const QString& company, const QString& period,
                              std::deque<QString> plan, const QString& url = QString()) {
        captcha = std::make_unique<PlannedCaptcha>(*site, std::move(plan));
        QElapsedTimer total;
        total.start();
        // When what the user typed cannot be submitted, the user waits three seconds at the
        // picture, then closes the window; a hang ends the same way.
        prompt.onKeepAlive = [this, total] {
            if (total.elapsed() > 120000 || (captcha->stuck && captcha->shownAt.elapsed() > 3000))
                prompt.cancelRequested = true;
        };
        const ReceivedInvoiceRequest request{dir.path(), dir.filePath(u"Data/DATA.xlsx"_s),
                                             21,         company,
                                             period,     url.isEmpty() ? site->url() : url};
        return queryReceivedInvoices(request, prompt, *captcha);
    }
    QString listPath(const QString& yearMonth) const {
        return dir.filePath(
            u"Firmalarım/%1/Alış Faturaları/%1 %2 eArşivFat.xlsx"_s.arg(kCompany, yearMonth));
    }
    // The rows of the list as openpyxl reads them, headings left out.
    static QList<QStringList> listRows(const QString& path) {
        const QJsonObject book = test::readWithOpenpyxl(path);
        const QJsonObject cells = book[u"cells"_s].toObject().begin()->toObject();
        QList<QStringList> rows;
        for (int r = 2; cells.contains(u"A%1"_s.arg(r)); ++r) {
            QStringList row;
            for (int c = 0; c < 11; ++c) {
                const QJsonValue v = cells[QChar(u'A' + c) + QString::number(r)];
                EXPECT_TRUE(v.isString() || v.isUndefined()) << "every cell is text";
                row << v.toString();
            }
            rows << row;
        }
        EXPECT_EQ(cells[u"K1"_s].toString(), u"Gönderim Şekli"_s);
        return rows;
    }
    // The fixture's invoices issued in the month ("MM-yyyy"), in the site's order.
    static QList<QStringList> fixtureRows(const QString& monthYear) {
        QList<QStringList> rows;
        for (const QJsonValue& row : test::IvdSite::fixtureInvoices()) {
            QStringList cells;
            for (const QJsonValue& cell : row.toArray())
                cells << cell.toString();
            if (cells.at(3).endsWith(monthYear))
                rows << cells;
        }
        return rows;
    }

    static inline test::IvdSite* site = nullptr;
    QTemporaryDir dir;
    test::RecordingPrompt prompt;
    std::unique_ptr<PlannedCaptcha> captcha;
};

TEST_F(ReceivedInvoicesQueryTest, MonthsAreListedWholeAfterTheRightCaptcha) {
    struct Case {
        const char* name;
        QString period;
        QString monthYear;
        std::deque<QString> plan;
        int expectedRows;
    };
    const Case cases[] = {
        {"November 2022 after a wrong captcha",
         u"2022 Kasım "_s,
         u"11-2022"_s,
         {u"HATA12"_s, kSiteCode},
         9},
        {"February 2024 with its 29th", u"2024 Şubat "_s, u"02-2024"_s, {kSiteCode}, 3},
        {"a month without invoices", u"2023 Ekim "_s, u"10-2023"_s, {kSiteCode}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompt = test::RecordingPrompt();
        const int loginsBefore = site->loginAttempts();
        const auto result = run(kCompany, c.period, c.plan);
        ASSERT_EQ(result.outcome, ReceivedInvoiceResult::Outcome::Saved)
            << prompt.last().toStdString();
        EXPECT_EQ(site->loginAttempts() - loginsBefore, static_cast<int>(c.plan.size()));
        EXPECT_EQ(captcha->pictures.size(), static_cast<qsizetype>(c.plan.size()));
        EXPECT_FALSE(captcha->pictures.last().isNull());
        EXPECT_GT(QFileInfo(dir.filePath(u"Data/captcha.jpg"_s)).size(), 0);
        EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.messages.join(u'|').toStdString();

        const auto month = parsePeriod(c.period);
        ASSERT_TRUE(month.has_value());
        EXPECT_EQ(result.path, listPath(month->yearMonth()));
        const QList<QStringList> expected = fixtureRows(c.monthYear);
        ASSERT_EQ(expected.size(), c.expectedRows); // the fixture still holds the edge cases
        EXPECT_EQ(listRows(result.path), expected);
        EXPECT_EQ(result.written, c.expectedRows);
        EXPECT_FALSE(result.incomplete());

        // The status line walked through the four ranges of the month.
        QStringList rangeSteps;
        for (const DateRange& range : monthRanges(*month))
            rangeSteps << range.from + u" - "_s + range.to + u" arası sorgulanıyor."_s;
        QStringList shown;
        for (const QString& step : prompt.steps)
            if (step.endsWith(u"arası sorgulanıyor."_s))
                shown << step;
        EXPECT_EQ(shown, rangeSteps);
        if (c.plan.size() > 1) {
            EXPECT_EQ(prompt.steps.first(),
                      u"Doğrulama hatası Lütfen doğrulama kodunu kontrol ediniz."_s);
        }
        EXPECT_EQ(test::ourBrowserProcesses(), QStringList());
    }
}

TEST_F(ReceivedInvoicesQueryTest, NothingIsSubmittedOrSavedWithoutAGoodLogin) {
    using Outcome = ReceivedInvoiceResult::Outcome;
    struct Case {
        const char* name;
        QString company;
        std::deque<QString> plan;
        int logins;
        QString status;
        Outcome outcome = Outcome::Cancelled;
        QString url;     // the stand-in when empty
        QString message; // how the one message box begins; none when empty
    };
    const Case cases[] = {
        {"wrong credentials, then a code of five",
         kWrongPasswordCompany,
         {kSiteCode, u"ABCDE"_s},
         1,
         u"Kullanıcı doğrulanamadı, kullanıcı kodu veya şifre hatalı"_s,
         Outcome::Cancelled,
         QString(),
         QString()},
        {"a code of seven",
         kCompany,
         {u"ABCDEFG"_s},
         0,
         QString(),
         Outcome::Cancelled,
         QString(),
         QString()},
        {"a site that does not answer",
         kCompany,
         {},
         0,
         QString(),
         Outcome::Failed,
         u"http://127.0.0.1:1/"_s,
         u" Bir hata oluştu !  Hata No: "_s},
        {"a company not in DATA.xlsx",
         u"Başka Ltd"_s,
         {},
         0,
         QString(),
         Outcome::Failed,
         QString(),
         u"Firma bilgileri DATA.xlsx içinde bulunamadı: Başka Ltd"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompt = test::RecordingPrompt();
        const int loginsBefore = site->loginAttempts();
        const auto result = run(c.company, u"2022 Kasım "_s, c.plan, c.url);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(site->loginAttempts() - loginsBefore, c.logins);
        EXPECT_EQ(captcha->pictures.size(), static_cast<qsizetype>(c.plan.size()));
        EXPECT_EQ(prompt.steps.value(0), c.status);
        if (c.message.isEmpty())
            EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.last().toStdString();
        else
            EXPECT_TRUE(prompt.messages.size() == 1 && prompt.last().startsWith(c.message))
                << prompt.messages.join(u'|').toStdString();
        EXPECT_FALSE(QFileInfo::exists(dir.filePath(u"Firmalarım"_s)));
        EXPECT_EQ(test::ourBrowserProcesses(), QStringList());
    }
}

// The site shows its table a page at a time while its paging text counts every row. A range
// that does not fit is asked again in halves; a day that still does not fit is kept as shown
// and saved beside the complete list, which stays as it was.
TEST_F(ReceivedInvoicesQueryTest, RangesAreHalvedUntilEachAnswerFitsItsPage) {
    const QList<QStringList> all = fixtureRows(u"11-2022"_s);
    QList<QStringList> withoutSecondOfSixteenth = all;
    withoutSecondOfSixteenth.removeAt(4); // 16-11 holds two invoices, a page of one shows one
    struct Case {
        const char* name;
        int pageSize;
        QList<QStringList> rows;
        bool complete;
        QStringList queried; // the ranges asked for 09-16, in order
    };
    const Case cases[] = {
        {"two a page: three invoices in 09-16 read in two halves",
         2,
         all,
         true,
         {u"09-11-2022 - 16-11-2022"_s, u"09-11-2022 - 12-11-2022"_s,
          u"13-11-2022 - 16-11-2022"_s}},
        {"one a page: the 16th holds two",
         1,
         withoutSecondOfSixteenth,
         false,
         {u"09-11-2022 - 16-11-2022"_s, u"09-11-2022 - 12-11-2022"_s, u"13-11-2022 - 16-11-2022"_s,
          u"13-11-2022 - 14-11-2022"_s, u"15-11-2022 - 16-11-2022"_s, u"15-11-2022 - 15-11-2022"_s,
          u"16-11-2022 - 16-11-2022"_s}},
    };
    QByteArray completeList;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompt = test::RecordingPrompt();
        site->server().setSwitch(u"pageSize"_s, c.pageSize);
        const auto result = run(kCompany, u"2022 Kasım "_s, {kSiteCode});
        ASSERT_EQ(result.outcome, ReceivedInvoiceResult::Outcome::Saved)
            << prompt.messages.join(u'|').toStdString();
        EXPECT_EQ(listRows(result.path), c.rows);
        EXPECT_EQ(result.incomplete(), !c.complete);
        QStringList queried;
        const QString asking = u" arası sorgulanıyor."_s;
        for (const QString& step : prompt.steps) {
            const int day = step.left(2).toInt();
            if (step.endsWith(asking) && day >= 9 && day <= 16)
                queried << step.chopped(asking.size());
        }
        EXPECT_EQ(queried, c.queried);

        QFile complete(listPath(u"2022-11"_s));
        if (c.complete) {
            EXPECT_EQ(result.path, complete.fileName());
            EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.last().toStdString();
            ASSERT_TRUE(complete.open(QIODevice::ReadOnly));
            completeList = complete.readAll();
            continue;
        }
        EXPECT_EQ(result.path, listPath(u"2022-11"_s).replace(u".xlsx"_s, u" (eksik).xlsx"_s));
        ASSERT_TRUE(complete.open(QIODevice::ReadOnly));
        EXPECT_EQ(complete.readAll(), completeList) << "the complete list stays as it was";
        ASSERT_EQ(prompt.messages.size(), 1);
        EXPECT_EQ(prompt.icons.value(0), UserPrompt::Icon::Warning);
        EXPECT_TRUE(prompt.last().startsWith(u"Site 9 fatura bildirdi, 1 fatura "_s))
            << prompt.last().toStdString();
        EXPECT_TRUE(prompt.last().endsWith(u"Deneme Ltd 2022-11 eArşivFat (eksik).xlsx"_s));
        EXPECT_TRUE(completionStatus(result).endsWith(u"liste eksik."_s));
        const auto list = store::Workbook::open(result.path);
        ASSERT_TRUE(list.ok());
        EXPECT_EQ(readMissingCount(*(*list)->activeSheet()), 1) << "the list says what it lacks";
    }
}

// A range the site answers with a box in words the program does not know is empty: February
// 2024 holds nothing from the 9th to the 24th, and is saved whole under either wording, the
// status naming both empty ranges with the site's words.
TEST_F(ReceivedInvoicesQueryTest, EmptyRangesInOtherWordsSaveTheWholeMonth) {
    const struct {
        const char* name;
        QString notice;
        bool bare; // the box alone, without a paging text
    } cases[] = {
        {"another sentence over a count of 0", u"Sorgulama kriterlerine uygun fatura bulunamadı."_s,
         false},
        {"a bare box", u"Belirtilen tarihler arasında  faturanız bulunmamaktadır."_s, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        prompt = test::RecordingPrompt();
        site->server().setSwitch(u"noResultNotice"_s, c.notice);
        site->server().setSwitch(u"noResultBare"_s, c.bare);
        const auto result = run(kCompany, u"2024 Şubat "_s, {kSiteCode});
        ASSERT_EQ(result.outcome, ReceivedInvoiceResult::Outcome::Saved)
            << prompt.messages.join(u'|').toStdString();
        EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.last().toStdString();
        EXPECT_EQ(listRows(result.path), fixtureRows(u"02-2024"_s));
        const QString said = c.notice.simplified();
        EXPECT_EQ(completionStatus(result),
                  u" Fatura listesi indirildi. 09-02-2024 - 16-02-2024 arası boş: \"%1\" "
                  u"17-02-2024 - 24-02-2024 arası boş: \"%1\""_s.arg(said));
    }
}

// A box the query knows as an error leaves its range unread: no list is saved, complete or not,
// the one saved before stays as it was, and the query ends as soon as the box is read — also
// when the session ended after the first range and the box leads back to the login page.
TEST_F(ReceivedInvoicesQueryTest, AKnownErrorOfTheSiteSavesNoList) {
    const QString serverError = u"Bir sistem hatası oluştu. Hata detayı:Bağlantı hatası"_s;
    const struct {
        const char* name;
        QList<std::pair<QString, QJsonValue>> switches;
        QString range;
        QString box;
    } cases[] = {
        {"a server error at the third range",
         {{u"queryError"_s, serverError}, {u"queryErrorAt"_s, 3}},
         u"17-11-2022 - 24-11-2022"_s,
         serverError},
        {"the session ended after the first range",
         {{u"sessionEndsAt"_s, 2}},
         u"09-11-2022 - 16-11-2022"_s,
         u"Oturumunuz sona erdi. Lütfen tekrar giriş yapınız."_s},
    };
    test::writeFile(listPath(u"2022-11"_s), "önceki liste");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        prompt = test::RecordingPrompt();
        for (const auto& [name, value] : c.switches)
            site->server().setSwitch(name, value);
        const auto result = run(kCompany, u"2022 Kasım "_s, {kSiteCode});
        EXPECT_LT(captcha->typedAt.elapsed(), 30000);
        EXPECT_EQ(result.outcome, ReceivedInvoiceResult::Outcome::Failed);
        EXPECT_EQ(prompt.messages,
                  QStringList{u"İnteraktif Vergi Dairesi %1 arası sorguyu şu mesajla yanıtladı: "
                              u"\"%2\" Fatura listesi kaydedilmedi; lütfen daha sonra tekrar "
                              u"deneyiniz."_s.arg(c.range, c.box)});
        EXPECT_EQ(test::readAll(listPath(u"2022-11"_s)), "önceki liste");
        EXPECT_EQ(QDir(QFileInfo(listPath(u"2022-11"_s)).path()).entryList(QDir::Files).size(), 1);
        for (const auto& [name, value] : c.switches)
            site->server().setSwitch(name, QJsonValue());
    }
}

// Which boxes end the query and which are the site's word for an empty range.
TEST(SiteMessages, KnownErrorsAreToldFromEmptyRangeNotices) {
    const struct {
        QString text;
        bool error;
    } cases[] = {
        {u"Lütfen tüm alanları eksiksiz  doldurarak tekrar deneyin!"_s, true},
        {u"OTURUMUNUZ SONA ERDİ"_s, true},
        {u"BAĞLANTI KESİLDİ"_s, true},
        {u"Sunucu HATASI"_s, true},
        {u"Aradığınız kriterlere uygun kayıt bulunamadı."_s, false},
        {u"KAYIT BULUNAMADI"_s, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isSiteError(c.text), c.error) << c.text.toStdString();
}

// A measured run, not a timed test: a month of 200 invoices from the typed captcha to the saved
// list. The time goes to the test's output and its XML report.
TEST_F(ReceivedInvoicesQueryTest, TwoHundredInvoicesInOneMonth) {
    QJsonArray rows;
    for (int i = 0; i < 200; ++i) {
        const QString day = u"%1-03-2023"_s.arg(1 + i % 31, 2, 10, QChar(u'0'));
        rows.append(QJsonArray{u"Satıcı %1 A.Ş."_s.arg(i), u"%1"_s.arg(1000000000 + i),
                               u"ABC2023%1"_s.arg(i, 9, 10, QChar(u'0')), day, u"12:00:00"_s,
                               u"1.%1,50"_s.arg(i, 3, 10, QChar(u'0')), u"1.000,00"_s, u"180,00"_s,
                               u"TRY"_s, QString(), u"ELEKTRONIK"_s});
    }
    site->setInvoices(rows);
    const auto result = run(kCompany, u"2023 Mart "_s, {kSiteCode});
    const qint64 ms = captcha->typedAt.elapsed();
    ASSERT_EQ(result.outcome, ReceivedInvoiceResult::Outcome::Saved);
    EXPECT_EQ(result.written, 200);
    EXPECT_EQ(listRows(result.path).size(), 200);
    std::printf("200 invoices: %lld ms from the typed captcha to the saved list\n",
                static_cast<long long>(ms));
    RecordProperty("ms_after_captcha", static_cast<int>(ms));
}

} // namespace
} // namespace tavlix::received
