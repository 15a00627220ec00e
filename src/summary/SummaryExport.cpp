#include "summary/SummaryExport.h"

#include "platform/UserPrompt.h"
#include "store/FolderTree.h"
#include "store/WorkbookStore.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace tavlix::summary {

namespace {

double lira(money::Kurus amount) {
    return static_cast<double>(amount) / 100.0;
}

Result<void> formatSheet(store::Worksheet& sheet, int columns, int firstMoneyColumn, int lastRow) {
    store::RangeFormat header;
    header.bold = true;
    header.autoFitColumns = true;
    const QString lastColumn = store::columnName(columns);
    if (auto done = sheet.formatRange(u"A1"_s, lastColumn + u'1', header); !done)
        return done;
    if (lastRow < 2)
        return {};
    store::RangeFormat amounts;
    amounts.moneyFormat = true;
    return sheet.formatRange(store::columnName(firstMoneyColumn) + u'2',
                             lastColumn + QString::number(lastRow), amounts);
}

void writeSalesRow(store::Worksheet& sheet, int r, const SalesRow& row, bool total) {
    if (total) {
        sheet.writeText(r, 1, u"TOPLAM"_s);
    } else {
        sheet.writeText(r, 1, typeTitle(row.type));
        sheet.writeNumber(r, 2, row.rateHundredths / 100.0);
    }
    sheet.writeNumber(r, 3, row.invoices);
    const money::Kurus amounts[] = {row.taxable, row.vat, row.withheld, row.otherTaxes};
    for (int i = 0; i < 4; ++i)
        sheet.writeNumber(r, 4 + i, lira(amounts[i]));
}

} // namespace

std::optional<QString> exportPath(const QString& programDir, const QString& company,
                                  const Month& month) {
    const auto folder = store::safeCompanyFolder(programDir, company);
    if (!folder)
        return std::nullopt;
    return *folder + u'/' + company + u' ' + month.yearMonth() + u" Aylık Özet.xlsx"_s;
}

Result<void> writeSummaryWorkbook(const QString& path, const SalesTable& sales,
                                  const PurchaseTable& purchases) {
    auto book = store::Workbook::create();
    // A new sheet goes before the active one: "Alışlar" first, so that "Satışlar" leads.
    store::Worksheet& bought = *book->activeSheet();
    bought.setName(u"Alışlar"_s);
    const QStringList boughtHeads = {u"Para Birimi"_s, u"Fatura Sayısı"_s, u"Toplam Tutar"_s,
                                     u"Vergiler Toplamı"_s, u"Ödenecek Tutar"_s};
    for (int c = 0; c < boughtHeads.size(); ++c)
        bought.writeText(1, c + 1, boughtHeads.at(c));
    int r = 2;
    for (const PurchaseRow& row : purchases.rows) {
        bought.writeText(r, 1, row.currency);
        bought.writeNumber(r, 2, row.invoices);
        bought.writeNumber(r, 3, lira(row.total));
        bought.writeNumber(r, 4, lira(row.taxes));
        bought.writeNumber(r, 5, lira(row.payable));
        ++r;
    }
    if (auto done = formatSheet(bought, 5, 3, r - 1); !done)
        return done;
    if (purchases.incomplete)
        bought.writeText(r + 1, 1,
                         purchases.missing >= 0
                             ? u"Liste eksik: %1 fatura okunamadı"_s.arg(purchases.missing)
                             : u"Liste eksik: okunamayan fatura sayısı bilinmiyor"_s);

    store::Worksheet& sold = book->addSheet();
    sold.setName(u"Satışlar"_s);
    const QStringList soldHeads = {u"Fatura Türü"_s,   u"KDV Oranı"_s, u"Fatura Sayısı"_s,
                                   u"Matrah"_s,        u"KDV"_s,       u"Tevkif Edilen KDV"_s,
                                   u"Diğer Vergiler"_s};
    for (int c = 0; c < soldHeads.size(); ++c)
        sold.writeText(1, c + 1, soldHeads.at(c));
    r = 2;
    for (const SalesRow& row : sales.rows)
        writeSalesRow(sold, r++, row, false);
    writeSalesRow(sold, r, sales.total, true);
    if (auto done = formatSheet(sold, 7, 4, r); !done)
        return done;
    store::RangeFormat bold;
    bold.bold = true;
    if (auto done = sold.formatRange(u"A%1"_s.arg(r), u"G%1"_s.arg(r), bold); !done)
        return done;
    // What the sums leave out, as the window's notes say it.
    r += 1;
    for (const QString& note : approvalNotes(sales.approval))
        sold.writeText(++r, 1, note);
    return book->saveAs(path);
}

ExportOutcome exportSummary(const QString& programDir, const QString& company, const Month& month,
                            const SalesTable& sales, const PurchaseTable& purchases,
                            UserPrompt& prompt) {
    const auto path = exportPath(programDir, company, month);
    if (!path || !QFileInfo(QFileInfo(*path).absolutePath()).isDir()) {
        prompt.message(UserPrompt::Icon::Warning,
                       u"Özet kaydedilemedi: firma klasörü bulunamadı: "_s + company);
        return ExportOutcome::Failed;
    }
    const QString name = QFileInfo(*path).fileName();
    if (QFileInfo::exists(*path) &&
        !prompt.ask(name + u" zaten var. Üzerine yazılsın mı?"_s, u"Tavlix"_s))
        return ExportOutcome::Kept;
    if (auto written = writeSummaryWorkbook(*path, sales, purchases); !written) {
        prompt.message(UserPrompt::Icon::Warning,
                       u"Özet kaydedilemedi: "_s + name + u"\n"_s + written.message());
        return ExportOutcome::Failed;
    }
    prompt.message(UserPrompt::Icon::Information, name + u" kaydedildi."_s);
    return ExportOutcome::Saved;
}

} // namespace tavlix::summary
