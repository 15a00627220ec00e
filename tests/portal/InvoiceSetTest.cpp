// The set upload against the portal stand-in with real headless Chromium: one login for the
// invoices, each one's outcome in its row, the stop at a difference, "İptal" between invoices,
// the journal's issued invoices skipped, and a session the portal ends.
#include "portal/InvoiceSet.h"

#include "support/PortalDrafts.h"
#include "support/PortalSite.h"
#include "support/Processes.h"
#include "support/RecordingPrompt.h"

#include <QDir>
#include <QJsonDocument>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace tavlix::portal;
using State = SetRow::State;

namespace {

class InvoiceSetTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        qputenv("TAVLIX_HEADLESS", "1");
        qputenv("TAVLIX_CONNECTIVITY", "online");
        tavlix::test::becomeSubreaper();
    }
    void SetUp() override {
        ASSERT_TRUE(site.start());
        ASSERT_TRUE(dir.isValid());
        for (const char16_t* sub : {u"Temp", u"Html", u"Xml", u"Zip", u"Pdf"})
            QDir().mkpath(dir.path() + u"/Firmalarım/Örnek Firma/Satış Faturaları/"_s +
                          QString::fromUtf16(sub));
        // Buyers beyond the two the stand-in knows.
        site.server().setSwitch(
            u"mukellefler"_s,
            QJsonDocument::fromJson(R"({"3333333333": {"unvan": "RED A.Ş.", "vergiDairesi": "X"},
                                        "4444444444": {"unvan": "FARK A.Ş.", "vergiDairesi": "Y"}})")
                .object());
        options.upload = {dir.path(), site.url(), QDate::currentDate(), 5000, 1000, 1500, 3};
        services.upload.fileDownload = unzip;
        services.load = [this](const QString& path) -> tavlix::Result<tavlix::InvoiceRecord> {
            if (!records.contains(path))
                return tavlix::makeError(tavlix::ErrorCode::NotFound,
                                         u"\"Fatura Bilgileri\" sayfası yok"_s);
            return records.value(path);
        };
    }
    void TearDown() override { EXPECT_EQ(tavlix::test::ourBrowserProcesses(), QStringList()); }

    // Kalem 2 × 12,50 less 10 %, VAT 18: 26,55.
    static tavlix::InvoiceRecord invoice(const QString& type, const QString& taxNumber,
                                         const QString& title) {
        tavlix::InvoiceRecord r;
        r.company = u"Örnek Firma"_s;
        r.typeText = type;
        r.currency = u"Türk Lirası"_s;
        r.invoiceDate = QDate::currentDate().toString(u"dd/MM/yyyy"_s);
        r.issueTime = u"10:20:30"_s;
        r.taxNumber = taxNumber;
        r.customerTitle = title;
        r.customerCountry = u"Türkiye"_s;
        r.customerAddress = u"Moda Cad. 1"_s;
        r.notes = u"• Not"_s;
        r.lineHeaders = {
            u"s"_s,    u"Mal Hizmet Türü"_s, u"Miktar"_s,         u"Birim"_s, u"Birim Fiyat"_s,
            u"İsk%"_s, u"İsk.Tutarı"_s,      u"Mal/Hiz.Tutarı"_s, u"KDV%"_s,  u"KDV Tutarı"_s};
        r.lines = {{u"1"_s, u"Kalem"_s, u"2"_s, u"Adet"_s, u"12,50"_s, u"10"_s, u"2,50"_s,
                    u"22,50"_s, u"18"_s, u"4,05"_s}};
        r.checkTotal = 2655;
        r.settings.portalUser = u"33333333"_s;
        r.settings.portalPassword = u"Şifre-123"_s;
        r.settings.portalTaxNumber = u"1111111111"_s;
        return r;
    }
    // Workbook names for the records, in order.
    QStringList set(const QList<tavlix::InvoiceRecord>& invoices) {
        QStringList paths;
        for (const tavlix::InvoiceRecord& r : invoices) {
            const QString path = u"/kayıtlı/%1.xlsx"_s.arg(records.size() + 1);
            records.insert(path, r);
            paths.append(path);
        }
        return paths;
    }
    static QList<State> states(const SetResult& result) {
        QList<State> all;
        for (const SetRow& row : result.rows)
            all.append(row.state);
        return all;
    }

    tavlix::test::PortalSite site;
    tavlix::test::PortalDrafts drafts{site.server()};
    QTemporaryDir dir;
    QMap<QString, tavlix::InvoiceRecord> records;
    SetOptions options;
    SetServices services;
    tavlix::test::RecordingPrompt prompt;
};

// SATIŞ, İADE with a reference, one the portal refuses, one whose total it makes a kuruş lower,
// and a fifth after it: with "Fark çıkarsa dur" the fifth is not sent, without it the set ends.
TEST_F(InvoiceSetTest, OneLoginAndEachOutcomeInItsRow) {
    site.server().setSwitch(u"kayitReddi"_s, u"Alıcı bilgileri doğrulanamadı."_s);
    site.server().setSwitch(u"kayitReddiVkn"_s, u"3333333333"_s);
    site.server().setSwitch(u"toplamBirKurusEksikVkn"_s, u"4444444444"_s);
    // A picker slower than the set's quick paste: the date goes in the single upload's way.
    site.server().setSwitch(u"tarihGecAcilir"_s, true);
    // No ETTN in the form: the fifth, like the first, is told by the rows listed before it.
    site.server().setSwitch(u"ettnKayitta"_s, true);
    auto refund = invoice(u"İADE"_s, u"12345678901"_s, u"AYŞE YILDIRIM"_s);
    refund.returnReferences = {u"ABC/7---01/12/2026"_s};
    const QStringList paths = set({invoice(u"SATIŞ"_s, u"1234567890"_s, u"ÖRNEK TİCARET"_s), refund,
                                   invoice(u"SATIŞ"_s, u"3333333333"_s, u"RED A.Ş."_s),
                                   invoice(u"SATIŞ"_s, u"4444444444"_s, u"FARK A.Ş."_s),
                                   invoice(u"SATIŞ"_s, u"1234567890"_s, u"ÖRNEK TİCARET"_s)});

    for (const bool stop : {true, false}) {
        SCOPED_TRACE(stop ? "Fark çıkarsa dur" : "to the end");
        drafts.clear();
        prompt.messages.clear();
        options.stopOnDifference = stop;
        const int loginsBefore = site.acceptedLogins();
        QList<std::pair<int, int>> progress;
        services.progress = [&](int done, int total, qint64) { progress.append({done, total}); };

        const SetResult result = runInvoiceSet(paths, prompt, options, services);
        EXPECT_EQ(site.acceptedLogins() - loginsBefore, 1);
        EXPECT_EQ(prompt.messages, QStringList()) << "no message box per invoice";
        const QList<State> expected =
            stop ? QList<State>{State::Filed, State::Filed, State::NotSaved, State::Difference,
                                State::Unsent}
                 : QList<State>{State::Filed, State::Filed, State::NotSaved, State::Filed,
                                State::Filed};
        EXPECT_EQ(states(result), expected);
        ASSERT_EQ(result.rows.size(), 5);
        EXPECT_EQ(result.rows[2].outcome, u"kaydedilmedi: Alıcı bilgileri doğrulanamadı"_s);
        EXPECT_EQ(result.rows[3].difference(), -1);
        EXPECT_TRUE(result.rows[3].outcome.contains(u"fark -0,01"_s))
            << result.rows[3].outcome.toStdString();
        EXPECT_FALSE(result.rows[0].number.isEmpty());
        EXPECT_FALSE(result.rows[0].ettn.isEmpty());
        EXPECT_EQ(drafts.drafts().size(), stop ? 3 : 4) << "nothing sent after the stop";
        EXPECT_EQ(drafts.downloads(), stop ? 3 : 4);
        EXPECT_EQ(drafts.drafts()[1].toObject()[u"iadeler"_s].toArray()[0].toObject()[u"seri"_s],
                  u"ABC/7"_s);
        for (const QJsonValue& draft : drafts.drafts())
            EXPECT_EQ(draft[u"faturaTarihi"_s], refund.invoiceDate);
        EXPECT_EQ(progress.last(), std::pair(stop ? 4 : 5, 5));
        const int filed = int(QDir(dir.path() + u"/Firmalarım/Örnek Firma/Satış Faturaları/Pdf"_s)
                                  .entryList(QDir::Files)
                                  .size());
        EXPECT_EQ(filed, stop ? 3 : 3 + 4) << "each filed invoice printed";
    }
}

// What ends a set or keeps an invoice back, each against a fresh row of invoices.
TEST_F(InvoiceSetTest, SkippedCancelledAndSessionEnded) {
    const auto sale = invoice(u"SATIŞ"_s, u"1234567890"_s, u"ÖRNEK TİCARET"_s);
    auto other = sale;
    other.taxNumber = u"12345678901"_s;
    auto empty = sale;
    empty.lines.clear();
    QList<JournalEntry> journal;
    QList<JournalEntry> written;
    services.readJournal = [&] { return tavlix::Result<QList<JournalEntry>>(journal); };
    services.appendJournal = [&](const JournalEntry& e) {
        written.append(e);
        return tavlix::Result<void>();
    };

    // Issued already per the journal; a workbook that does not load; an empty one; one to send.
    JournalEntry issued;
    issued.invoiceDate = sale.invoiceDate;
    issued.typeText = sale.typeText;
    issued.buyerTaxNumber = sale.taxNumber;
    issued.tavlixTotal = sale.checkTotal;
    issued.portalNumber = u"GIB2026000000042"_s;
    issued.outcome = QString::fromUtf16(kJournalPrepared);
    journal = {issued};
    QStringList paths = set({sale, empty, other});
    paths.insert(1, u"/kayıtlı/başlıksız.xlsx"_s);
    SetResult result = runInvoiceSet(paths, prompt, options, services);
    EXPECT_EQ(states(result),
              (QList<State>{State::Skipped, State::Skipped, State::Skipped, State::Filed}));
    EXPECT_TRUE(result.rows[0].outcome.contains(u"GIB2026000000042"_s));
    EXPECT_EQ(result.rows[1].outcome, u"atlandı: \"Fatura Bilgileri\" sayfası yok"_s);
    EXPECT_EQ(result.rows[2].outcome, u"atlandı: Fatura boş!"_s);
    ASSERT_EQ(written.size(), 1);
    EXPECT_EQ(written[0].outcome, QString::fromUtf16(kJournalPrepared));
    EXPECT_EQ(written[0].sourceWorkbook, u"3.xlsx"_s);
    EXPECT_EQ(written[0].portalNumber, result.rows[3].number);
    EXPECT_EQ(drafts.newest()[u"faturaTarihi"_s], sale.invoiceDate) << "pasted at once";

    // "İptal" while the first invoice is on its way: it ends, the rest stays unsent.
    journal.clear();
    drafts.clear();
    services.rowChanged = [&](int row, const SetRow& r) {
        if (row == 0 && r.state != State::Waiting)
            prompt.cancelRequested = true;
    };
    const QStringList three =
        set({sale, other, invoice(u"SATIŞ"_s, u"4444444444"_s, u"FARK A.Ş."_s)});
    result = runInvoiceSet(three, prompt, options, services);
    EXPECT_EQ(states(result), (QList<State>{State::Filed, State::Unsent, State::Unsent}));
    EXPECT_EQ(drafts.drafts().size(), 1);
    EXPECT_EQ(tavlix::test::ourBrowserProcesses(), QStringList());
    services.rowChanged = nullptr;
    prompt.cancelRequested = false;

    // The portal ends each session after one save: logged in again once, the second end stops.
    drafts.clear();
    written.clear();
    options.includeIssued = true;
    site.server().setSwitch(u"oturumKayitSiniri"_s, 1);
    const int loginsBefore = site.acceptedLogins();
    result = runInvoiceSet(three, prompt, options, services);
    EXPECT_EQ(states(result), (QList<State>{State::Filed, State::Filed, State::Unsent}));
    EXPECT_EQ(site.acceptedLogins() - loginsBefore, 2);
    EXPECT_EQ(drafts.drafts().size(), 2);
    ASSERT_FALSE(prompt.messages.isEmpty());
    EXPECT_TRUE(prompt.last().contains(u"yeniden sonlandırdı"_s)) << prompt.last().toStdString();
}

} // namespace
