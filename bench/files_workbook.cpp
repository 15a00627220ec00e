// Saved invoice workbooks on a 500-line SATIŞ invoice with one extra tax: "Excel Kaydet" (build
// and write the workbook) and "Excel Yükle" (read it back and recompute every line).
#include "files/InvoiceImport.h"
#include "files/InvoiceWorkbook.h"
#include "invoice/InvoiceType.h"
#include "invoice/TaxColumns.h"
#include "platform/UserPrompt.h"
#include "widgets/ReportModel.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;
using namespace tavlix;

namespace {

constexpr int kLines = 500;

class SilentPrompt : public UserPrompt {
public:
    using UserPrompt::message;
    void message(Icon, const QString&, const QString&) override {}
    bool ask(const QString&, const QString&) override { return true; }
    void progress(const QString&) override {}
    bool cancelled() const override { return false; }
    void keepAlive() override {}
};

InvoiceRecord invoice() {
    ReportModel lines;
    applyInvoiceType(lines, Satis);
    taxes::addTaxColumns(lines, u"V0059-KONAKLAMA VERGİSİ"_s);
    InvoiceRecord r;
    r.company = u"ACME"_s;
    r.invoiceDate = u"07/12/2026"_s;
    r.typeIndex = Satis;
    r.typeText = u"SATIŞ"_s;
    r.lineHeaders = lines.headers();
    for (int n = 1; n <= kLines; ++n) {
        r.lines.append({QString::number(n), u"Ürün adı %1"_s.arg(n), u"3"_s, u"Adet"_s,
                        u"1.250,00"_s, u"10"_s, u"375,00"_s, u"3.375,00"_s, u"18"_s, u"607,50"_s,
                        u"2,000"_s, u"67,50"_s});
    }
    return r;
}

void BM_SaveInvoiceWorkbook(benchmark::State& state) {
    QTemporaryDir dir;
    const InvoiceRecord r = invoice();
    SilentPrompt prompt;
    for (auto _ : state) {
        const auto saved = files::saveInvoiceWorkbook(r, dir.path(), prompt);
        if (saved.outcome != files::SaveOutcome::Saved)
            state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_SaveInvoiceWorkbook)->Unit(benchmark::kMillisecond);

void BM_ImportInvoiceWorkbook(benchmark::State& state) {
    QTemporaryDir dir;
    const InvoiceRecord r = invoice();
    SilentPrompt prompt;
    const auto saved = files::saveInvoiceWorkbook(r, dir.path(), prompt);
    const files::ImportTarget target{r.lineHeaders, r.typeText, -1};
    for (auto _ : state) {
        const auto rows = files::importInvoiceWorkbook(saved.path, target, prompt);
        if (!rows.ok() || rows->rows.size() != kLines)
            state.SkipWithError("import failed");
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK(BM_ImportInvoiceWorkbook)->Unit(benchmark::kMillisecond);

} // namespace
