#include "invoice/Totals.h"

#include "invoice/AmountWords.h"
#include "invoice/InvoiceType.h"
#include "invoice/Money.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <cmath>
#include <map>

using namespace Qt::StringLiterals;

namespace tavlix {

namespace {

double cellValue(const ReportModel& lines, int row, int col) {
    return money::value(lines.cell(row, col));
}

QString bullet(const QString& text) {
    return u"• "_s + text;
}

} // namespace

int leadingWholeNumber(const QString& text) {
    // Far beyond any rate, and inside int.
    return static_cast<int>(std::clamp(std::trunc(leadingNumber(text)), -1e9, 1e9));
}

TotalsResult yekunal(ReportModel& lines, const TotalsInput& input) {
    using money::Kurus;
    TotalsResult result;
    // Every total is added in whole kuruş from the rounded amounts of the lines, so each row and
    // GENEL TOPLAM are exactly the sums of what the lines show, at any size and length.
    Kurus goodsTotal = 0;
    Kurus discountTotal = 0;
    Kurus vatTotal = 0;
    Kurus withholdingTotal = 0;
    Kurus specialBaseTotal = 0;
    // The VAT base of each positive rate the lines carry, with 1, 10 and 20 always shown.
    std::map<int, Kurus> bases{{1, 0}, {10, 0}, {20, 0}};
    Kurus grandTotal = 0;
    auto rounded = [&lines](int row, int col) {
        return money::kurus(money::rnd2(cellValue(lines, row, col)));
    };

    const int type = input.typeIndex;
    result.typeSelected = isKnownInvoiceType(type);
    if (result.typeSelected) {
        const int rows = lines.rowTotal();
        for (int r = 0; r < rows; ++r) {
            discountTotal += rounded(r, linecol::Discount);
            goodsTotal += money::kurus(money::rnd2(cellValue(lines, r, linecol::Quantity) *
                                                   cellValue(lines, r, linecol::UnitPrice)));
            if (type != Istisna) {
                vatTotal += rounded(r, linecol::Vat);
                const int baseCol =
                    type == OzelMatrah ? linecol::SpecialBaseAmount : linecol::Amount;
                const int rate = leadingWholeNumber(lines.cell(r, linecol::VatRate));
                if (rate > 0)
                    bases[rate] += rounded(r, baseCol);
            }
            if (type == Tevkifat)
                withholdingTotal += rounded(r, linecol::WithholdingAmount);
            if (type == OzelMatrah)
                specialBaseTotal += rounded(r, linecol::SpecialBaseAmount);
        }
        grandTotal = type == Tevkifat ? goodsTotal + vatTotal - withholdingTotal - discountTotal
                                      : goodsTotal + vatTotal - discountTotal;

        QList<QStringList>& out = result.totalsRows;
        auto addRow = [&out](const QString& label, const QString& amount) {
            out.append({QString::number(out.size() + 1), label, amount});
        };
        addRow(u"Mal / Hizmet Bedeli Toplamı :"_s, money::kurusText(goodsTotal));
        addRow(u"İskontolar Toplamı :"_s, money::kurusText(discountTotal));
        if (type == Istisna)
            addRow(u"KDV'den İstisnadır."_s, QString());
        else
            addRow(u"KDV Toplamı :"_s, money::kurusText(vatTotal));
        if (type == Tevkifat)
            addRow(u"Tevkif Edilen KDV :"_s, money::kurusText(withholdingTotal));
        if (type == OzelMatrah)
            addRow(u"Özel Matrah Toplamı :"_s, money::kurusText(specialBaseTotal));

        // Extra taxes: rate/amount column pairs after the type's own columns. A trailing rate
        // column without its amount column is not a pair and is left alone. A line's amount is
        // computed in single precision; its total adds the cells as they read.
        for (int c = firstExtraTaxColumn(type); c + 1 < lines.columnTotal(); c += 2) {
            Kurus taxTotal = 0;
            for (int r = 0; r < rows; ++r) {
                if (lines.cell(r, c).isEmpty())
                    lines.setCell(r, c, money::rateText(0));
                const float amount = static_cast<float>(cellValue(lines, r, linecol::Amount));
                const float rate = static_cast<float>(cellValue(lines, r, c) / 100.0);
                const float lineTax = static_cast<float>(money::rnd2(amount * rate));
                const QString cell = money::text(lineTax);
                taxTotal += money::shownKurus(cell);
                lines.setCell(r, c + 1, cell);
            }
            addRow(lines.column(c).header + u" Toplamı :"_s, money::kurusText(taxTotal));
            grandTotal += taxTotal;
        }
        addRow(u"GENEL TOPLAM :"_s, money::kurusText(grandTotal));
    }

    result.grandTotal = static_cast<double>(grandTotal) / 100.0;
    result.kdvMatStr = u"KDV MATRAH "_s;
    for (const auto& [rate, base] : bases)
        result.kdvMatStr +=
            u"[%"_s + QString::number(rate) + u": "_s + money::kurusText(base) + u"]"_s;
    result.yazTopStr = u"Yalnız:"_s + YAZIYTL(money::kurusText(grandTotal));
    result.spokenTotal = u"Yalnız: "_s + spokenAmount(money::value(money::kurusText(grandTotal)));
    result.checkTotal = grandTotal;
    if (input.typeText == u"TEVKİFAT"_s)
        result.checkTotal += withholdingTotal;

    const QString crlf = u"\r\n"_s;
    result.notes = bullet(input.userNot1) + crlf + bullet(input.userNot2) + crlf +
                   bullet(input.userNot3) + crlf + bullet(result.kdvMatStr) + crlf +
                   bullet(result.yazTopStr);
    return result;
}

QList<ColumnSpec> totalsColumns() {
    return {
        {u"s"_s, Qt::AlignLeft, 290},
        {u"Açıklama"_s, Qt::AlignLeft, 2800},
        {u"Tutar"_s, Qt::AlignRight, 1600},
    };
}

void writeTotalsRows(ReportModel& totals, const TotalsResult& result) {
    if (!result.typeSelected)
        return;
    if (totals.columnTotal() == 0)
        totals.setColumns(totalsColumns());
    totals.setRows(result.totalsRows);
}

} // namespace tavlix
