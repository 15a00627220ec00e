// The result table of a set, saved as a workbook beside the company's saved invoices.
#include "portal/InvoiceSet.h"

#include "store/WorkbookStore.h"

#include <QDateTime>

using namespace Qt::StringLiterals;

namespace tavlix::portal {

QString setTableFileName(const QDateTime& at) {
    return u"Toplu Yükleme %1.xlsx"_s.arg(at.toString(u"yyyy-MM-dd HH.mm"_s));
}

QStringList setTableHeaders() {
    return {u"Kayıtlı Fatura"_s, u"Alıcı"_s, u"Tavlix Toplamı"_s, u"Portal Toplamı"_s, u"Fark"_s,
            u"Portal No"_s,      u"ETTN"_s,  u"Sonuç"_s,          u"Açıklama"_s};
}

Result<void> writeSetTable(const QList<SetRow>& rows, const QString& summary, const QString& path) {
    auto book = store::Workbook::create();
    store::Worksheet* sheet = book->activeSheet();
    sheet->setName(u"Toplu Yükleme"_s);
    const QStringList headers = setTableHeaders();
    for (int c = 0; c < headers.size(); ++c)
        sheet->writeText(1, c + 1, headers.at(c));
    const auto amount = [&](int r, int c, const std::optional<money::Kurus>& kurus) {
        if (kurus)
            sheet->writeNumber(r, c, double(*kurus) / 100.0);
    };
    for (int i = 0; i < rows.size(); ++i) {
        const SetRow& row = rows.at(i);
        const int r = i + 2;
        // A leading apostrophe is the store's "text" marker; a file name may carry one.
        const auto text = [&](int c, const QString& t) {
            sheet->writeText(r, c, t.startsWith(u'\'') ? u'\'' + t : t);
        };
        text(1, row.workbook);
        text(2, row.buyer);
        amount(r, 3, row.tavlixTotal);
        amount(r, 4, row.portalTotal);
        amount(r, 5, row.difference());
        text(6, row.number);
        text(7, row.ettn);
        text(8, row.outcome);
        text(9, row.notes.join(u" "_s));
    }
    const int last = int(rows.size()) + 1;
    sheet->writeText(last + 2, 1, summary);

    store::RangeFormat header;
    header.bold = true;
    header.autoFitColumns = true;
    if (auto formatted = sheet->formatRange(u"A1"_s, u"I1"_s, header); !formatted)
        return formatted;
    if (last >= 2) {
        store::RangeFormat money;
        money.moneyFormat = true;
        if (auto formatted = sheet->formatRange(u"C2"_s, u"E%1"_s.arg(last), money); !formatted)
            return formatted;
    }
    return book->saveAs(path);
}

} // namespace tavlix::portal
