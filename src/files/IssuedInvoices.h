// The company's issued invoices: the PDFs of "Satış Faturaları/Pdf", each described by the UBL
// XML filed beside it in "Satış Faturaları/Xml" under the same name.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace tavlix::files {

struct IssuedInvoice {
    QString pdfPath;
    QString htmlPath;  // the filed HTML of the same name; it may be gone
    QString number;    // the XML's, else the first part of the file name
    QDate date;        // the XML's IssueDate; invalid when the XML cannot be read
    QString buyer;     // party name, or first and family name of a person
    QString taxNumber; // the buyer's VKN or TCKN
    QDateTime printed; // the PDF's time

    // "number  dd.MM.yyyy  buyer" when the XML was read, otherwise the PDF's file name.
    QString caption() const;
};

// The invoice of one PDF; the XML beside it fills what it can, a missing or broken XML
// leaves the number from the file name and the rest empty.
IssuedInvoice readIssuedInvoice(const QString& pdfPath);

// <companyFolder>/Satış Faturaları/Pdf, newest first: by invoice date, then number, then the
// PDF's time.
QList<IssuedInvoice> listIssuedInvoices(const QString& companyFolder);

} // namespace tavlix::files
