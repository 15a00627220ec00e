#include "mail/IssuedInvoiceMail.h"

#include "store/DataStore.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace tavlix::mail {

QString issuedInvoiceSubject(const QString& company, const QString& number) {
    return company + u" e-Arşiv Faturası "_s + number;
}

QString issuedInvoiceBody(const QString& buyer, const QString& number, const QString& company) {
    return u"Sayın;\r\n"_s + buyer + u"\r\n"_s + number +
           u" numaralı e-Arşiv faturamız ekte gönderilmiştir.\r\nİyi çalışmalar dileriz\r\n"_s +
           company;
}

IssuedInvoiceMail issuedInvoiceMail(const QString& company, const IssuedInvoiceRef& invoice,
                                    const QString& dataPath) {
    IssuedInvoiceMail mail;
    if (const auto card = store::DataStore(dataPath).customerByTaxNumber(invoice.taxNumber);
        card && card->has_value())
        mail.to = (*card)->email.trimmed();
    mail.subject = issuedInvoiceSubject(company, invoice.number);
    mail.body = issuedInvoiceBody(invoice.buyer, invoice.number, company);
    mail.attachments << invoice.pdfPath;
    if (QFileInfo(invoice.htmlPath).isFile())
        mail.attachments << invoice.htmlPath;
    return mail;
}

} // namespace tavlix::mail
