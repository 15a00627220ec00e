// The upload of a 20-line and a 100-line SATIŞ invoice to the portal stand-in in headless
// Chromium, from the filled header to the filed package (login and browser start not counted).
// Beside each time: the upload's own fixed waits, the time beyond them per line, and the printing
// of the filed HTML to its PDF that follows the upload.
#include "browser/BrowserDriver.h"
#include "platform/UserPrompt.h"
#include "portal/InvoicePrint.h"
#include "portal/InvoiceUpload.h"
#include "portal/PortalLogin.h"
#include "support/PortalDrafts.h"
#include "support/PortalSite.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;
using namespace tavlix::portal;

namespace {

class SilentPrompt : public tavlix::UserPrompt {
public:
    using UserPrompt::message;
    void message(Icon, const QString&, const QString&) override { ++messages; }
    bool ask(const QString&, const QString&) override { return false; }
    void progress(const QString&) override {}
    bool cancelled() const override { return false; }
    void keepAlive() override {}
    int messages = 0;
};

tavlix::InvoiceRecord satisInvoice(int lineCount) {
    tavlix::InvoiceRecord inv;
    inv.company = u"Bench"_s;
    inv.typeText = u"SATIŞ"_s;
    inv.currency = u"Türk Lirası"_s;
    inv.invoiceDate = QDate::currentDate().toString(u"dd/MM/yyyy"_s);
    inv.issueTime = u"10:00:00"_s;
    inv.taxNumber = u"1234567890"_s;
    inv.customerTitle = u"ÖRNEK TİCARET LİMİTED ŞİRKETİ"_s; // as the registry names it
    inv.taxOffice = u"KADIKÖY"_s;
    inv.customerCountry = u"Türkiye"_s;
    inv.customerAddress = u"Adres"_s;
    inv.notes = u"• Not"_s;
    inv.lineHeaders = {
        u"s"_s,    u"Mal Hizmet Türü"_s, u"Miktar"_s,         u"Birim"_s, u"Birim Fiyat"_s,
        u"İsk%"_s, u"İsk.Tutarı"_s,      u"Mal/Hiz.Tutarı"_s, u"KDV%"_s,  u"KDV Tutarı"_s};
    for (int i = 0; i < lineCount; ++i)
        inv.lines.append({QString::number(i + 1), u"Kalem %1"_s.arg(i + 1), u"2"_s, u"Adet"_s,
                          u"10,00"_s, u"0"_s, u"0,00"_s, u"20,00"_s, u"18"_s, u"3,60"_s});
    inv.checkTotal = 2360LL * lineCount;
    inv.settings.portalUser = u"33333333"_s;
    inv.settings.portalPassword = u"demo"_s;
    inv.settings.portalTaxNumber = u"1111111111"_s;
    return inv;
}

void BM_UploadSatis(benchmark::State& state) {
    qputenv("TAVLIX_HEADLESS", "1");
    const int lines = int(state.range(0));
    tavlix::test::PortalSite site(u"33333333"_s, u"demo"_s);
    tavlix::test::PortalDrafts drafts(site.server());
    if (!site.start()) {
        state.SkipWithError("stand-in did not start");
        return;
    }
    QTemporaryDir dir;
    QDir().mkpath(dir.path() + u"/Firmalarım/Bench/Satış Faturaları/Temp"_s);
    const UploadOptions options{dir.path(), site.url(), QDate::currentDate(), 60000};
    qint64 waits = 0;
    double seconds = 0;
    double printSeconds = 0;
    for (auto _ : state) {
        SilentPrompt prompt;
        BrowserDriver driver;
        driver.SetBrowserPreference(u"download.default_directory"_s,
                                    dir.path() + u"/Firmalarım/Bench/Satış Faturaları/Temp"_s);
        driver.SetBrowserPreference(u"download.prompt_for_download"_s, false);
        const PortalLoginResult login =
            PortalLogin(driver, {site.url(), u"33333333"_s, u"demo"_s, kMenuCreateInvoice, false});
        if (!login.login || !login.targetClicked) {
            state.SkipWithError("login failed");
            return;
        }
        InvoiceUpload upload(driver, prompt, satisInvoice(lines), options);
        QElapsedTimer clock;
        clock.start();
        upload.readListBeforeSave();
        upload.fillHeader();
        upload.fillReturnReferences();
        upload.addExtraTaxes();
        upload.fillLineRows();
        if (upload.saveDraft())
            upload.downloadAndFile(unzip);
        const qint64 elapsed = clock.elapsed();
        state.SetIterationTime(double(elapsed) / 1000.0);
        seconds += double(elapsed) / 1000.0;
        waits = upload.fixedWaitMs();
        driver.Quit();
        QElapsedTimer printClock;
        printClock.start();
        if (!printInvoicePdf(upload.filedHtml(), issuedPdfPath(upload.filedHtml())))
            state.SkipWithError("printing failed");
        printSeconds += double(printClock.elapsed()) / 1000.0;
        if (!upload.skippedSteps().isEmpty())
            state.SkipWithError(upload.skippedSteps().join(u", "_s).toUtf8().constData());
    }
    const double perIteration = seconds / double(state.iterations());
    // The login walk's own waits (495 ms) come before the measured part.
    state.counters["print_s"] = printSeconds / double(state.iterations());
    state.counters["fixed_waits_s"] = double(waits) / 1000.0;
    state.counters["fixed_waits_with_login_s"] = double(waits + 495) / 1000.0;
    state.counters["beyond_waits_ms_per_line"] =
        (perIteration * 1000.0 - double(waits)) / double(lines);
}

} // namespace

BENCHMARK(BM_UploadSatis)
    ->Arg(20)
    ->Arg(100)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
