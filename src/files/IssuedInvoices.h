// The company's issued invoices: the PDFs of "Satış Faturaları/Pdf", each described by the UBL
// XML filed beside it in "Satış Faturaları/Xml" under the same name.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

#include "invoice/Money.h"
#include "portal/PortalStates.h"

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
    QString ettn;      // the XML's UUID, upper case
    QString typeCode;  // the XML's InvoiceTypeCode: SATIS, IADE …
    std::optional<money::Kurus> payable;

    // "number  dd.MM.yyyy  buyer" when the XML was read, otherwise the PDF's file name.
    QString caption() const;
};

// The invoice of one PDF; the XML beside it fills what it can, a missing or broken XML
// leaves the number from the file name and the rest empty.
IssuedInvoice readIssuedInvoice(const QString& pdfPath);

// <companyFolder>/Satış Faturaları/Pdf, newest first: by invoice date, then number, then the
// PDF's time.
QList<IssuedInvoice> listIssuedInvoices(const QString& companyFolder);

// ETTN → approval state from the company's upload journal; empty when there is none or it cannot
// be read.
QHash<QString, QString> issuedStates(const QString& companyFolder);

// The filed XMLs of <companyFolder>/Satış Faturaları/Xml dated in the month, each once by its
// ETTN, as the state refresh takes them; XMLs that cannot be read are left out.
QList<portal::FiledInvoice> filedInvoicesOfMonth(const QString& companyFolder, int year, int month);

} // namespace tavlix::files
