// The upload's first steps: the invoice's header, the returned invoices of a return and the
// extra taxes, typed into the portal's form.
#include "portal/InvoiceUpload.h"

#include "platform/UserPrompt.h"
#include "portal/PortalBrowser.h"

#include <QElapsedTimer>

using namespace Qt::StringLiterals;

namespace tavlix::portal {

namespace {

// How long the portal may take to fill in the buyer after the tax-number query.
constexpr int kBuyerQueryLimitMs = 2000;

// The buyer as the customer card gave it to the invoice: the card's name, else the names typed.
BuyerNames cardBuyer(const InvoiceRecord& invoice) {
    QString name = invoice.customerTitle;
    if (name.trimmed().isEmpty())
        name = (invoice.customerFirstName + u' ' + invoice.customerSurname).trimmed();
    if (name.trimmed().isEmpty())
        name = invoice.customerName;
    return {name.trimmed(), invoice.taxOffice.trimmed()};
}

} // namespace

// Read quietly: a portal that fills in nothing (an unknown number) is no skipped step.
void InvoiceUpload::readPortalBuyer() {
    const auto value = [this](const QString& id) -> std::optional<QString> {
        const auto field = m_driver.FindById(id);
        if (!field.ok())
            return std::nullopt;
        const auto text = m_driver.ReadAttribute(*field, u"value"_s);
        return text.ok() ? std::optional<QString>(text->trimmed()) : std::nullopt;
    };
    QElapsedTimer clock;
    clock.start();
    while (true) {
        const auto title = value(u"gen__1034"_s);
        const auto office = value(u"gen__1041"_s);
        if (!title || !office)
            return;
        QString name = *title;
        if (name.isEmpty())
            name = (value(u"gen__1035"_s).value_or(QString()) + u' ' +
                    value(u"gen__1036"_s).value_or(QString()))
                       .trimmed();
        if ((!name.isEmpty() && !office->isEmpty()) || clock.elapsed() >= kBuyerQueryLimitMs) {
            m_portalBuyer = {name, *office};
            return;
        }
        m_prompt.keepAlive();
        if (m_prompt.cancelled())
            throw UploadCancelled{};
        m_driver.Wait(50);
    }
}

// A number the portal's registry does not know (a new company, a person, a buyer abroad) leaves
// the name and tax office empty: the card's are typed in, else the invoice goes out nameless.
void InvoiceUpload::completeBuyer() {
    const BuyerNames card = cardBuyer(m_invoice);
    if (m_portalBuyer.name.isEmpty() && !card.name.isEmpty()) {
        if (m_invoice.taxNumber.trimmed().size() == 11) {
            QString first = m_invoice.customerFirstName.trimmed();
            QString last = m_invoice.customerSurname.trimmed();
            if (first.isEmpty() || last.isEmpty()) {
                const qsizetype blank = card.name.lastIndexOf(u' ');
                first = blank < 0 ? card.name : card.name.left(blank).trimmed();
                last = blank < 0 ? QString() : card.name.mid(blank + 1);
            }
            typeInto(u"gen__1035"_s, first);
            typeInto(u"gen__1036"_s, last);
        } else {
            typeInto(u"gen__1034"_s, card.name);
        }
        m_portalBuyer.name = card.name;
        m_buyerFromCard = true;
    }
    if (m_portalBuyer.taxOffice.isEmpty() && !card.taxOffice.isEmpty()) {
        typeInto(u"gen__1041"_s, card.taxOffice);
        m_portalBuyer.taxOffice = card.taxOffice;
        m_buyerFromCard = true;
    }
}

QStringList InvoiceUpload::buyerLines() const {
    QStringList lines;
    if (m_buyerFromCard)
        lines << u" Alıcı bilgileri portalda bulunamadı; müşteri kartındaki bilgiler yazıldı."_s;
    return lines + buyerDifferenceLines(m_portalBuyer, cardBuyer(m_invoice));
}

void InvoiceUpload::unlockDateField(const QString& id, int pauseMs) {
    const auto field = m_driver.FindById(id);
    if (check(field, id))
        check(m_driver.RunScript(u"arguments[0].removeAttribute('disabled')"_s, {*field}), id);
    wait(pauseMs);
    if (field.ok())
        check(m_driver.RunScript(u"arguments[0].setAttribute('class', 'csc-textbox')"_s, {*field}),
              id);
    wait(pauseMs);
}

void InvoiceUpload::pasteDate(const QString& id, const QString& date) {
    if (m_options.pasteDatesAtOnce) {
        unlockDateField(id, 0);
        clickAndPaste(id, date);
        const auto field = m_driver.FindById(id);
        const auto value = field.ok() ? m_driver.ReadAttribute(*field, u"value"_s)
                                      : Result<QString>(field.error());
        // A missing field was noted once already; one that refused the paste is emptied.
        if (!value.ok() || *value == date ||
            !m_driver.RunScript(u"arguments[0].value = ''"_s, {*field}).ok())
            return;
    }
    unlockDateField(id);
    clickAndPaste(id, date);
}

void InvoiceUpload::addTax(const QString& code) {
    const auto select = m_driver.FindById(u"gen__1067"_s);
    if (check(select, u"gen__1067"_s))
        check(m_driver.SelectByValue(*select, code), u"gen__1067 "_s + code);
    wait(20);
    click(u"gen__1068"_s);
    wait(50);
    check(m_driver.AcceptAlert(), u"gen__1068 "_s + code);
}

void InvoiceUpload::fillHeader() {
    checkpoint(u"Fatura başlığı yazılıyor"_s);
    // The form builds itself in parts; its notes field comes last.
    m_driver.IsPresent(u"gen__1105"_s, 5000);
    if (const auto ettn = m_driver.FindById(u"gen__1024"_s); check(ettn, u"gen__1024"_s)) {
        const auto text = m_driver.ReadText(*ettn);
        if (check(text, u"gen__1024"_s))
            m_ettn = *text;
    }
    QString taxpayer;
    if (const auto field = m_driver.FindById(u"gen__1005"_s); check(field, u"gen__1005"_s)) {
        const auto text = m_driver.ReadText(*field);
        if (check(text, u"gen__1005"_s))
            taxpayer = *text;
    }
    if (taxpayer != m_invoice.settings.portalTaxNumber)
        m_prompt.message(UserPrompt::Icon::Warning,
                         u"Dikkat ! kullanıcı ile mükellef vergi no uyuşmuyor !!! \r\n"
                         u"prgDATA sayfanızı kontrol edin!!!"_s);
    checkpoint(u"Fatura başlığı yazılıyor"_s);

    click(u"gen__1026"_s);
    wait(250);
    pasteDate(u"date-gen__1026"_s, m_invoice.invoiceDate);
    typeInto(u"date-gen__1027"_s, m_invoice.issueTime);
    if (const auto currency = m_driver.FindById(u"gen__1028"_s); check(currency, u"gen__1028"_s))
        check(m_driver.SelectByText(*currency, m_invoice.currency), u"gen__1028"_s);
    if (!m_invoice.exchangeRate.isEmpty()) {
        // The Tab from the currency select puts the focus into the rate field.
        check(m_driver.SendKeysToPage(keys::Tab), u"döviz kuru"_s);
        wait(1);
        check(m_driver.ClipboardPaste(m_invoice.exchangeRate), u"döviz kuru"_s);
        check(m_driver.SendKeysToPage(keys::Tab), u"döviz kuru"_s);
    }
    click(u"gen__1030"_s);
    if (const auto type = m_driver.FindById(u"gen__1030"_s); check(type, u"gen__1030"_s))
        check(m_driver.SelectByValue(*type, m_typeValue), u"gen__1030"_s);
    checkpoint(u"Alıcı bilgileri yazılıyor"_s);
    typeInto(u"gen__1033"_s, m_invoice.taxNumber);
    click(u"gen__1034"_s);
    readPortalBuyer();
    completeBuyer();
    if (const auto country = m_driver.FindById(u"gen__1042"_s); check(country, u"gen__1042"_s)) {
        check(m_driver.SelectByText(*country, m_invoice.customerCountry), u"gen__1042"_s);
        check(m_driver.Click(*country), u"gen__1042"_s);
    }
    typeInto(u"gen__1043"_s, m_invoice.customerAddress);
    if (!m_invoice.dispatchDate.isEmpty()) {
        typeInto(u"gen__1045"_s, m_invoice.dispatchSerial);
        click(u"gen__1046"_s);
        wait(250);
        pasteDate(u"date-gen__1046"_s, m_invoice.dispatchDate);
    }
    if (m_typeValue == u"TEVKIFAT"_s) {
        checkpoint(u"Tevkifat vergisi ekleniyor"_s);
        addTax(u"V9015"_s);
    }
}

void InvoiceUpload::fillReturnReferences() {
    if (m_invoice.typeText != u"İADE"_s)
        return;
    int g = 1145;
    int d = 1146;
    const auto count = m_invoice.returnReferences.size();
    for (qsizetype i = 0; i < count; ++i) {
        const QString& entry = m_invoice.returnReferences[i];
        checkpoint(u"İade edilen fatura bilgisi yazılıyor: %1 / %2"_s.arg(i + 1).arg(count));
        click(u"gen__1063"_s);
        const qsizetype dash = entry.indexOf(u'-');
        const QString serial = dash < 0 ? entry : entry.left(dash);
        const qsizetype sep = entry.indexOf(u"---"_s);
        const QString date = sep < 0 ? QString() : entry.mid(sep + 3);
        wait(150);
        const QString dateId = u"date-gen__"_s + QString::number(d);
        unlockDateField(dateId);
        typeInto(u"gen__"_s + QString::number(g), serial);
        click(dateId);
        wait(25);
        check(m_driver.ClipboardPaste(date), dateId);
        wait(25);
        check(m_driver.SendKeysToPage(keys::Tab), dateId);
        g += 2;
        d += 2;
    }
}

void InvoiceUpload::addExtraTaxes() {
    const QStringList& headers = m_invoice.lineHeaders;
    for (qsizetype column = 9; column < headers.size(); ++column) {
        if (!headers[column].startsWith(u'V'))
            continue;
        checkpoint(u"Ek vergi ekleniyor: "_s + headers[column].left(5));
        addTax(headers[column].left(5));
    }
}

} // namespace tavlix::portal
