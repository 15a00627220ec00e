#include "lines/AddLine.h"

#include "invoice/InvoiceType.h"
#include "invoice/LineList.h"
#include "invoice/Money.h"
#include "invoice/TaxColumns.h"
#include "widgets/ReportModel.h"

using namespace Qt::StringLiterals;

namespace tavlix::lines {

namespace {

AddLineOutcome refuse(const QString& message) {
    AddLineOutcome out;
    out.kind = AddLineOutcome::Kind::FieldRefused;
    out.message = message;
    return out;
}

bool positive(const QString& text) {
    return money::value(text) > 0;
}

// The first failing field check, or an empty text; resets the refused field as it goes.
QString checkFields(LineFields& f) {
    if (f.name.isEmpty())
        return u"Ürün/Hizmet Adı boş olamaz ... !"_s;
    if (!money::isNumeric(f.quantity)) {
        f.quantity.clear();
        return u"Miktar sayısal olmalıdır ...!"_s;
    }
    if (!positive(f.quantity)) {
        f.quantity.clear();
        return u"Miktar pozitif olmalıdır ...!"_s;
    }
    if (f.unit.isEmpty())
        return u"Birim seçilmelidir... !"_s;
    if (!money::isNumeric(f.unitPrice)) {
        f.unitPrice.clear();
        return u"Birim fiyat sayısal olmalıdır ...!"_s;
    }
    if (!positive(f.unitPrice)) {
        f.unitPrice.clear();
        return u"Birim fiyat pozitif olmalıdır ...!"_s;
    }
    if (!money::isNumeric(f.discountRate)) {
        f.discountRate = u"0"_s;
        return u"İskonto oranı sayısal olmalıdır ...!"_s;
    }
    if (money::value(f.discountRate) < 0) {
        f.discountRate = u"0"_s;
        return u"İskonto oranı >0 veya = 0 olmalıdır ...!"_s;
    }
    if (f.vatRate.isEmpty())
        return u"KDV oranı seçilmelidir... !"_s;
    return {};
}

// Writes the rate and amount into every pair whose rate column matches `code`; `exact` compares
// whole headers, otherwise their first nine characters. Returns whether any column matched.
bool writeExtraTax(ReportModel& lines, int row, const QString& code, bool exact,
                   const QString& rate, const QString& amount) {
    bool matched = false;
    const QString key = code.left(9);
    for (int col = 0; col < lines.columnTotal(); ++col) {
        const QString& header = lines.column(col).header;
        if (exact ? header != code : header.left(9) != key)
            continue;
        matched = true;
        lines.setCell(row, col, rate);
        // A match on the last column has no amount column beside it; nothing is written there.
        if (col + 1 < lines.columnTotal())
            lines.setCell(row, col + 1, amount);
    }
    return matched;
}

void addExtraTax(ReportModel& lines, int row, const QString& code, const QString& rate,
                 const QString& amount) {
    if (code.isEmpty())
        return;
    if (writeExtraTax(lines, row, code, false, rate, amount))
        return;
    taxes::appendTaxPair(lines, code);
    writeExtraTax(lines, row, code, true, rate, amount);
}

} // namespace

AddLineOutcome addLine(LineFields& f, const QString& invoiceType, ReportModel& lines) {
    if (f.otherTax1Rate.isEmpty())
        f.otherTax1Rate = u"0"_s;
    if (f.otherTax2Rate.isEmpty())
        f.otherTax2Rate = u"0"_s;

    // The amount mask lets a text such as "150,5," through; read as nothing it would silently
    // carry a special base of 0,00, so it is refused like an unreadable unit price.
    if (!f.specialBase.isEmpty() && !money::isNumeric(f.specialBase)) {
        f.specialBase.clear();
        return refuse(u"Özel matrah tutarı sayısal olmalıdır ...!"_s);
    }
    if (money::value(f.specialBase) > 0 && invoiceType != QStringView(kSpecialBaseType)) {
        AddLineOutcome out;
        out.kind = AddLineOutcome::Kind::TypeRefused;
        out.boxText = u"Özel Matraha tabi ürünler bu faturaya eklenemez !"_s;
        return out;
    }
    if (leadingNumber(f.withholdingRate) > 0 && invoiceType != QStringView(kWithholdingType)) {
        AddLineOutcome out;
        out.kind = AddLineOutcome::Kind::TypeRefused;
        out.boxText = QString::fromUtf16(kWithholdingRefusal);
        return out;
    }
    if (const QString message = checkFields(f); !message.isEmpty())
        return refuse(message);

    const LineAmounts a = computeLine(f, invoiceType);
    const int row = lines.rowTotal();
    lines.appendRow({QString::number(nextLineNumber(lines)), f.name, f.quantity, f.unit,
                     a.unitPrice, a.discountRate, a.discountAmount, a.netAmount, a.vatRate,
                     a.vatAmount});

    addExtraTax(lines, row, f.otherTax1Code, a.otherTax1Rate, a.otherTax1Amount);
    addExtraTax(lines, row, f.otherTax2Code, a.otherTax2Rate, a.otherTax2Amount);

    // The type cells come last, over anything an extra-tax header match wrote into them.
    if (invoiceType == QStringView(kExemptType)) {
        lines.setCell(row, linecol::VatRate, a.vatRate);
        lines.setCell(row, linecol::Vat, a.vatAmount);
        lines.setCell(row, linecol::CustomsCode, f.gtipCode);
    } else if (invoiceType == QStringView(kWithholdingType)) {
        lines.setCell(row, linecol::WithholdingCode, f.withholdingCode);
        lines.setCell(row, linecol::WithholdingRate, a.withholdingRate);
        lines.setCell(row, linecol::WithholdingAmount, a.withheldVat);
    } else if (invoiceType == QStringView(kSpecialBaseType)) {
        lines.setCell(row, linecol::SpecialBaseReason, f.specialBaseReason.left(3));
        lines.setCell(row, linecol::SpecialBaseAmount, a.specialBase);
        lines.setCell(row, linecol::Vat, a.vatAmount);
    }

    AddLineOutcome out;
    out.row = row;
    return out;
}

} // namespace tavlix::lines
