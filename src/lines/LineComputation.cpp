#include "lines/LineComputation.h"

#include "invoice/Money.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace tavlix::lines {

namespace {

void otherTax(const QString& rateText, const QString& netCell, QString& rateCell,
              QString& amountCell) {
    const OtherTaxCells cells = otherTaxCells(rateText, netCell);
    rateCell = cells.rate;
    amountCell = cells.amount;
}

} // namespace

OtherTaxCells otherTaxCells(const QString& rateText, const QString& netCell) {
    const float rate = static_cast<float>(money::value(rateText));
    return {money::rateText(rate),
            money::text(money::rnd2(static_cast<double>(rate) * (money::value(netCell) / 100)))};
}

LineAmounts computeLine(const LineFields& f, const QString& invoiceType) {
    LineAmounts a;
    a.unitPrice = money::text(money::value(f.unitPrice));
    a.discountRate = f.discountRate;

    const double quantity = money::value(f.quantity);
    const double unitPrice = money::value(a.unitPrice);
    a.discountAmount =
        money::text(money::rnd2(unitPrice * quantity * money::value(a.discountRate) / 100));
    a.netAmount = money::text(money::rnd2(quantity * unitPrice - money::value(a.discountAmount)));

    a.vatRate = money::plainText(std::trunc(leadingNumber(f.vatRate)));
    const double net = money::value(a.netAmount);
    a.vatAmount = money::text(net * money::value(a.vatRate) / 100);

    if (!f.otherTax1Code.isEmpty())
        otherTax(f.otherTax1Rate, a.netAmount, a.otherTax1Rate, a.otherTax1Amount);
    if (!f.otherTax2Code.isEmpty())
        otherTax(f.otherTax2Rate, a.netAmount, a.otherTax2Rate, a.otherTax2Amount);

    if (invoiceType == QStringView(kSpecialBaseType)) {
        const float base = static_cast<float>(money::value(f.specialBase));
        a.specialBase = money::text(base);
        a.vatAmount =
            money::text(money::rnd2(money::value(a.specialBase) * (money::value(a.vatRate) / 100)));
    }
    if (invoiceType == QStringView(kWithholdingType)) {
        a.withholdingRate = money::isNumeric(f.withholdingRate) ? f.withholdingRate : u"0"_s;
        a.withheldVat = money::text((money::value(a.withholdingRate) / 100) *
                                    (net * (money::value(a.vatRate) / 100)));
    }
    if (invoiceType == QStringView(kExemptType)) {
        a.vatRate = u"0"_s;
        a.vatAmount = u"0"_s;
    }
    return a;
}

} // namespace tavlix::lines
