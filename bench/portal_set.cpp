// Ten three-line SATIŞ invoices to the portal stand-in in headless Chromium: once as ten single
// uploads (each its own browser, login and session), once as one set. Both file and print every
// invoice, the set in one print session of its own. The set must take at most 60 % of the singles'
// time.
#include "platform/UserPrompt.h"
#include "portal/InvoicePrint.h"
#include "portal/InvoiceSet.h"
#include "portal/InvoiceUpload.h"
#include "portal/UploadJournal.h"
#include "support/PortalDrafts.h"
#include "support/PortalSite.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;
using namespace tavlix::portal;

namespace {

constexpr int kInvoices = 10;

class SilentPrompt : public tavlix::UserPrompt {
public:
    using UserPrompt::message;
    void message(Icon, const QString&, const QString&) override {}
    bool ask(const QString&, const QString&) override { return true; }
    void progress(const QString&) override {}
    bool cancelled() const override { return false; }
    void keepAlive() override {}
};

// Three lines; the quantity of the first tells the invoices apart.
tavlix::InvoiceRecord invoice(int n) {
    tavlix::InvoiceRecord inv;
    inv.company = u"Bench"_s;
    inv.typeText = u"SATIŞ"_s;
    inv.currency = u"Türk Lirası"_s;
    inv.invoiceDate = QDate::currentDate().toString(u"dd/MM/yyyy"_s);
    inv.issueTime = u"10:00:00"_s;
    inv.taxNumber = u"1234567890"_s;
    inv.customerTitle = u"ÖRNEK TİCARET"_s;
    inv.customerCountry = u"Türkiye"_s;
    inv.customerAddress = u"Adres"_s;
    inv.notes = u"• Not"_s;
    inv.lineHeaders = {
        u"s"_s,    u"Mal Hizmet Türü"_s, u"Miktar"_s,         u"Birim"_s, u"Birim Fiyat"_s,
        u"İsk%"_s, u"İsk.Tutarı"_s,      u"Mal/Hiz.Tutarı"_s, u"KDV%"_s,  u"KDV Tutarı"_s};
    inv.checkTotal = 0;
    for (int i = 0; i < 3; ++i) {
        const int quantity = i == 0 ? n + 1 : 2;
        inv.lines.append({QString::number(i + 1), u"Kalem %1"_s.arg(i + 1),
                          QString::number(quantity), u"Adet"_s, u"10,00"_s, u"0"_s, u"0,00"_s,
                          tavlix::money::kurusText(1000LL * quantity), u"20"_s,
                          tavlix::money::kurusText(200LL * quantity)});
        inv.checkTotal += 1200LL * quantity;
    }
    inv.settings.portalUser = u"33333333"_s;
    inv.settings.portalPassword = u"demo"_s;
    inv.settings.portalTaxNumber = u"1111111111"_s;
    return inv;
}

UploadServices services() {
    UploadServices s;
    s.fileDownload = unzip;
    s.printPdf = [](const QString& html, const QString& pdf) { return printInvoicePdf(html, pdf); };
    return s;
}

UploadOptions options(const QString& programDir, const QString& portal) {
    QDir().mkpath(programDir + u"/Firmalarım/Bench/Satış Faturaları/Temp"_s);
    return {programDir, portal, QDate::currentDate(), 60000};
}

void BM_SetAgainstSingles(benchmark::State& state) {
    qputenv("TAVLIX_HEADLESS", "1");
    qputenv("TAVLIX_CONNECTIVITY", "online");
    tavlix::test::PortalSite site(u"33333333"_s, u"demo"_s);
    tavlix::test::PortalDrafts drafts(site.server());
    if (!site.start()) {
        state.SkipWithError("stand-in did not start");
        return;
    }
    double singles = 0;
    double set = 0;
    for (auto _ : state) {
        QTemporaryDir singleDir;
        QElapsedTimer clock;
        clock.start();
        for (int n = 0; n < kInvoices; ++n) {
            SilentPrompt prompt;
            if (runInvoiceUpload(invoice(n), prompt, options(singleDir.path(), site.url()),
                                 services()) != UploadOutcome::Done) {
                state.SkipWithError("a single upload failed");
                return;
            }
        }
        singles = double(clock.elapsed()) / 1000.0;

        QTemporaryDir setDir;
        SetOptions setOptions;
        setOptions.upload = options(setDir.path(), site.url());
        SetServices setServices;
        setServices.upload = services();
        // The journal as the set window keeps it; the single uploads write theirs themselves.
        const QString journal = *journalPath(setDir.path(), u"Bench"_s);
        setServices.readJournal = [journal] { return readJournal(journal); };
        setServices.appendJournal = [journal](const JournalEntry& entry) {
            return appendJournalEntry(journal, entry);
        };
        setServices.load = [](const QString& path) {
            return tavlix::Result<tavlix::InvoiceRecord>(invoice(path.toInt()));
        };
        QStringList paths;
        for (int n = 0; n < kInvoices; ++n)
            paths.append(QString::number(n));
        SilentPrompt prompt;
        clock.restart();
        const SetResult result = runInvoiceSet(paths, prompt, setOptions, setServices);
        set = double(clock.elapsed()) / 1000.0;
        for (const SetRow& row : result.rows)
            if (row.state != SetRow::State::Filed) {
                state.SkipWithError(row.outcome.toUtf8().constData());
                return;
            }
        state.SetIterationTime(set);
    }
    state.counters["singles_s"] = singles;
    state.counters["set_s"] = set;
    state.counters["set_share_pct"] = 100.0 * set / singles;
}

} // namespace

BENCHMARK(BM_SetAgainstSingles)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
