// The mail that takes an issued invoice to its buyer: the texts the mail panel is prefilled with
// and the files it attaches (the printed PDF and the portal's HTML).
#pragma once

#include <QString>
#include <QStringList>

namespace tavlix::mail {

// What the mail needs of an issued invoice (files::IssuedInvoice).
struct IssuedInvoiceRef {
    QString number;
    QString buyer;
    QString taxNumber;
    QString pdfPath;
    QString htmlPath;
};

struct IssuedInvoiceMail {
    QString to;              // the buyer's e-mail on the customer card of its tax number
    QString subject;         // company + " e-Arşiv Faturası " + number
    QString body;            // five lines joined by CR LF
    QStringList attachments; // the PDF, then the HTML when it is there
};

QString issuedInvoiceSubject(const QString& company, const QString& number);
QString issuedInvoiceBody(const QString& buyer, const QString& number, const QString& company);

// The prefill for `invoice` of `company`; the recipient is looked up in DATA.xlsx at `dataPath`
// (empty when no card has that tax number or the workbook cannot be read).
IssuedInvoiceMail issuedInvoiceMail(const QString& company, const IssuedInvoiceRef& invoice,
                                    const QString& dataPath);

} // namespace tavlix::mail
