// yekunal over a large invoice, and appending many lines to a shown line list.
#include "invoice/InvoiceType.h"
#include "invoice/Totals.h"
#include "widgets/ReportModel.h"
#include "widgets/ReportView.h"

#include <QApplication>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int kLines = 1000;

QStringList benchLine(int i) {
    const QString n = QString::number(i + 1);
    return {n,      u"Mal "_s + n, u"3"_s,        u"Adet"_s, u"1.234,56"_s,
            u"5"_s, u"185,18"_s,   u"3.518,50"_s, u"18"_s,   u"633,33"_s,
            u"5"_s, QString(),     QString(),     QString()};
}

void addTaxPairs(tavlix::ReportModel& lines) {
    lines.addColumn({u"ÖTV"_s, Qt::AlignRight, 1000});
    lines.addColumn({u"ÖTV Tutarı"_s, Qt::AlignRight, 1000});
    lines.addColumn({u"ÖİV"_s, Qt::AlignRight, 1000});
    lines.addColumn({u"ÖİV Tutarı"_s, Qt::AlignRight, 1000});
}

void BM_YekunalThousandLinesTwoExtraTaxes(benchmark::State& state) {
    tavlix::ReportModel lines;
    tavlix::applyInvoiceType(lines, tavlix::Satis);
    addTaxPairs(lines);
    QList<QStringList> rows;
    for (int i = 0; i < kLines; ++i)
        rows.append(benchLine(i));
    lines.appendRows(rows);
    const tavlix::TotalsInput input{tavlix::Satis, u"SATIŞ"_s, u"a"_s, u"b"_s, u"c"_s};
    for (auto _ : state) {
        tavlix::TotalsResult r = tavlix::yekunal(lines, input);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_YekunalThousandLinesTwoExtraTaxes)->Unit(benchmark::kMillisecond);

void BM_AppendThousandLinesToShownList(benchmark::State& state) {
    int argc = 1;
    char arg0[] = "bench";
    char* argv[] = {arg0, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* app = QApplication::instance()
                                   ? nullptr
                                   : new QApplication(argc, argv); // lives for the whole run
    (void)app;
    for (auto _ : state) {
        state.PauseTiming();
        tavlix::ReportModel lines;
        tavlix::applyInvoiceType(lines, tavlix::Satis);
        addTaxPairs(lines);
        tavlix::ReportView view;
        view.setReportModel(&lines);
        view.resize(1200, 600);
        view.show();
        QApplication::processEvents();
        state.ResumeTiming();
        // One line at a time, as the line editor appends them.
        for (int i = 0; i < kLines; ++i)
            lines.appendRow(benchLine(i));
        QApplication::processEvents();
    }
}
BENCHMARK(BM_AppendThousandLinesToShownList)->Unit(benchmark::kMillisecond);

} // namespace
