// The issued invoice as a PDF: the HTML of a filed package printed by headless Chromium into the
// company's "Satış Faturaları/Pdf", under the HTML's own name.
#pragma once

#include "platform/Result.h"
#include "portal/PackageFiling.h"
#include "portal/PortalLogin.h"

#include <QString>

#include <memory>

namespace tavlix::portal {

// Where unzip put the HTML of `package` filed under the name parts of `input`.
QString filedHtmlPath(const UnzipInput& input, const QString& package);

// <sales>/Pdf/<stem>.pdf for the filed <sales>/Html/<stem>.html.
QString issuedPdfPath(const QString& filedHtmlPath);

// Opens the HTML from its file in a browser session of its own that runs no script and reaches
// no network, prints it to A4 and writes the PDF under a temporary name renamed to `pdfPath`.
// A failure leaves no PDF (an older one stays) and ends the session.
Result<void> printInvoicePdf(const QString& htmlPath, const QString& pdfPath,
                             const SessionFactory& makeSession = portal::makeSession);

// printInvoicePdf for several invoices in one print session, started at the first and ended
// with the printer (or after a failed print).
class InvoicePrinter {
public:
    explicit InvoicePrinter(SessionFactory makeSession = portal::makeSession);
    ~InvoicePrinter();
    InvoicePrinter(const InvoicePrinter&) = delete;
    InvoicePrinter& operator=(const InvoicePrinter&) = delete;

    Result<void> print(const QString& htmlPath, const QString& pdfPath);

private:
    SessionFactory m_makeSession;
    std::unique_ptr<BrowserDriver> m_driver;
};

} // namespace tavlix::portal
