// The workbook store on a stock-card sheet of 10,000 cards × 16 columns: reading every cell, and
// appending one card and saving.
#include "store/DataWorkbook.h"
#include "store/WorkbookStore.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;
using namespace tavlix::store;

namespace {

constexpr int kCards = 10000;

// The sheet as another producer writes it (shared strings) when openpyxl is at hand, otherwise
// as this store writes it.
QString fixture() {
    static QTemporaryDir dir;
    static QString path;
    if (!path.isEmpty())
        return path;
    path = dir.filePath(u"DATA.xlsx"_s);
    const QString script = uR"(
import sys, openpyxl
wb = openpyxl.Workbook(); ws = wb.active; ws.title = "sDATA"
ws.append(["ÜRÜN/HİZ.STOK KODU"] + ["BAŞLIK %d" % c for c in range(2, 17)])
for r in range(%1):
    ws.append(["STK%05d" % r, "FİRMA%d" % (r % 7), "Ürün adı %d" % r, "ADET", 12.5 + r, 0, 18,
               "", "", "", "", "", "", "8471.30", "", ""] )
wb.save(sys.argv[1])
)"_s.arg(kCards);
    if (QProcess::execute(u"/usr/bin/python3"_s, {u"-c"_s, script, path}) == 0)
        return path;
    auto book = Workbook::create();
    Worksheet* ws = book->activeSheet();
    ws->setName(DataSheet::Stock);
    for (int c = 1; c <= 16; ++c)
        ws->writeText(1, c, stockHeaders()[c - 1]);
    for (int r = 2; r <= kCards + 1; ++r) {
        ws->writeText(r, 1, u"STK%1"_s.arg(r));
        ws->writeText(r, 2, u"FİRMA%1"_s.arg(r % 7));
        ws->writeText(r, 3, u"Ürün adı %1"_s.arg(r));
        ws->writeText(r, 4, u"ADET"_s);
        ws->writeNumber(r, 5, 12.5 + r);
        ws->writeNumber(r, 7, 18);
        ws->writeText(r, 14, u"8471.30"_s);
    }
    (void)book->saveAs(path);
    return path;
}

void BM_OpenAndReadEveryCell(benchmark::State& state) {
    const QString path = fixture();
    for (auto _ : state) {
        auto book = Workbook::open(path);
        if (!book.ok()) {
            state.SkipWithError("open failed");
            return;
        }
        Worksheet* ws = book.value()->sheet(DataSheet::Stock);
        qsizetype chars = 0;
        for (int r = 1; r <= kCards + 1; ++r) {
            for (int c = 1; c <= 16; ++c)
                chars += ws->text(r, c).size();
        }
        benchmark::DoNotOptimize(chars);
    }
}
BENCHMARK(BM_OpenAndReadEveryCell)->Unit(benchmark::kMillisecond);

void BM_ReadEveryCellOfOpenSheet(benchmark::State& state) {
    auto book = Workbook::open(fixture());
    Worksheet* ws = book.value()->sheet(DataSheet::Stock);
    for (auto _ : state) {
        qsizetype chars = 0;
        for (int r = 1; r <= kCards + 1; ++r) {
            for (int c = 1; c <= 16; ++c)
                chars += ws->text(r, c).size();
        }
        benchmark::DoNotOptimize(chars);
    }
}
BENCHMARK(BM_ReadEveryCellOfOpenSheet)->Unit(benchmark::kMillisecond);

// Open, find the first free row, write one card, save: what saving a stock card does.
void BM_OpenAppendCardAndSave(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"DATA.xlsx"_s);
    QFile::copy(fixture(), path);
    for (auto _ : state) {
        auto book = Workbook::open(path);
        Worksheet* ws = book.value()->sheet(DataSheet::Stock);
        const int row = ws->firstFreeRow(StockCol::StockCode);
        ws->writeText(row, StockCol::StockCode, u"YENİ%1"_s.arg(row));
        ws->writeText(row, StockCol::Name, u"Yeni ürün"_s);
        ws->writeText(row, StockCol::Unit, u"ADET"_s);
        ws->writeText(row, StockCol::UnitPrice, u"125,50"_s);
        ws->writeText(row, StockCol::VatRate, u"20"_s);
        if (!book.value()->save().ok()) {
            state.SkipWithError("save failed");
            return;
        }
    }
}
BENCHMARK(BM_OpenAppendCardAndSave)->Unit(benchmark::kMillisecond);

void BM_AppendCardAndSaveOpenWorkbook(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"DATA.xlsx"_s);
    QFile::copy(fixture(), path);
    auto book = Workbook::open(path);
    Worksheet* ws = book.value()->sheet(DataSheet::Stock);
    for (auto _ : state) {
        const int row = ws->lastRow() + 1;
        for (int c = 1; c <= 16; ++c)
            ws->writeText(row, c, u"değer %1"_s.arg(c));
        if (!book.value()->save().ok()) {
            state.SkipWithError("save failed");
            return;
        }
    }
}
BENCHMARK(BM_AppendCardAndSaveOpenWorkbook)->Unit(benchmark::kMillisecond);

} // namespace
