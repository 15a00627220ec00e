#include "support/PortalDrafts.h"

#include "support/SiteServer.h"

#include <QDate>
#include <QHash>
#include <QJsonDocument>
#include <QLocale>
#include <QUuid>

#include <httplib.h>
#include <zip.h>

#include <cmath>
#include <map>

using namespace Qt::StringLiterals;

namespace tavlix::test {

namespace {

QDate portalDate(const QString& text) {
    return QDate::fromString(text.trimmed(), u"dd/MM/yyyy"_s);
}

QByteArray invoiceHtml(const QJsonObject& d) {
    // The script would write its marker into the page: a copy printed with scripts off has none.
    QString html = u"<html><head><meta charset=\"utf-8\"><title>%1</title></head><body>"
                   u"<script>document.write('<p>BETIK-CALISTI</p>');</script>"
                   u"<h1>e-Arşiv Fatura %2</h1><p>ETTN %1</p><p>Tarih %3</p><table>"_s.arg(
                       d.value(u"ettn"_s).toString(), d.value(u"belgeNo"_s).toString(),
                       d.value(u"faturaTarihi"_s).toString());
    for (const QJsonValue& line : d.value(u"satirlar"_s).toArray()) {
        const QJsonObject l = line.toObject();
        html += u"<tr><td>%1</td><td>%2</td><td>%3</td></tr>"_s.arg(
            l.value(u"ad"_s).toString().toHtmlEscaped(), l.value(u"miktar"_s).toString(),
            l.value(u"net"_s).toString());
    }
    html += u"</table><p>Vergiler Dahil Toplam %1</p></body></html>"_s.arg(
        d.value(u"toplamlar"_s).toObject().value(u"vergilerDahil"_s).toDouble());
    return html.toUtf8();
}

// A Turkish money text of the form ("1.234,50") in kuruş.
long long kurusOf(const QJsonValue& value) {
    QString t = value.toString().trimmed().remove(u'.').replace(u',', u'.');
    return std::llround(t.toDouble() * 100.0);
}

// A kuruş amount as UBL writes decimals: "1234.50".
QString decimal(long long kurus) {
    const long long magnitude = kurus < 0 ? -kurus : kurus;
    return u"%1%2.%3"_s.arg(kurus < 0 ? u"-"_s : QString())
        .arg(magnitude / 100)
        .arg(magnitude % 100, 2, 10, QChar(u'0'));
}

QString currencyCode(const QString& name) {
    static const QHash<QString, QString> codes = {
        {u"Türk Lirası"_s, u"TRY"_s},    {u"ABD Doları"_s, u"USD"_s},
        {u"Euro"_s, u"EUR"_s},           {u"İngiliz Sterlini"_s, u"GBP"_s},
        {u"İsviçre Frangı"_s, u"CHF"_s}, {u"Japon Yeni"_s, u"JPY"_s},
        {u"Rus Rublesi"_s, u"RUB"_s}};
    return codes.value(name, u"TRY"_s);
}

struct TaxSum {
    long long taxable = 0;
    long long tax = 0;
    QString percent;
};

QString subtotal(const QString& currency, const QString& code, const QString& name,
                 const TaxSum& sum) {
    return u"<cac:TaxSubtotal><cbc:TaxableAmount currencyID=\"%1\">%2</cbc:TaxableAmount>"
           u"<cbc:TaxAmount currencyID=\"%1\">%3</cbc:TaxAmount><cbc:Percent>%4</cbc:Percent>"
           u"<cac:TaxCategory><cac:TaxScheme><cbc:Name>%5</cbc:Name>"
           u"<cbc:TaxTypeCode>%6</cbc:TaxTypeCode></cac:TaxScheme></cac:TaxCategory>"
           u"</cac:TaxSubtotal>"_s.arg(currency, decimal(sum.taxable), decimal(sum.tax),
                                       sum.percent.isEmpty() ? u"0"_s : sum.percent, name, code);
}

// The invoice-level or line-level tax elements of UBL-TR: VAT by rate (0015), the other taxes by
// their codes, the withheld VAT by its code.
QString taxElements(const QString& currency, const std::map<QString, TaxSum>& vat,
                    const std::map<QString, TaxSum>& other, const std::map<QString, TaxSum>& held) {
    long long taxes = 0;
    QString subtotals;
    for (const auto& [rate, sum] : vat) {
        taxes += sum.tax;
        subtotals += subtotal(currency, u"0015"_s, u"KDV"_s, sum);
    }
    for (const auto& [code, sum] : other) {
        taxes += sum.tax;
        subtotals += subtotal(currency, code, code, sum);
    }
    QString xml = u"<cac:TaxTotal><cbc:TaxAmount currencyID=\"%1\">%2</cbc:TaxAmount>"_s.arg(
                      currency, decimal(taxes)) +
                  subtotals + u"</cac:TaxTotal>"_s;
    long long withheld = 0;
    QString heldSubtotals;
    for (const auto& [code, sum] : held) {
        withheld += sum.tax;
        heldSubtotals += subtotal(currency, code, u"KDV TEVKİFAT"_s, sum);
    }
    if (!held.empty())
        xml +=
            u"<cac:WithholdingTaxTotal><cbc:TaxAmount currencyID=\"%1\">%2</cbc:TaxAmount>"_s.arg(
                currency, decimal(withheld)) +
            heldSubtotals + u"</cac:WithholdingTaxTotal>"_s;
    return xml;
}

// UBL-TR as the portal's package carries it: number, ETTN, date (yyyy-MM-dd), type, currency and
// its rate, the buyer, the taxes of the invoice and of each line (UBL-TR's TaxTotal and
// WithholdingTaxTotal) and the totals.
QByteArray invoiceXml(const QJsonObject& d) {
    const QDate date = QDate::fromString(d.value(u"faturaTarihi"_s).toString(), u"dd/MM/yyyy"_s);
    auto text = [&](const char16_t* key) {
        return d.value(QString::fromUtf16(key)).toString().toHtmlEscaped();
    };
    const QString vkn = d.value(u"aliciVkn"_s).toString();
    const QString currency = currencyCode(d.value(u"paraBirimi"_s).toString());
    const QString type = d.value(u"faturaTipi"_s).toString();
    const QJsonArray taxCodes = d.value(u"vergiler"_s).toArray();

    std::map<QString, TaxSum> vat, other, held;
    QString lines;
    int number = 0;
    for (const QJsonValue& value : d.value(u"satirlar"_s).toArray()) {
        const QJsonObject l = value.toObject();
        std::map<QString, TaxSum> lineVat, lineOther, lineHeld;
        const QString rate = l.value(u"kdvOrani"_s).toString();
        const long long net = kurusOf(l.value(u"net"_s));
        const long long base = type == u"OZELMATRAH"_s ? kurusOf(l.value(u"ozelMatrah"_s)) : net;
        lineVat[rate] = TaxSum{base, kurusOf(l.value(u"kdv"_s)), rate};
        for (const QJsonValue& code : taxCodes) {
            const QString c = code.toString();
            const long long amount = kurusOf(l.value(u"tutar:"_s + c));
            if (amount != 0)
                lineOther[c.mid(1)] = TaxSum{net, amount, l.value(u"oran:"_s + c).toString()};
        }
        if (const long long withheld = kurusOf(l.value(u"tevkifat"_s)); withheld != 0)
            lineHeld[l.value(u"tevkifatKodu"_s).toString()] = TaxSum{
                kurusOf(l.value(u"kdv"_s)), withheld, l.value(u"tevkifatOrani"_s).toString()};
        for (auto [whole, part] : {std::pair{&vat, &lineVat}, std::pair{&other, &lineOther},
                                   std::pair{&held, &lineHeld}}) {
            for (const auto& [key, sum] : *part) {
                TaxSum& t = (*whole)[key];
                t.taxable += sum.taxable;
                t.tax += sum.tax;
                t.percent = sum.percent;
            }
        }
        lines += u"<cac:InvoiceLine><cbc:ID>%1</cbc:ID><cbc:LineExtensionAmount currencyID=\"%2\">"
                 u"%3</cbc:LineExtensionAmount>"_s.arg(++number)
                     .arg(currency, decimal(net)) +
                 taxElements(currency, lineVat, lineOther, lineHeld) +
                 u"<cac:Item><cbc:Name>%1</cbc:Name></cac:Item></cac:InvoiceLine>"_s.arg(
                     l.value(u"ad"_s).toString().toHtmlEscaped());
    }
    QString exchange;
    if (currency != u"TRY"_s)
        exchange =
            u"<cac:PricingExchangeRate><cbc:SourceCurrencyCode>%1</cbc:SourceCurrencyCode>"
            u"<cbc:TargetCurrencyCode>TRY</cbc:TargetCurrencyCode>"
            u"<cbc:CalculationRate>%2</cbc:CalculationRate></cac:PricingExchangeRate>"_s.arg(
                currency, d.value(u"dovizKuru"_s).toString().remove(u'.').replace(u',', u'.'));
    const QJsonObject totals = d.value(u"toplamlar"_s).toObject();
    const auto total = [&](const char16_t* key) {
        return decimal(std::llround(totals.value(QString::fromUtf16(key)).toDouble() * 100.0));
    };
    return (u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            u"<Invoice xmlns=\"urn:ubl:Invoice-2\" "
            u"xmlns:cac=\"urn:ubl:"
            u"CommonAggregateComponents-2\" "
            u"xmlns:cbc=\"urn:ubl:CommonBasicComponents-2\">"
            u"<cbc:UBLVersionID>2.1</cbc:UBLVersionID><cbc:CustomizationID>TR1.2"
            u"</cbc:CustomizationID><cbc:ProfileID>EARSIVFATURA</cbc:ProfileID>"
            u"<cbc:ID>%1</cbc:ID><cbc:UUID>%2</cbc:UUID><cbc:IssueDate>%3</cbc:IssueDate>"
            u"<cbc:InvoiceTypeCode>%4</cbc:InvoiceTypeCode>"
            u"<cbc:DocumentCurrencyCode>%5</cbc:DocumentCurrencyCode>"_s.arg(
                text(u"belgeNo"), text(u"ettn"), date.toString(u"yyyy-MM-dd"_s),
                text(u"faturaTipi"), currency) +
            u"<cac:AccountingCustomerParty><cac:Party><cac:PartyIdentification>"
            u"<cbc:ID schemeID=\"%1\">%2</cbc:ID></cac:PartyIdentification>"
            u"<cac:PartyName><cbc:Name>%3</cbc:Name></cac:PartyName>"
            u"<cac:Person><cbc:FirstName>%4</cbc:FirstName><cbc:FamilyName>%5</cbc:FamilyName>"
            u"</cac:Person></cac:Party></cac:AccountingCustomerParty>"_s.arg(
                vkn.size() == 11 ? u"TCKN"_s : u"VKN"_s, vkn.toHtmlEscaped(), text(u"unvan"),
                text(u"adi"), text(u"soyadi")) +
            exchange + taxElements(currency, vat, other, held) +
            u"<cac:LegalMonetaryTotal>"
            u"<cbc:LineExtensionAmount currencyID=\"%1\">%2</cbc:LineExtensionAmount>"
            u"<cbc:TaxExclusiveAmount currencyID=\"%1\">%3</cbc:TaxExclusiveAmount>"
            u"<cbc:TaxInclusiveAmount currencyID=\"%1\">%4</cbc:TaxInclusiveAmount>"
            u"<cbc:PayableAmount currencyID=\"%1\">%5</cbc:PayableAmount>"
            u"</cac:LegalMonetaryTotal>"_s.arg(currency, total(u"malHizmet"),
                                               total(u"vergilerHaric"), total(u"vergilerDahil"),
                                               total(u"odenecek")) +
            lines + u"</Invoice>\n"_s)
        .toUtf8();
}

} // namespace

PortalDrafts::PortalDrafts(SiteServer& server)
    : m_server(server) {
    httplib::Server& http = server.http();
    http.Post("/api/taslak", [this](const httplib::Request& req, httplib::Response& res) {
        QJsonObject draft = QJsonDocument::fromJson(QByteArray::fromStdString(req.body)).object();
        // "kayitReddiVkn": only the drafts of this buyer are refused.
        const QString refusedBuyer = m_server.switchValue(u"kayitReddiVkn"_s).toString();
        if (const QString refusal = m_server.switchValue(u"kayitReddi"_s).toString();
            !refusal.isEmpty() &&
            (refusedBuyer.isEmpty() || draft.value(u"aliciVkn"_s).toString() == refusedBuyer)) {
            res.status = 503;
            res.set_content(refusal.toStdString(), "text/plain; charset=utf-8");
            return;
        }
        // A form without an ETTN gets one here; the answer names it.
        QString ettn = draft.value(u"ettn"_s).toString();
        if (ettn.isEmpty())
            ettn = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
        draft.insert(u"ettn"_s, ettn);
        const std::string answer = QJsonDocument(QJsonObject{{u"ettn"_s, ettn}})
                                       .toJson(QJsonDocument::Compact)
                                       .toStdString();
        // A save that never shows in the document list.
        if (m_server.switchValue(u"kayitListedeYok"_s).toBool())
            draft.insert(u"listedeYok"_s, true);
        std::lock_guard lock(m_mutex);
        // A later save of the same form replaces the draft and keeps its number and place.
        for (qsizetype i = 0; i < m_drafts.size(); ++i) {
            const QJsonObject old = m_drafts[i].toObject();
            if (old.value(u"ettn"_s).toString() == ettn) {
                draft.insert(u"belgeNo"_s, old.value(u"belgeNo"_s));
                if (old.contains(u"durum"_s))
                    draft.insert(u"durum"_s, old.value(u"durum"_s));
                m_drafts[i] = draft;
                res.set_content(answer, "application/json");
                return;
            }
        }
        const QDate date = portalDate(draft.value(u"faturaTarihi"_s).toString());
        draft.insert(u"belgeNo"_s, u"GIB%1%2"_s.arg(date.isValid() ? date.year() : 2000)
                                       .arg(m_next++, 9, 10, QChar(u'0')));
        m_drafts.append(draft);
        res.set_content(answer, "application/json");
    });
    http.Get("/api/belgeler", [this](const httplib::Request& req, httplib::Response& res) {
        const QDate from = portalDate(QString::fromStdString(req.get_param_value("bas")));
        const QDate to = portalDate(QString::fromStdString(req.get_param_value("bit")));
        QJsonArray list;
        std::lock_guard lock(m_mutex);
        for (const QJsonValue& value : std::as_const(m_drafts)) {
            const QJsonObject d = value.toObject();
            const QDate date = portalDate(d.value(u"faturaTarihi"_s).toString());
            if (!date.isValid() || (from.isValid() && date < from) || (to.isValid() && date > to) ||
                d.value(u"listedeYok"_s).toBool())
                continue;
            const double total =
                d.value(u"toplamlar"_s).toObject().value(u"vergilerDahil"_s).toDouble();
            list.append(
                QJsonObject{{u"belgeNo"_s, d.value(u"belgeNo"_s)},
                            {u"ettn"_s, d.value(u"ettn"_s)},
                            {u"aliciVkn"_s, d.value(u"aliciVkn"_s)},
                            {u"tarih"_s, date.toString(u"dd-MM-yyyy"_s)},
                            {u"durum"_s, d.value(u"durum"_s).toString(u"Onaylanmadı"_s)},
                            {u"toplam"_s, QLocale(QLocale::Turkish).toString(total, 'f', 2)}});
        }
        res.set_header("Cache-Control", "no-store");
        res.set_content(QJsonDocument(list).toJson(QJsonDocument::Compact).toStdString(),
                        "application/json; charset=utf-8");
    });
    // What the portal received, for a look by hand at the stand-in program.
    http.Get("/api/kayit", [this](const httplib::Request&, httplib::Response& res) {
        res.set_header("Cache-Control", "no-store");
        res.set_content(QJsonDocument(drafts()).toJson().toStdString(),
                        "application/json; charset=utf-8");
    });
    http.Get("/indir", [this](const httplib::Request& req, httplib::Response& res) {
        const QString ettn = QString::fromStdString(req.get_param_value("ettn"));
        if (m_server.switchValue(u"indirmeYok"_s).toBool()) {
            res.status = 204;
            return;
        }
        QJsonObject draft;
        {
            std::lock_guard lock(m_mutex);
            for (const QJsonValue& value : std::as_const(m_drafts))
                if (value.toObject().value(u"ettn"_s).toString() == ettn)
                    draft = value.toObject();
            if (draft.isEmpty()) {
                res.status = 404;
                return;
            }
            ++m_downloads;
        }
        const QByteArray zip = package(draft);
        res.set_header("Content-Disposition",
                       ("attachment; filename=\"" + ettn.toStdString() + ".zip\""));
        res.set_content(zip.toStdString(), "application/zip");
    });
}

QJsonArray PortalDrafts::drafts() const {
    std::lock_guard lock(m_mutex);
    return m_drafts;
}

QJsonObject PortalDrafts::newest() const {
    std::lock_guard lock(m_mutex);
    return m_drafts.isEmpty() ? QJsonObject() : m_drafts.last().toObject();
}

bool PortalDrafts::setState(const QString& ettn, const QString& state) {
    std::lock_guard lock(m_mutex);
    for (qsizetype i = 0; i < m_drafts.size(); ++i) {
        QJsonObject d = m_drafts[i].toObject();
        if (d.value(u"ettn"_s).toString().compare(ettn, Qt::CaseInsensitive) != 0)
            continue;
        d.insert(u"durum"_s, state);
        m_drafts[i] = d;
        return true;
    }
    return false;
}

int PortalDrafts::downloads() const {
    std::lock_guard lock(m_mutex);
    return m_downloads;
}

void PortalDrafts::clear() {
    std::lock_guard lock(m_mutex);
    m_drafts = QJsonArray();
    m_downloads = 0;
}

QByteArray PortalDrafts::package(const QJsonObject& draft) {
    const QString ettn = draft.value(u"ettn"_s).toString();
    const QByteArray html = invoiceHtml(draft);
    const QByteArray xml = invoiceXml(draft);
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (!buffer)
        return {};
    zip_source_keep(buffer);
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    QByteArray out;
    if (archive) {
        for (const auto& [name, data] :
             {std::pair{ettn + u".html"_s, &html}, std::pair{ettn + u".xml"_s, &xml}}) {
            zip_source_t* file =
                zip_source_buffer(archive, data->constData(), zip_uint64_t(data->size()), 0);
            if (file &&
                zip_file_add(archive, name.toUtf8().constData(), file, ZIP_FL_ENC_UTF_8) < 0)
                zip_source_free(file);
        }
        if (zip_close(archive) == 0 && zip_source_open(buffer) == 0) {
            zip_source_seek(buffer, 0, SEEK_END);
            out.resize(qsizetype(zip_source_tell(buffer)));
            zip_source_seek(buffer, 0, SEEK_SET);
            zip_source_read(buffer, out.data(), zip_uint64_t(out.size()));
            zip_source_close(buffer);
        }
    }
    zip_source_free(buffer);
    zip_error_fini(&error);
    return out;
}

} // namespace tavlix::test
