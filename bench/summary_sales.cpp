// A year of filed sales XMLs (5,000 UBL-TR invoices of three lines each, about 5 KB apiece) read
// and summed for every month, as the month summary does when it opens.
#include "summary/MonthSummary.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int kInvoices = 5000;

QByteArray subtotal(const char* code, int taxable, int tax, int rate) {
    return QStringLiteral("<cac:TaxSubtotal><cbc:TaxableAmount currencyID=\"TRY\">%1.00"
                          "</cbc:TaxableAmount><cbc:TaxAmount currencyID=\"TRY\">%2.00"
                          "</cbc:TaxAmount><cbc:Percent>%3</cbc:Percent><cac:TaxCategory>"
                          "<cac:TaxScheme><cbc:Name>KDV</cbc:Name><cbc:TaxTypeCode>%4"
                          "</cbc:TaxTypeCode></cac:TaxScheme></cac:TaxCategory></cac:TaxSubtotal>")
        .arg(taxable)
        .arg(tax)
        .arg(rate)
        .arg(QLatin1StringView(code))
        .toUtf8();
}

QByteArray invoice(int i) {
    static const char* types[] = {"SATIS",   "IADE",       "TEVKIFAT",
                                  "ISTISNA", "OZELMATRAH", "IHRACKAYITLI"};
    const int rate = (i % 3 == 0) ? 1 : (i % 3 == 1 ? 10 : 20);
    const QDate date = QDate(2025, 1, 1).addDays(i % 365);
    QByteArray x =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Invoice xmlns=\"urn:ubl:Invoice-2\" "
        "xmlns:cac=\"urn:ubl:CommonAggregateComponents-2\" "
        "xmlns:cbc=\"urn:ubl:CommonBasicComponents-2\"><cbc:UBLVersionID>2.1</cbc:UBLVersionID>"
        "<cbc:CustomizationID>TR1.2</cbc:CustomizationID><cbc:ProfileID>EARSIVFATURA"
        "</cbc:ProfileID>";
    x += "<cbc:ID>GIB2025" + QByteArray::number(i).rightJustified(9, '0') + "</cbc:ID>";
    x +=
        "<cbc:UUID>" + QByteArray::number(i).rightJustified(12, '0') + "-0000-4000-8000</cbc:UUID>";
    x += "<cbc:IssueDate>" + date.toString(Qt::ISODate).toLatin1() + "</cbc:IssueDate>";
    x += QByteArray("<cbc:InvoiceTypeCode>") + types[i % 6] + "</cbc:InvoiceTypeCode>";
    x += "<cbc:DocumentCurrencyCode>TRY</cbc:DocumentCurrencyCode>";
    x += "<cac:AccountingSupplierParty><cac:Party><cac:PartyName><cbc:Name>Satıcı Ticaret Ltd. "
         "Şti.</cbc:Name></cac:PartyName><cac:PostalAddress><cbc:StreetName>Atatürk Caddesi No 1"
         "</cbc:StreetName><cbc:CityName>İstanbul</cbc:CityName></cac:PostalAddress></cac:Party>"
         "</cac:AccountingSupplierParty><cac:AccountingCustomerParty><cac:Party>"
         "<cac:PartyIdentification><cbc:ID schemeID=\"VKN\">1234567890</cbc:ID>"
         "</cac:PartyIdentification><cac:PartyName><cbc:Name>Alıcı A.Ş.</cbc:Name></cac:PartyName>"
         "</cac:Party></cac:AccountingCustomerParty>";
    x += "<cac:TaxTotal><cbc:TaxAmount currencyID=\"TRY\">" + QByteArray::number(30 * rate) +
         ".00</cbc:TaxAmount>" + subtotal("0015", 3000, 30 * rate, rate) + "</cac:TaxTotal>";
    x += "<cac:LegalMonetaryTotal><cbc:PayableAmount currencyID=\"TRY\">3000.00"
         "</cbc:PayableAmount></cac:LegalMonetaryTotal>";
    for (int l = 1; l <= 3; ++l)
        x += "<cac:InvoiceLine><cbc:ID>" + QByteArray::number(l) +
             "</cbc:ID><cbc:InvoicedQuantity unitCode=\"C62\">1</cbc:InvoicedQuantity>"
             "<cbc:LineExtensionAmount currencyID=\"TRY\">1000.00</cbc:LineExtensionAmount>"
             "<cac:TaxTotal><cbc:TaxAmount currencyID=\"TRY\">" +
             QByteArray::number(10 * rate) + ".00</cbc:TaxAmount>" +
             subtotal("0015", 1000, 10 * rate, rate) +
             "</cac:TaxTotal><cac:Item><cbc:Name>Mal ya da hizmet adı</cbc:Name></cac:Item>"
             "<cac:Price><cbc:PriceAmount currencyID=\"TRY\">1000.00</cbc:PriceAmount>"
             "</cac:Price></cac:InvoiceLine>";
    return x + "</Invoice>";
}

const QString& yearFolder() {
    static QTemporaryDir dir;
    static const bool written = [] {
        for (int i = 0; i < kInvoices; ++i) {
            QFile f(dir.filePath(u"GIB%1.xml"_s.arg(i)));
            if (!f.open(QIODevice::WriteOnly) || f.write(invoice(i)) < 0)
                return false;
        }
        return true;
    }();
    static const QString path = written ? dir.path() : QString();
    return path;
}

void BM_YearOfFiledXmlsReadAndSummed(benchmark::State& state) {
    const QString folder = yearFolder();
    if (folder.isEmpty()) {
        state.SkipWithError("the XMLs could not be written");
        return;
    }
    for (auto _ : state) {
        tavlix::summary::SalesFolderReader reader(folder);
        reader.readAll();
        qint64 vat = 0;
        for (int m = 1; m <= 12; ++m)
            vat += tavlix::summary::salesTable(reader.invoices(), {2025, m}).total.vat;
        if (reader.invoices().size() != kInvoices || !reader.unreadable().isEmpty())
            state.SkipWithError("not every XML was read");
        benchmark::DoNotOptimize(vat);
    }
    state.SetItemsProcessed(state.iterations() * kInvoices);
}
BENCHMARK(BM_YearOfFiledXmlsReadAndSummed)->Unit(benchmark::kMillisecond);

} // namespace
