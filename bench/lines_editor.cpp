// The line editor's workbook operations on a DATA.xlsx holding 10,000 stock cards: the window
// load (code tables and card lists) and "SEÇ" by name and by code, each opening the file afresh.
#include "lines/StockCards.h"
#include "store/DataWorkbook.h"
#include "store/WorkbookStore.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

using namespace Qt::StringLiterals;
using namespace tavlix;

namespace {

constexpr int kCards = 10000;

// Built once: three companies' cards and shared ones, code tables of a usual size.
const QString& workbookPath() {
    static std::unique_ptr<QTemporaryDir> dir;
    static QString path;
    if (!path.isEmpty())
        return path;
    dir = std::make_unique<QTemporaryDir>();
    path = dir->filePath(u"DATA.xlsx"_s);
    if (!store::createDataWorkbook(path).ok())
        std::abort();
    auto wb = store::Workbook::open(path);
    if (!wb)
        std::abort();
    store::Worksheet& prg = *wb.value()->sheet(store::DataSheet::Programs);
    const QStringList companies = {u"Alfa Ltd"_s, u"Beta AŞ"_s, u"Gama Tic"_s};
    for (int i = 0; i < companies.size(); ++i)
        prg.writeText(2, 2 + i, companies.at(i));

    store::Worksheet& kod = *wb.value()->sheet(store::DataSheet::Codes);
    for (int r = 2; r < 2 + 40; ++r) {
        kod.writeText(r, 1, QString::number(600 + r));
        kod.writeText(r, 2, u"TEVKİFAT TÜRÜ %1"_s.arg(r));
        kod.writeNumber(r, 3, 10 * (r % 10));
        kod.writeText(r, 5, QString::number(4000 + r));
        kod.writeText(r, 6, u"DİĞER VERGİ %1"_s.arg(r));
        kod.writeText(r, 13, u"%1-Neden"_s.arg(800 + r));
        kod.writeText(r, 15, u"Birim %1"_s.arg(r));
    }
    for (int r = 2; r < 6; ++r)
        kod.writeNumber(r, 17, QList<double>{0, 1, 8, 18}.at(r - 2));

    store::Worksheet& s = *wb.value()->sheet(store::DataSheet::Stock);
    for (int i = 0; i < kCards; ++i) {
        const int row = i + 2;
        s.writeText(row, 1, u"STK%1"_s.arg(i, 5, 10, QChar(u'0')));
        s.writeText(row, 2, i % 4 == 3 ? u"Firmalarım"_s : companies.at(i % 4 % 3));
        s.writeText(row, 3, u"Ürün ya da hizmet %1"_s.arg(i));
        s.writeText(row, 4, u"Adet"_s);
        s.writeNumber(row, 5, 12.5 + i);
        s.writeNumber(row, 6, 5);
        s.writeNumber(row, 7, 18);
        s.writeText(row, 10, u"4071-ÖTV%"_s);
        s.writeNumber(row, 11, 7.5);
        s.writeText(row, 14, u"7318.15"_s);
    }
    if (!wb.value()->save().ok())
        std::abort();
    return path;
}

void BM_LoadEditorDataForOneCompany(benchmark::State& state) {
    const QString& path = workbookPath();
    for (auto _ : state) {
        auto data = lines::loadEditorData(path, u"Alfa Ltd"_s, 21);
        if (!data || data->cardNames.size() != kCards / 2)
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(data);
    }
}
BENCHMARK(BM_LoadEditorDataForOneCompany)->Unit(benchmark::kMillisecond);

void BM_LoadEditorDataAllCards(benchmark::State& state) {
    const QString& path = workbookPath();
    for (auto _ : state) {
        auto data = lines::loadEditorData(path, QString(), 21);
        if (!data || data->cardNames.size() != kCards)
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(data);
    }
}
BENCHMARK(BM_LoadEditorDataAllCards)->Unit(benchmark::kMillisecond);

void BM_SelectLastCardByName(benchmark::State& state) {
    const QString& path = workbookPath();
    const QString key = u"Ürün ya da hizmet %1"_s.arg(kCards - 1);
    for (auto _ : state) {
        auto found = lines::findStockCard(path, key, {});
        if (!found || !found.value())
            state.SkipWithError("card not found");
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_SelectLastCardByName)->Unit(benchmark::kMillisecond);

void BM_SelectFirstCardByCode(benchmark::State& state) {
    const QString& path = workbookPath();
    for (auto _ : state) {
        // The scan runs to the end of the codes even after the first card matched.
        auto found = lines::findStockCard(path, {}, u"STK00000"_s);
        if (!found || !found.value())
            state.SkipWithError("card not found");
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_SelectFirstCardByCode)->Unit(benchmark::kMillisecond);

} // namespace
