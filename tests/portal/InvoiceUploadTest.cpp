// The upload against the portal stand-in with real headless Chromium, on invoices given as plain
// records: what the portal received, the report, the document list and the filed package.
#include "portal/InvoiceUpload.h"

#include "portal/InvoicePrint.h"

#include "support/DraftChecks.h"
#include "support/Files.h"
#include "support/Openpyxl.h"
#include "support/PortalDrafts.h"
#include "support/PortalSite.h"
#include "support/Processes.h"
#include "support/RecordingPrompt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <QJsonDocument>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include <gtest/gtest.h>
#include <httplib.h>

using namespace Qt::StringLiterals;
using namespace tavlix::portal;

namespace {

QStringList baseHeaders() {
    return {u"s"_s,    u"Mal Hizmet Türü"_s, u"Miktar"_s,         u"Birim"_s, u"Birim Fiyat"_s,
            u"İsk%"_s, u"İsk.Tutarı"_s,      u"Mal/Hiz.Tutarı"_s, u"KDV%"_s,  u"KDV Tutarı"_s};
}

class InvoiceUploadTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        qputenv("TAVLIX_HEADLESS", "1");
        qputenv("TAVLIX_CONNECTIVITY", "online");
        tavlix::test::becomeSubreaper();
    }
    void SetUp() override {
        ASSERT_TRUE(site->start());
        ASSERT_TRUE(dir.isValid());
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
        company = QDir(dir.path() + u"/Firmalarım/Örnek Firma/Satış Faturaları"_s);
        for (const char16_t* sub : {u"Temp", u"Html", u"Xml", u"Zip"})
            QDir().mkpath(company.filePath(QString::fromUtf16(sub)));
        invoice.company = u"Örnek Firma"_s;
        invoice.typeText = u"SATIŞ"_s;
        invoice.currency = u"Türk Lirası"_s;
        invoice.invoiceDate = QDate::currentDate().toString(u"dd/MM/yyyy"_s);
        invoice.issueTime = u"10:20:30"_s;
        invoice.taxNumber = u"1234567890"_s;
        invoice.customerTitle = u"ÖRNEK TİCARET LİMİTED ŞİRKETİ"_s;
        invoice.taxOffice = u"KADIKÖY"_s;
        invoice.customerCountry = u"Türkiye"_s;
        invoice.customerAddress = u"Moda Cad. 1 Kadıköy"_s;
        invoice.notes = u"• Not bir\n• Not iki"_s;
        invoice.lineHeaders = baseHeaders();
        invoice.lines = {{u"1"_s, u"Kalem"_s, u"2"_s, u"Adet"_s, u"12,50"_s, u"10"_s, u"2,50"_s,
                          u"22,50"_s, u"18"_s, u"4,05"_s}};
        invoice.checkTotal = 2655;
        invoice.settings.portalUser = u"33333333"_s;
        invoice.settings.portalPassword = u"Şifre-123"_s;
        invoice.settings.portalTaxNumber = u"1111111111"_s;
    }
    void TearDown() override { EXPECT_EQ(tavlix::test::ourBrowserProcesses(), QStringList()); }

    // The list awaited for a second on the page, then queried three times within 1,5 s.
    UploadOutcome run() {
        UploadOptions options{dir.path(), site->url(), QDate::currentDate(), 5000, 1000, 1500, 3};
        UploadServices services;
        services.fileDownload = unzip;
        return runInvoiceUpload(invoice, prompt, options, services);
    }

    // A draft of another invoice saved on the portal before this upload; `twin`: of the same
    // buyer and total.
    void saveEarlierDraft(bool twin = false) {
        httplib::Client client(site->url().toStdString());
        QJsonObject draft{{u"ettn"_s, u"0E0E0E0E-0000-4000-8000-000000000000"_s},
                          {u"faturaTarihi"_s, invoice.invoiceDate}};
        if (twin) {
            draft.insert(u"aliciVkn"_s, invoice.taxNumber);
            draft.insert(u"toplamlar"_s, QJsonObject{{u"vergilerDahil"_s, 26.55}});
        }
        const auto answer = client.Post("/api/taslak", QJsonDocument(draft).toJson().toStdString(),
                                        "application/json");
        ASSERT_TRUE(answer && answer->status == 200);
    }
    QStringList filedAndTemp() const {
        QStringList all;
        for (const char16_t* sub : {u"Temp", u"Html", u"Xml", u"Zip"})
            for (const QString& name :
                 QDir(company.filePath(QString::fromUtf16(sub))).entryList(QDir::Files))
                all << QString::fromUtf16(sub) + u"/"_s + name;
        return all;
    }

    // A fresh portal for the next case of a table.
    void resetSite() {
        drafts.reset();
        site.reset();
        site = std::make_unique<tavlix::test::PortalSite>();
        drafts = std::make_unique<tavlix::test::PortalDrafts>(site->server());
    }

    std::unique_ptr<tavlix::test::PortalSite> site = std::make_unique<tavlix::test::PortalSite>();
    std::unique_ptr<tavlix::test::PortalDrafts> drafts =
        std::make_unique<tavlix::test::PortalDrafts>(site->server());
    QTemporaryDir dir;
    QDir company;
    tavlix::InvoiceRecord invoice;
    tavlix::test::RecordingPrompt prompt;
};

// Each case changes the standard invoice or the portal, uploads, and checks the report, the
// messages around it, whether the document list was queried, and what was filed.
TEST_F(InvoiceUploadTest, ReportAndDocumentListFollowThePortal) {
    const QDate today = QDate::currentDate();
    struct Case {
        const char* name;
        std::function<void()> arrange;
        QString differenceLine;
        QString skippedLine;  // the sixth line; empty when there must be none
        QStringList messages; // further messages expected among those shown
        bool queried;         // the document list was queried after the save too
        bool filed;
        QStringList leftInTemp;
    };
    const QString zero = u" Fatura Toplam Farkı     :         0,00 [TL,Kr]'dir."_s;
    const QList<Case> cases{
        {"dated today, portal one kuruş lower",
         [&] { site->server().setSwitch(u"toplamBirKurusEksik"_s, true); },
         u" Fatura Toplam Farkı     :         -0,01 [TL,Kr]'dir."_s,
         {},
         {},
         false,
         true,
         {}},
        {"dated yesterday, another taxpayer logged in, a save answer shown",
         [&] {
             invoice.invoiceDate = today.addDays(-1).toString(u"dd/MM/yyyy"_s);
             invoice.settings.portalTaxNumber = u"9999999999"_s;
             site->server().setSwitch(u"kayitCevabi"_s, true);
         },
         zero,
         {},
         {u"Dikkat ! kullanıcı ile mükellef vergi no uyuşmuyor !!! \r\n"
          u"prgDATA sayfanızı kontrol edin!!!"_s},
         true,
         true,
         {}},
        {"no total cell, a download that never comes",
         [&] {
             site->server().setSwitch(u"toplamHucresiYok"_s, true);
             site->server().setSwitch(u"indirmeYok"_s, true);
         },
         u" Fatura Toplam Farkı     :         -26,55 [TL,Kr]'dir."_s,
         u" Atlanan adım sayısı: 1 (ilk atlananlar: Portal fatura toplamı)"_s,
         {u"Fatura paketi portaldan indirilemedi; Html, Xml ve Zip klasörlerine bir şey "
          u"kopyalanmadı. Faturayı portalın Düzenlenen Belgeler sayfasından indirebilirsiniz."_s},
         false,
         false,
         {}},
        {"an earlier package in Temp, another invoice listed below this one",
         [&] {
             QFile old(company.filePath(u"Temp/0-ESKI.zip"_s));
             ASSERT_TRUE(old.open(QIODevice::WriteOnly));
             old.write("PK");
             saveEarlierDraft();
             site->server().setSwitch(u"yeniBelgeUstte"_s, true);
         },
         zero,
         {},
         {u"Satış Faturaları/Temp klasöründe önceki yüklemelerden kalan paketler var "
          u"(0-ESKI.zip); onlara dokunulmadı."_s},
         false,
         true,
         {u"0-ESKI.zip"_s}},
        {"a buyer the registry does not know: the card's name and tax office typed in",
         [&] {
             invoice.taxNumber = u"9876543210"_s;
             invoice.customerTitle = u"YENİ KURULAN YAZILIM A.Ş."_s;
             invoice.taxOffice = u"BEŞİKTAŞ"_s;
         },
         zero,
         u" Alıcı bilgileri portalda bulunamadı; müşteri kartındaki bilgiler yazıldı."_s,
         {},
         false,
         true,
         {}},
        {"a document list without ETTNs",
         [&] { site->server().setSwitch(u"ettnSutunuBos"_s, true); },
         zero,
         {},
         {},
         false,
         true,
         {}},
        {"the ETTN assigned at the save, newest first, an earlier twin draft",
         [&] {
             site->server().setSwitch(u"ettnKayitta"_s, true);
             site->server().setSwitch(u"yeniBelgeUstte"_s, true);
             saveEarlierDraft(true);
         },
         zero,
         {},
         {},
         false,
         true,
         {}},
        {"a journal that cannot be read",
         [&] { tavlix::test::writeFile(company.filePath(u"Yüklemeler.xlsx"_s), "kırık"); },
         zero,
         {},
         {},
         false,
         true,
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        c.arrange();
        const int before = int(drafts->drafts().size());
        prompt = {};
        ASSERT_EQ(run(), UploadOutcome::Done) << prompt.messages.join(u" | "_s).toStdString();
        ASSERT_EQ(drafts->drafts().size(), before + 1);
        const QJsonObject draft = drafts->newest();
        tavlix::test::expectDraftMatches(draft, invoice);
        // The registry's answer or, where it has none, the card's.
        EXPECT_EQ(draft.value(u"unvan"_s).toString(), invoice.customerTitle);
        EXPECT_EQ(draft.value(u"vergiDairesi"_s).toString(), invoice.taxOffice);
        httplib::Client client(site->url().toStdString());
        const auto record = client.Get("/api/kayit");
        ASSERT_TRUE(record);
        EXPECT_EQ(QJsonDocument::fromJson(QByteArray::fromStdString(record->body)).array(),
                  drafts->drafts());

        const QStringList report =
            prompt.messages.filter(u" Fatura yükleme tamamlandı, kontrol sonucu... :"_s);
        ASSERT_EQ(report.size(), 1) << prompt.messages.join(u" | "_s).toStdString();
        const QStringList lines = report[0].split(u"\r\n"_s);
        EXPECT_EQ(lines.value(4), c.differenceLine);
        EXPECT_EQ(lines.size(), c.skippedLine.isEmpty() ? 5 : 6) << report[0].toStdString();
        EXPECT_EQ(lines.value(5), c.skippedLine);
        for (const QString& m : c.messages)
            EXPECT_TRUE(prompt.messages.contains(m)) << m.toStdString();
        EXPECT_EQ(site->requestedPaths().count(u"/duzenlenen-belgeler.html"_s), 1 + c.queried);
        EXPECT_TRUE(prompt.messages.contains(u"ETTN "_s + draft.value(u"ettn"_s).toString() +
                                             u" numaralı fatura hazırlandı"_s));

        const QString stem =
            draft.value(u"belgeNo"_s).toString() + u"-"_s +
            QDate::fromString(invoice.invoiceDate, u"dd/MM/yyyy"_s).toString(u"dd-MM-yyyy"_s) +
            u"-"_s + draft.value(u"ettn"_s).toString();
        EXPECT_EQ(QDir(company.filePath(u"Html"_s)).entryList(QDir::Files),
                  c.filed ? QStringList{stem + u".html"_s} : QStringList());
        EXPECT_EQ(QDir(company.filePath(u"Temp"_s)).entryList(QDir::Files), c.leftInTemp);
        EXPECT_EQ(tavlix::test::ourBrowserProcesses(), QStringList());

        // Its journal row, as another reader sees it; a journal that could not be read is kept.
        const QJsonObject rows = tavlix::test::readWithOpenpyxl(company.filePath(
            u"Yüklemeler.xlsx"_s))[u"cells"_s][u"Yüklemeler"_s]
                                     .toObject();
        EXPECT_EQ(rows[u"J2"_s].toString() + u'|' + rows[u"H2"_s].toString() + u'|' +
                      rows[u"I2"_s].toString() + u'|' + rows[u"J3"_s].toString(),
                  u"hazırlandı|"_s + draft.value(u"belgeNo"_s).toString() + u'|' +
                      draft.value(u"ettn"_s).toString().toUpper() + u'|');
        EXPECT_DOUBLE_EQ(rows[u"F2"_s].toDouble(), 26.55);
        for (const QString& aside : company.entryList({u"Yüklemeler.xlsx.*"_s}, QDir::Files)) {
            EXPECT_EQ(tavlix::test::readAll(company.filePath(aside)), "kırık");
            EXPECT_FALSE(prompt.messages.filter(aside).isEmpty()) << "the user is told";
        }
        resetSite();
    }
}

// A save whose row the document list does not show ends with what the page said, or that the
// list did not show it; several new drafts that fit the invoice are named. Either way nothing is
// downloaded or filed, even with an earlier invoice's draft in the document list.
TEST_F(InvoiceUploadTest, AnUnconfirmedSaveFilesNothing) {
    const QString busy = u"Sistem şu anda yoğun. Lütfen daha sonra tekrar deneyiniz."_s;
    const QString notSaved =
        u" Fatura portalda kaydedilmedi (kayıt doğrulanmadı), kontrol sonucu"_s;
    const QString refused = u"Fatura portalda kaydedilmedi: Sistem şu anda yoğun. Lütfen daha "
                            u"sonra tekrar deneyiniz. Portaldaki taslağı kontrol ediniz."_s;
    const struct {
        const char* name;
        QList<std::pair<QString, QJsonValue>> switches;
        UploadOutcome outcome;
        QString reportStart;
        QString message; // %1, %2: the numbers of the second and third draft
    } cases[] = {
        {"refused in the portal's message box",
         {{u"kayitReddi"_s, busy}},
         UploadOutcome::NotSaved,
         notSaved,
         refused},
        {"refused in an alert dialog",
         {{u"kayitReddi"_s, busy}, {u"reddiGosterimi"_s, u"alertdialog"_s}},
         UploadOutcome::NotSaved,
         notSaved,
         refused},
        {"refused in a JavaScript alert",
         {{u"kayitReddi"_s, busy}, {u"reddiGosterimi"_s, u"alert"_s}},
         UploadOutcome::NotSaved,
         notSaved,
         refused},
        {"never listed",
         {{u"kayitListedeYok"_s, true}},
         UploadOutcome::NotSaved,
         notSaved,
         u"Fatura portalda kaydedilmedi: portal kaydı belge listesinde göstermedi. Portaldaki "
         u"taslağı kontrol ediniz."_s},
        {"each Enter a new draft",
         {{u"ettnKayitta"_s, true}, {u"ettnUnutur"_s, true}},
         UploadOutcome::Done,
         u" Fatura yükleme tamamlandı, kontrol sonucu"_s,
         u"Portalda bu faturaya uyan birden çok taslak var (%1, %2); fatura paketi indirilmedi. "
         u"Düzenlenen Belgeler'i kontrol ediniz."_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        saveEarlierDraft();
        for (const auto& [name, value] : c.switches)
            site->server().setSwitch(name, value);
        prompt = {};
        EXPECT_EQ(run(), c.outcome);
        ASSERT_EQ(prompt.messages.size(), 2) << prompt.messages.join(u" | "_s).toStdString();
        EXPECT_TRUE(prompt.messages[0].startsWith(c.reportStart))
            << prompt.messages[0].toStdString();
        const QJsonArray all = drafts->drafts();
        EXPECT_EQ(prompt.messages[1],
                  QString(c.message)
                      .replace(u"%1"_s, all.at(1).toObject().value(u"belgeNo"_s).toString())
                      .replace(u"%2"_s, all.at(2).toObject().value(u"belgeNo"_s).toString()));
        EXPECT_EQ(drafts->downloads(), 0);
        EXPECT_EQ(filedAndTemp(), QStringList());
        const auto journal = readJournal(*journalPath(dir.path(), invoice.company));
        ASSERT_TRUE(journal && journal->size() == 1);
        EXPECT_EQ(journal->first().outcome, c.outcome == UploadOutcome::NotSaved
                                                ? u"kaydedilmedi"_s
                                                : u"birden çok taslak"_s);
        EXPECT_EQ(journal->first().portalNumber, QString()) << "no invoice was identified";
        EXPECT_EQ(tavlix::test::ourBrowserProcesses(), QStringList());
        resetSite();
    }
}

// A line whose chain meets a field the page removed is finished field by field: each of its
// fields typed once, the missing one named alone among the skipped steps, the next line whole.
TEST_F(InvoiceUploadTest, ALineWhoseChainFailsIsFinishedFieldByField) {
    site->server().setSwitch(u"satir2AlanSil"_s, true);
    invoice.lines.clear();
    for (const QString& n : {u"1"_s, u"2"_s, u"3"_s})
        invoice.lines.append({n, u"Kalem "_s + n, n, u"Adet"_s, u"1"_s + n + u",50"_s, n, u"0,00"_s,
                              u"0,00"_s, u"18"_s, u"0,00"_s});
    ASSERT_EQ(run(), UploadOutcome::Done) << prompt.messages.join(u" | "_s).toStdString();
    const QStringList report = prompt.messages.filter(u"kontrol sonucu"_s);
    ASSERT_EQ(report.size(), 1);
    EXPECT_EQ(report[0].split(u"\r\n"_s).value(5),
              u" Atlanan adım sayısı: 1 (ilk atlananlar: Satır 2 iskonto oranı)"_s);
    const QJsonArray rows = drafts->newest().value(u"satirlar"_s).toArray();
    ASSERT_EQ(rows.size(), 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const QJsonObject row = rows[i].toObject();
        const QStringList& line = invoice.lines[i];
        EXPECT_EQ(row.value(u"ad"_s).toString(), line[1]);
        EXPECT_EQ(row.value(u"miktar"_s).toString(), line[2]);
        EXPECT_EQ(row.value(u"fiyat"_s).toString(), line[4]);
        EXPECT_EQ(row.value(u"iskontoOrani"_s).toString(), i == 1 ? QString() : line[5]);
    }
}

// The line table read in one script call gives the list that reading every element one by one
// gives, on rows with inputs, selects, computed spans, withholding columns and an extra tax.
TEST_F(InvoiceUploadTest, OneScriptReadsTheLineTableAsElementByElement) {
    BrowserDriver driver;
    const PortalLoginResult login = PortalLogin(
        driver, {site->url(), u"33333333"_s, u"Şifre-123"_s, kMenuCreateInvoice, false});
    ASSERT_TRUE(login.login.ok() && login.targetClicked);
    ASSERT_TRUE(driver.IsPresent(u"gen__1105"_s, 5000));
    for (const QString& code : {u"V9015"_s, u"V0021"_s}) {
        ASSERT_TRUE(driver.SelectByValue(*driver.FindById(u"gen__1067"_s), code).ok());
        ASSERT_TRUE(driver.Click(*driver.FindById(u"gen__1068"_s)).ok());
        ASSERT_TRUE(driver.AcceptAlert().ok());
    }
    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(driver.Click(*driver.FindById(u"gen__1089"_s)).ok());
    ASSERT_TRUE(driver.TypeText(*driver.FindById(u"gen__2001"_s), u"3"_s).ok());

    const int lines = 3, columns = 15; // "s", 9 base, 3 withholding, a tax pair
    const auto fast = readRowFieldList(driver, lines, columns);
    ASSERT_TRUE(fast.ok()) << fast.message().toStdString();
    RowFieldList slow(lines, columns);
    const auto tables = driver.FindAllById(u"gen__1069-b"_s);
    ASSERT_TRUE(tables.ok());
    auto read = [&](const Element& e, const QString& name) {
        const auto value = driver.ReadAttribute(e, name);
        return value.ok() ? *value : u"<hata>"_s;
    };
    for (const Element& table : *tables) {
        for (const QString& tag : {u"input"_s, u"select"_s, u"span"_s}) {
            const auto elements = driver.FindAllByTag(table, tag);
            ASSERT_TRUE(elements.ok());
            for (const Element& e : *elements) {
                const bool span = tag == u"span"_s;
                const auto text = driver.ReadText(e);
                slow.add({tag, read(e, u"id"_s), span ? QString() : read(e, u"type"_s),
                          span ? QString() : read(e, u"value"_s),
                          span ? read(e, u"class"_s) : QString(),
                          span && text.ok() ? *text : QString()});
            }
        }
    }
    EXPECT_EQ(fast->entries(), slow.entries());
    EXPECT_EQ(slow.filled(), lines * columns); // 14 cells and a button per row
    EXPECT_TRUE(slow.entries().contains(u"gen__2001-text|3"_s));
}

// Nothing starts a browser when the upload cannot go on, and "İptal" or a refused login end it
// with the session released.
TEST_F(InvoiceUploadTest, StopsBeforeOrBetweenSteps) {
    struct Case {
        const char* name;
        std::function<void()> arrange;
        UploadOutcome outcome;
        QStringList messages;
        int logins;
    };
    const QList<Case> cases{
        {"offline",
         [] { qputenv("TAVLIX_CONNECTIVITY", "offline"); },
         UploadOutcome::Offline,
         {u"İnternete bağlı değilsiniz !"_s},
         0},
        {"empty invoice",
         [&] { invoice.lines.clear(); },
         UploadOutcome::EmptyInvoice,
         {u"Fatura boş!"_s},
         0},
        {"no buyer",
         [&] { invoice.taxNumber = invoice.customerTitle = QString(); },
         UploadOutcome::MissingBuyer,
         {u"Alıcı bilgileri eksik: vergi/T.C. kimlik numarası yok, alıcı adı/unvanı yok. Müşteri "
          u"kartından bir alıcı seçiniz. Fatura yüklenmedi."_s},
         0},
        {"nine digits",
         [&] { invoice.taxNumber = u"123456789"_s; },
         UploadOutcome::MissingBuyer,
         {u"Alıcı bilgileri eksik: vergi/T.C. kimlik numarası 10 ya da 11 haneli olmalı "
          u"(\"123456789\"). Müşteri kartından bir alıcı seçiniz. Fatura yüklenmedi."_s},
         0},
        {"a first name alone is no name",
         [&] { invoice.customerTitle = std::exchange(invoice.customerFirstName, u"AYŞE"_s); },
         UploadOutcome::MissingBuyer,
         {u"Alıcı bilgileri eksik: alıcı adı/unvanı yok. Müşteri kartından bir alıcı seçiniz. "
          u"Fatura yüklenmedi."_s},
         0},
        {"no password",
         [&] { invoice.settings.portalPassword.clear(); },
         UploadOutcome::NoCredentials,
         {},
         0},
        {"wrong password",
         [&] { invoice.settings.portalPassword = u"yanlış"_s; },
         UploadOutcome::LoginFailed,
         {u"e-Arşiv portalına giriş yapılamadı: ana sayfa açılmadı. Kullanıcı kodunu ve şifreyi "
          u"kontrol ediniz. Fatura yüklenmedi."_s},
         1},
        {"İptal while the header is typed",
         [&] { prompt.cancelAfterSteps = 3; },
         UploadOutcome::Cancelled,
         {u"Fatura yükleme iptal edildi. Fatura portalda yarım yazılmış olabilir; portaldaki "
          u"taslağı kontrol ediniz."_s},
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        prompt = {};
        c.arrange();
        EXPECT_EQ(run(), c.outcome);
        EXPECT_EQ(prompt.messages, c.messages);
        EXPECT_EQ(site->loginAttempts(), c.logins);
        EXPECT_TRUE(drafts->drafts().isEmpty());
        EXPECT_EQ(tavlix::test::ourBrowserProcesses(), QStringList());
        qputenv("TAVLIX_CONNECTIVITY", "online");
        resetSite();
    }
}

// The filed HTML printed to Pdf with its script not run, then the offer to mail it; a browser
// that cannot start for the printing is said once and leaves the other files filed.
TEST_F(InvoiceUploadTest, FiledPackageIsPrintedToPdfWithoutItsScript) {
    struct Case {
        const char* name;
        QByteArray browserForPrint; // empty: the same browser as the upload
        bool printed;
    };
    const QList<Case> cases{{"printed", {}, true}, {"browser missing", "/yok/chromium", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        prompt = {};
        prompt.answers = {true};
        QStringList mailed;
        UploadServices services;
        services.fileDownload = unzip;
        services.printPdf = [&](const QString& html, const QString& pdf) {
            const QByteArray browser = qgetenv("TAVLIX_BROWSER");
            if (!c.browserForPrint.isEmpty())
                qputenv("TAVLIX_BROWSER", c.browserForPrint);
            const tavlix::Result<void> result = printInvoicePdf(html, pdf);
            qputenv("TAVLIX_BROWSER", browser);
            return result;
        };
        services.mailToCustomer = [&](const QString& pdf) { mailed << pdf; };
        ASSERT_EQ(runInvoiceUpload(invoice, prompt,
                                   {dir.path(), site->url(), QDate::currentDate(), 5000}, services),
                  UploadOutcome::Done);
        const QJsonObject draft = drafts->newest();
        const QString number = draft.value(u"belgeNo"_s).toString();
        const QString stem =
            number + u"-"_s +
            QDate::fromString(invoice.invoiceDate, u"dd/MM/yyyy"_s).toString(u"dd-MM-yyyy"_s) +
            u"-"_s + draft.value(u"ettn"_s).toString();
        for (const QString& filed : {u"Html/"_s + stem + u".html"_s, u"Xml/"_s + stem + u".xml"_s,
                                     u"Zip/"_s + stem + u".zip"_s})
            EXPECT_TRUE(QFile::exists(company.filePath(filed))) << filed.toStdString();
        const QString pdf = company.filePath(u"Pdf/"_s + stem + u".pdf"_s);
        const QStringList failures =
            prompt.messages.filter(u"Faturanın PDF dosyası yazdırılamadı"_s);
        if (c.printed) {
            EXPECT_TRUE(failures.isEmpty()) << failures.join(u" | "_s).toStdString();
            EXPECT_EQ(QDir(company.filePath(u"Pdf"_s)).entryList(QDir::Files),
                      QStringList{stem + u".pdf"_s})
                << "no temporary file left";
            QProcess text;
            text.start(u"pdftotext"_s, {pdf, u"-"_s});
            ASSERT_TRUE(text.waitForFinished(30000));
            const QString content = QString::fromUtf8(text.readAllStandardOutput());
            EXPECT_TRUE(content.contains(number)) << content.toStdString();
            EXPECT_FALSE(content.contains(u"BETIK-CALISTI"_s)) << "the page's script ran";
            EXPECT_EQ(prompt.questions,
                      QStringList{u"Fatura müşteriye e-posta ile gönderilsin mi?"_s});
            EXPECT_EQ(mailed, QStringList{QFileInfo(pdf).absoluteFilePath()});
        } else {
            EXPECT_EQ(failures.size(), 1);
            EXPECT_FALSE(QFile::exists(pdf));
            EXPECT_TRUE(prompt.questions.isEmpty()) << "no offer without a PDF";
            EXPECT_TRUE(mailed.isEmpty());
        }
        EXPECT_EQ(tavlix::test::ourBrowserProcesses(), QStringList());
        resetSite();
    }
}

} // namespace
