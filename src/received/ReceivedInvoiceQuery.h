// "Sorgula ve İndir": logs in to the Interactive Tax Office with the company's credentials and
// the captcha the user types, queries the chosen month in four ranges on "E-Arşiv Faturalarım"
// (a range whose answer does not fit the site's page again in halves, down to single days) and
// writes every listed invoice into the company's received-invoice workbook.
#pragma once

#include "received/ReceivedInvoices.h"

#include <QImage>
#include <QString>

namespace tavlix {
class UserPrompt;
}

namespace tavlix::received {

// The captcha picture and the box the user types its code into (Image1, Text3).
class CaptchaBox {
public:
    virtual ~CaptchaBox() = default;
    // Shows the picture and the box to type into.
    virtual void showCaptcha(const QImage& picture) = 0;
    virtual QString typedCaptcha() const = 0;
    virtual void clearCaptcha() = 0;
};

struct ReceivedInvoiceRequest {
    QString programDir;
    QString dataPath;
    int lastCompanyColumn = 21;
    QString company;
    QString period; // "yyyy mmmm "
    QString siteUrl;
};

// The start page of the Interactive Tax Office: TAVLIX_IVD_URL, or the real site.
QString ivdStartUrl();

// A range the site answered with a message box and no invoices, and what the box said.
struct EmptyRange {
    DateRange range;
    QString notice;
    bool operator==(const EmptyRange&) const = default;
};

struct ReceivedInvoiceResult {
    enum class Outcome { Saved, Cancelled, Failed };
    Outcome outcome = Outcome::Failed;
    QString path;     // the saved list; " (eksik)" before ".xlsx" when rows are missing
    int reported = 0; // rows the site's paging texts announced, all ranges together
    int written = 0;  // rows read from the pages and written
    QList<EmptyRange> emptyRanges;
    bool incomplete() const { return written < reported; }
};

// True for a message of the site that the query knows as an error: one of the login's messages,
// or any text that speaks of a session, a connection or an error (compared in Turkish lower
// case). Any other message box after "Sorgula" is the site's word for a range without invoices.
bool isSiteError(const QString& text);

// The status line after a saved list: " Fatura listesi indirildi.", then each range that came
// back empty with what the site said, and a warning when the site announced rows that were not
// on its pages (a day with more invoices than a page holds).
QString completionStatus(const ReceivedInvoiceResult& result);

// Runs the whole query on the calling (user-interface) thread. The prompt carries the status
// line (progress), the messages, the cancel flag (cancelled) and keeps the window responsive
// (keepAlive) while the captcha is awaited and the browser works. Whatever the outcome, the
// browser and its driver have ended when this returns, and nothing is saved unless the
// outcome is Saved.
ReceivedInvoiceResult queryReceivedInvoices(const ReceivedInvoiceRequest& request,
                                            UserPrompt& prompt, CaptchaBox& captcha);

} // namespace tavlix::received
