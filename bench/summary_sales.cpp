// "Aylık Özet" over a year of filed sales packages: 2,400 UBL-TR invoices shaped like the portal's
// (about 15 KB each, most of it the base64 stylesheet the portal embeds), read and summed as the
// window does when it opens, beside Python's xml.etree.ElementTree reading the same files.
// Each Tavlix benchmark reports ElementTree's median (ElementTree_ms) and its own share of it
// (x_ElementTree: 0.33 is a third).
#include "summary/MonthSummary.h"
#include "summary/SummaryWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int kInvoices = 2400;
const QString kCompany = u"Bench Ticaret"_s;

QByteArray subtotal(const char* code, const char* name, int taxable, int tax, int rate) {
    return QStringLiteral("<cac:TaxSubtotal><cbc:TaxableAmount currencyID=\"TRY\">%1.00"
                          "</cbc:TaxableAmount><cbc:TaxAmount currencyID=\"TRY\">%2.00"
                          "</cbc:TaxAmount><cbc:Percent>%3</cbc:Percent><cac:TaxCategory>"
                          "<cac:TaxScheme><cbc:Name>%5</cbc:Name><cbc:TaxTypeCode>%4"
                          "</cbc:TaxTypeCode></cac:TaxScheme></cac:TaxCategory></cac:TaxSubtotal>")
        .arg(taxable)
        .arg(tax)
        .arg(rate)
        .arg(QLatin1StringView(code), QString::fromUtf8(name))
        .toUtf8();
}

// The stylesheet the portal embeds in every package, about 10 KB once in base64.
const QByteArray& stylesheet() {
    static const QByteArray base64 = [] {
        QByteArray xslt = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><xsl:stylesheet "
                          "version=\"2.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">";
        for (int i = 0; xslt.size() < 7600; ++i)
            xslt += "<xsl:template match=\"cac:InvoiceLine[" + QByteArray::number(i) +
                    "]\"><tr><td class=\"satir\"><xsl:value-of select=\"cbc:ID\"/></td><td>"
                    "<xsl:value-of select=\"cac:Item/cbc:Name\"/></td></tr></xsl:template>";
        return (xslt + "</xsl:stylesheet>").toBase64();
    }();
    return base64;
}

// The shape of the stand-in portal's package XML, with the embedded stylesheet and the supplier
// the real packages carry too.
QByteArray invoice(int i) {
    static const char* types[] = {"SATIS",   "SATIS",      "IADE",        "TEVKIFAT",
                                  "ISTISNA", "OZELMATRAH", "IHRACKAYITLI"};
    const int rate = (i % 3 == 0) ? 1 : (i % 3 == 1 ? 10 : 20);
    const QDate date = QDate(2025, 1, 1).addDays(i % 365);
    const QByteArray ettn =
        "F47AC10B-58CC-4372-A567-" + QByteArray::number(i).rightJustified(12, '0');
    QByteArray x =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Invoice xmlns=\"urn:ubl:Invoice-2\" "
        "xmlns:cac=\"urn:ubl:CommonAggregateComponents-2\" "
        "xmlns:cbc=\"urn:ubl:CommonBasicComponents-2\"><cbc:UBLVersionID>2.1</cbc:UBLVersionID>"
        "<cbc:CustomizationID>TR1.2</cbc:CustomizationID><cbc:ProfileID>EARSIVFATURA"
        "</cbc:ProfileID>";
    x += "<cbc:ID>GIB2025" + QByteArray::number(i).rightJustified(9, '0') + "</cbc:ID>";
    x += "<cbc:CopyIndicator>false</cbc:CopyIndicator><cbc:UUID>" + ettn.toLower() + "</cbc:UUID>";
    x += "<cbc:IssueDate>" + date.toString(Qt::ISODate).toLatin1() + "</cbc:IssueDate>";
    x += "<cbc:IssueTime>14:05:00</cbc:IssueTime>";
    x += QByteArray("<cbc:InvoiceTypeCode>") + types[i % 7] + "</cbc:InvoiceTypeCode>";
    x += "<cbc:Note>Yalnız üç bin lira</cbc:Note><cbc:DocumentCurrencyCode>TRY"
         "</cbc:DocumentCurrencyCode><cbc:LineCountNumeric>3</cbc:LineCountNumeric>";
    x += "<cac:AdditionalDocumentReference><cbc:ID>" + ettn + "</cbc:ID><cbc:IssueDate>" +
         date.toString(Qt::ISODate).toLatin1() +
         "</cbc:IssueDate><cbc:DocumentType>XSLT</cbc:DocumentType><cac:Attachment>"
         "<cbc:EmbeddedDocumentBinaryObject characterSetCode=\"UTF-8\" encodingCode=\"Base64\" "
         "filename=\"" +
         ettn + ".xslt\" mimeCode=\"application/xml\">" + stylesheet() +
         "</cbc:EmbeddedDocumentBinaryObject></cac:Attachment></cac:AdditionalDocumentReference>";
    x += "<cac:AccountingSupplierParty><cac:Party><cac:PartyIdentification><cbc:ID "
         "schemeID=\"VKN\">9876543210</cbc:ID></cac:PartyIdentification><cac:PartyName><cbc:Name>"
         "Satıcı Ticaret Ltd. Şti.</cbc:Name></cac:PartyName><cac:PostalAddress><cbc:StreetName>"
         "Atatürk Caddesi No 1</cbc:StreetName><cbc:CitySubdivisionName>Kadıköy"
         "</cbc:CitySubdivisionName><cbc:CityName>İstanbul</cbc:CityName><cac:Country><cbc:Name>"
         "Türkiye</cbc:Name></cac:Country></cac:PostalAddress><cac:PartyTaxScheme><cac:TaxScheme>"
         "<cbc:Name>Kadıköy</cbc:Name></cac:TaxScheme></cac:PartyTaxScheme></cac:Party>"
         "</cac:AccountingSupplierParty>";
    x += "<cac:AccountingCustomerParty><cac:Party><cac:PartyIdentification><cbc:ID "
         "schemeID=\"VKN\">1234567890</cbc:ID></cac:PartyIdentification><cac:PartyName><cbc:Name>"
         "Alıcı A.Ş.</cbc:Name></cac:PartyName><cac:Person><cbc:FirstName>Ayşe</cbc:FirstName>"
         "<cbc:FamilyName>Öztürk</cbc:FamilyName></cac:Person></cac:Party>"
         "</cac:AccountingCustomerParty>";
    x += "<cac:TaxTotal><cbc:TaxAmount currencyID=\"TRY\">" + QByteArray::number(30 * rate) +
         ".00</cbc:TaxAmount>" + subtotal("0015", "KDV", 3000, 30 * rate, rate) + "</cac:TaxTotal>";
    x += "<cac:LegalMonetaryTotal><cbc:LineExtensionAmount currencyID=\"TRY\">3000.00"
         "</cbc:LineExtensionAmount><cbc:TaxExclusiveAmount currencyID=\"TRY\">3000.00"
         "</cbc:TaxExclusiveAmount><cbc:TaxInclusiveAmount currencyID=\"TRY\">" +
         QByteArray::number(3000 + 30 * rate) +
         ".00</cbc:TaxInclusiveAmount><cbc:PayableAmount currencyID=\"TRY\">" +
         QByteArray::number(3000 + 30 * rate) + ".00</cbc:PayableAmount></cac:LegalMonetaryTotal>";
    for (int l = 1; l <= 3; ++l)
        x += "<cac:InvoiceLine><cbc:ID>" + QByteArray::number(l) +
             "</cbc:ID><cbc:InvoicedQuantity unitCode=\"C62\">1</cbc:InvoicedQuantity>"
             "<cbc:LineExtensionAmount currencyID=\"TRY\">1000.00</cbc:LineExtensionAmount>"
             "<cac:TaxTotal><cbc:TaxAmount currencyID=\"TRY\">" +
             QByteArray::number(10 * rate) + ".00</cbc:TaxAmount>" +
             subtotal("0015", "KDV", 1000, 10 * rate, rate) +
             "</cac:TaxTotal><cac:Item><cbc:Name>Mal ya da hizmet adı</cbc:Name></cac:Item>"
             "<cac:Price><cbc:PriceAmount currencyID=\"TRY\">1000.00</cbc:PriceAmount>"
             "</cac:Price></cac:InvoiceLine>";
    return x + "</Invoice>\n";
}

// A program folder whose company holds the year's packages, written once for the whole run.
struct Year {
    QTemporaryDir dir;
    QString programDir;
    QString xmlFolder;
};

const Year& year() {
    static const std::unique_ptr<Year> y = [] {
        auto made = std::make_unique<Year>();
        made->programDir = made->dir.path();
        made->xmlFolder = *tavlix::summary::salesXmlFolder(made->programDir, kCompany);
        if (!QDir().mkpath(made->xmlFolder))
            std::abort();
        for (int i = 0; i < kInvoices; ++i) {
            QFile f(made->xmlFolder + u"/GIB2025%1.xml"_s.arg(i, 9, 10, QChar(u'0')));
            if (!f.open(QIODevice::WriteOnly) || f.write(invoice(i)) < 0)
                std::abort();
        }
        return made;
    }();
    return *y;
}

// ElementTree parses every file fully and picks what the summary needs: the ETTN once, the date,
// the type, the currency and its rate, and the tax subtotals of the invoice and of its lines.
constexpr char kElementTree[] = R"PY(
import os, sys, time, statistics
import xml.etree.ElementTree as ET
folder, rounds = sys.argv[1], int(sys.argv[2])
CBC = '{urn:ubl:CommonBasicComponents-2}'
CAC = '{urn:ubl:CommonAggregateComponents-2}'
CODE = CAC + 'TaxCategory/' + CAC + 'TaxScheme/' + CBC + 'TaxTypeCode'
def taxes(node):
    out = []
    for total in node.findall(CAC + 'TaxTotal'):
        for sub in total.findall(CAC + 'TaxSubtotal'):
            amount = sub.find(CBC + 'TaxAmount')
            out.append((sub.findtext(CBC + 'TaxableAmount'), amount.text, amount.get('currencyID'),
                        sub.findtext(CBC + 'Percent'), sub.findtext(CODE)))
    for total in node.findall(CAC + 'WithholdingTaxTotal'):
        out.append(total.findtext(CBC + 'TaxAmount'))
    return out
def read_year():
    seen, vat = set(), 0
    for name in sorted(os.listdir(folder)):
        if not name.lower().endswith('.xml'):
            continue
        root = ET.parse(os.path.join(folder, name)).getroot()
        ettn = root.findtext(CBC + 'UUID').strip().upper()
        if ettn in seen:
            continue
        seen.add(ettn)
        date = root.findtext(CBC + 'IssueDate')[:10]
        kind = root.findtext(CBC + 'InvoiceTypeCode')
        currency = root.findtext(CBC + 'DocumentCurrencyCode')
        rate = root.findtext(CAC + 'PricingExchangeRate/' + CBC + 'CalculationRate')
        subs = taxes(root)
        lines = [taxes(line) for line in root.findall(CAC + 'InvoiceLine')]
        vat += sum(round(float(s[1]) * 100) for s in subs if isinstance(s, tuple) and s[4] == '0015')
    return len(seen), vat
read_year()
times = []
for _ in range(rounds):
    start = time.perf_counter()
    count, vat = read_year()
    times.append((time.perf_counter() - start) * 1000)
print(count, vat, statistics.median(times))
)PY";

struct ElementTreeRun {
    int invoices = 0;
    double medianMs = 0;
    QString error;
};

// Run once and kept: the median of seven rounds after a warm-up round.
const ElementTreeRun& elementTree() {
    static const ElementTreeRun run = [] {
        ElementTreeRun r;
        QProcess python;
        python.start(u"/usr/bin/python3"_s,
                     {u"-c"_s, QString::fromLatin1(kElementTree), year().xmlFolder, u"7"_s});
        if (!python.waitForFinished(600000) || python.exitCode() != 0) {
            python.kill();
            python.waitForFinished();
            r.error = u"python3: "_s + QString::fromUtf8(python.readAllStandardError());
            return r;
        }
        const QList<QByteArray> out = python.readAllStandardOutput().trimmed().split(' ');
        r.invoices = out.value(0).toInt();
        r.medianMs = out.value(2).toDouble();
        if (r.invoices != kInvoices || r.medianMs <= 0)
            r.error = u"ElementTree read %1 invoices"_s.arg(r.invoices);
        return r;
    }();
    return run;
}

void reportAgainstElementTree(benchmark::State& state, std::vector<double>& ms) {
    const ElementTreeRun& et = elementTree();
    if (!et.error.isEmpty() || ms.empty())
        return;
    std::sort(ms.begin(), ms.end());
    state.counters["ElementTree_ms"] = et.medianMs;
    state.counters["x_ElementTree"] = ms[ms.size() / 2] / et.medianMs;
}

void BM_ElementTreeReadsTheYear(benchmark::State& state) {
    const ElementTreeRun& et = elementTree();
    for (auto _ : state) {
        if (!et.error.isEmpty()) {
            static const std::string error = et.error.toStdString();
            state.SkipWithError(error.c_str());
            break;
        }
        state.SetIterationTime(et.medianMs / 1000.0);
    }
}
BENCHMARK(BM_ElementTreeReadsTheYear)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The reading and summing alone: every file read, then each month's table and the chart's year.
void BM_YearReadAndSummed(benchmark::State& state) {
    const Year& y = year();
    std::vector<double> ms;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        tavlix::summary::SalesFolderReader reader(y.xmlFolder);
        reader.readAll();
        qint64 vat = 0;
        for (int m = 1; m <= 12; ++m)
            vat += tavlix::summary::salesTable(reader.invoices(), {2025, m}).total.vat;
        benchmark::DoNotOptimize(
            tavlix::summary::lastTwelveMonths(reader.invoices(), {2025, 12}).size());
        ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        if (reader.invoices().size() != kInvoices || !reader.unreadable().isEmpty())
            state.SkipWithError("not every XML was read");
        benchmark::DoNotOptimize(vat);
    }
    state.SetItemsProcessed(state.iterations() * kInvoices);
    reportAgainstElementTree(state, ms);
}
BENCHMARK(BM_YearReadAndSummed)->Unit(benchmark::kMillisecond)->UseRealTime();

// The window from its construction until it is ready: shown, every file read, tables and chart
// drawn, "Excel'e Aktar" enabled.
void BM_SummaryWindowReadyOverTheYear(benchmark::State& state) {
    int argc = 1;
    char arg0[] = "bench";
    char* argv[] = {arg0, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* app = QApplication::instance()
                                   ? nullptr
                                   : new QApplication(argc, argv); // lives for the whole run
    (void)app;
    const Year& y = year();
    std::vector<double> ms;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        tavlix::summary::SummaryWindow w(y.programDir, {kCompany}, kCompany, QDate(2025, 12, 15));
        QEventLoop loop;
        QObject::connect(&w, &tavlix::summary::SummaryWindow::readingFinished, &loop,
                         &QEventLoop::quit);
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        w.show();
        if (w.reading())
            loop.exec();
        QApplication::processEvents(); // the last paint
        ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        if (w.reading())
            state.SkipWithError("the window did not finish reading");
    }
    reportAgainstElementTree(state, ms);
}
BENCHMARK(BM_SummaryWindowReadyOverTheYear)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
