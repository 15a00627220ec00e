// The upload against the portal stand-in with real headless Chromium, on invoices given as plain
// records: what the portal received, the report, the document list and the filed package.
#include "portal/InvoiceUpload.h"

#include "support/PortalDrafts.h"
#include "support/PortalSite.h"
#include "support/Processes.h"
#include "support/RecordingPrompt.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace tavlix::portal;

namespace {

QStringList baseHeaders() {
    return {u"s"_s,         u"Mal Hizmet Türü"_s, u"Miktar"_s,         u"Birim"_s, u"Birim Fiyat"_s,
            u"İsk%"_s,      u"İsk.Tutarı"_s,      u"Mal/Hiz.Tutarı"_s, u"KDV%"_s,  u"KDV Tutarı"_s};
}

class InvoiceUploadTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        qputenv("TAVLIX_HEADLESS", "1");
        qputenv("TAVLIX_CONNECTIVITY", "online");
        tavlix::test::becomeSubreaper();
    }
    void SetUp() override {
        ASSERT_TRUE(site.start());
        ASSERT_TRUE(dir.isValid());
        company = QDir(dir.path() + u"/Firmalarım/Örnek Firma/Satış Faturaları"_s);
        for (const char16_t* sub : {u"Temp", u"Html", u"Xml", u"Zip"})
            QDir().mkpath(company.filePath(QString::fromUtf16(sub)));
        invoice.company = u"Örnek Firma"_s;
        invoice.typeText = u"SATIŞ"_s;
        invoice.currency = u"Türk Lirası"_s;
        invoice.invoiceDate = QDate::currentDate().toString(u"dd/MM/yyyy"_s);
        invoice.issueTime = u"10:20:30"_s;
        invoice.taxNumber = u"1234567890"_s;
        invoice.customerCountry = u"Türkiye"_s;
        invoice.customerAddress = u"Moda Cad. 1 Kadıköy"_s;
        invoice.notes = u"• Not bir\n• Not iki"_s;
        invoice.lineHeaders = baseHeaders();
        invoice.lines = {{u"1"_s, u"Kalem"_s, u"2"_s, u"Adet"_s, u"12,50"_s, u"10"_s, u"2,50"_s,
                          u"22,50"_s, u"18"_s, u"4,05"_s}};
        invoice.checkTotal = 26.55f;
        invoice.settings.portalUser = u"33333333"_s;
        invoice.settings.portalPassword = u"Şifre-123"_s;
        invoice.settings.portalTaxNumber = u"1111111111"_s;
    }
    void TearDown() override { EXPECT_EQ(tavlix::test::ourBrowserProcesses(), QStringList()); }

    UploadOutcome run() {
        UploadOptions options{dir.path(), site.url(), QDate::currentDate(), 5000};
        UploadServices services;
        services.fileDownload = [this](const QString&, const QString& first,
                                       const QString& second, tavlix::UserPrompt&) {
            filed = {first, second};
            return true;
        };
        return runInvoiceUpload(invoice, prompt, options, services);
    }

    tavlix::test::PortalSite site;
    tavlix::test::PortalDrafts drafts{site.server()};
    QTemporaryDir dir;
    QDir company;
    tavlix::InvoiceRecord invoice;
    tavlix::test::RecordingPrompt prompt;
    QStringList filed;
};

struct TimedPrompt : tavlix::test::RecordingPrompt {
    QElapsedTimer t;
    void progress(const QString& step) override {
        if (steps.isEmpty() || steps.last() != step)
            qDebug().noquote() << t.elapsed() << step;
        RecordingPrompt::progress(step);
    }
};

TEST_F(InvoiceUploadTest, Debug) {
    TimedPrompt tp;
    tp.t.start();
    UploadOptions options{dir.path(), site.url(), QDate::currentDate(), 5000};
    UploadServices services;
    EXPECT_EQ(runInvoiceUpload(invoice, tp, options, services), UploadOutcome::Done);
    qDebug() << tp.t.elapsed() << tp.messages;
    for (const QString& m : prompt.messages)
        qDebug().noquote() << m;
    qDebug().noquote() << QJsonDocument(drafts.drafts()).toJson();
    qDebug() << filed << company.entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    qDebug() << QDir(company.filePath(u"Temp"_s)).entryList(QDir::Files);
}

} // namespace
