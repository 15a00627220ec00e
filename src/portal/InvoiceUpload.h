// The "e-Arşiv" upload: the invoice typed into the portal's invoice form field by field, saved
// as a draft that counts only once the document list shows it, checked against the program's own
// total, and its package downloaded and filed.
// It works on a plain InvoiceRecord and a BrowserDriver; the user hears of it through UserPrompt.
// The steps are in UploadHeader.cpp, UploadLines.cpp and UploadFiling.cpp; the document list
// is read in DocumentList.cpp.
#pragma once

#include "invoice/InvoiceRecord.h"
#include "portal/DocumentList.h"
#include "portal/PackageFiling.h"
#include "portal/PortalBrowser.h"
#include "portal/PortalLogin.h"
#include "portal/RowFieldList.h"
#include "portal/UploadCheckReport.h"
#include "portal/UploadJournal.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace tavlix {
class UserPrompt;
}

namespace tavlix::portal {

class BrowserDriver;

struct UploadOptions {
    QString programDir;
    QString portalBase; // the e-Archive portal's base address
    QDate today;
    // How long the download of the package is awaited after "İndir".
    int downloadLimitMs = 60000;
    // How long the page left by the save (the Enter after the notes) is watched for this
    // invoice's row in its document list.
    int listOnPageLimitMs = 10000;
    // Then how long, in all, the document list is queried for it, and in how many queries.
    int listQueryLimitMs = 20000;
    int listQueries = 3;
    // After the download the single upload clicks "gen__1008" and closes the window; a set stays
    // on the page for its next invoice and does both once, at its end.
    bool closeAfterDownload = true;
    // A set's invoice: the portal's login page shown by its first look at the document list
    // ends its steps with SessionEnded.
    bool watchSession = false;
    // A set's invoice: a date field gets its date as soon as it is unlocked and is read back;
    // only a field that did not take it is unlocked again with the single upload's pauses.
    bool pasteDatesAtOnce = false;
};

// The portal's option value of a type caption ("SATIŞ" → "SATIS" …); empty for another caption.
QString portalTypeValue(const QString& typeCaption);

// <company folder>/Satış Faturaları/Temp, or nothing when the company name is not a safe folder.
std::optional<QString> uploadTempFolder(const QString& programDir, const QString& company);

// The RowFieldList of the form's line tables, read in one script call: entry for entry what
// reading every input, select and span of every "gen__1069-b" one by one gives.
Result<RowFieldList> readRowFieldList(BrowserDriver& driver, int lineCount, int columnCount);

// Thrown between two steps when the user pressed "İptal"; the caller ends the session.
struct UploadCancelled {};
// Thrown when the portal showed its login page again (UploadOptions::watchSession): the session
// ended before anything of this invoice was typed.
struct SessionEnded {};

// The portal's login page ("userid" and "password") is what the browser shows.
bool onLoginPage(BrowserDriver& driver);

// The steps after the walk to "Fatura Oluştur (5.000/30.000 TL)", in the order they run. A step
// that fails is skipped and noted; the check report names what was skipped.
class InvoiceUpload {
public:
    InvoiceUpload(BrowserDriver& driver, UserPrompt& prompt, InvoiceRecord invoice,
                  UploadOptions options);

    // The document list of the invoice date as it stands before the save, then back to the
    // form: a draft listed afterwards that was not listed here is new.
    // `formShown`: the page is the form the login walk opened, still building itself; a set's
    // next invoice starts from the page its last one left.
    void readListBeforeSave(bool formShown = true);
    // The list of the invoice date is known already (a set's last invoice of the same date read
    // it after its save): readListBeforeSave only goes back to the form.
    void setListedBefore(QSet<QString> keys) { m_listedBefore = std::move(keys); }
    // Every row key of the invoice date seen so far, this invoice's row among them; nothing
    // unless the row was found in a list of that date.
    const std::optional<QSet<QString>>& listedNow() const { return m_listedNow; }
    void fillHeader();
    void fillReturnReferences();
    void addExtraTaxes();
    void fillLineRows();
    // Notes, save (Enter), the portal total, and the save confirmed by this invoice's row in the
    // document list. False when no row appeared within the limits: the report and the message
    // (with what the page said, if anything) have been shown.
    bool saveDraft();
    // This invoice's row ticked, the check report, "İndir", the package that appeared in Temp,
    // the ETTN message, the window closed, the package filed by `fileDownload` under the row's
    // number and date. Several rows that fit this invoice: said, nothing ticked or filed.
    void downloadAndFile(const std::function<Result<QString>(const UnzipInput&)>& fileDownload);

    const InvoiceRecord& invoice() const { return m_invoice; }
    // Whether the save found this invoice's row, several that fit it, or none; None before the
    // save.
    InvoiceRowMatch::Kind matchKind() const { return m_match.kind; }
    bool portalTotalRead() const { return m_portalTotalRead; }
    // saveDraft() has begun: the Enter of the save may have reached the portal.
    bool saveTried() const { return m_saveTried; }
    const QString& ettn() const { return m_ettn; }
    const QString& typeValue() const { return m_typeValue; }
    money::Kurus portalTotal() const { return m_portalTotal; }
    // What the page said after the save (a refusal), if anything.
    const QString& pageMessage() const { return m_pageMessage; }
    const QStringList& matchingNumbers() const { return m_match.numbers; }
    // The portal's ids of the skipped steps; the report names them in words (skippedStepName).
    const QStringList& skippedSteps() const { return m_skipped; }
    // The listed row's number and date; empty unless this invoice's row was identified.
    const QString& lastInvoiceNumber() const { return m_lastNumber; }
    const QString& lastInvoiceDate() const { return m_lastDate; }
    // The filed HTML; empty unless the package was filed.
    const QString& filedHtml() const { return m_filedHtml; }
    // The buyer's name and tax office as the portal filled them in after the tax-number query.
    const BuyerNames& portalBuyer() const { return m_portalBuyer; }
    // The report's lines: that the card's buyer was typed in where the portal found none, and the
    // portal's and the card's buyer when they differ.
    QStringList buyerLines() const;
    // The fixed waits the steps have made so far, in milliseconds.
    qint64 fixedWaitMs() const { return m_waitedMs; }

private:
    // True when the result is good; otherwise the step is noted as skipped.
    template <typename R> bool check(const R& result, const QString& step) {
        if (result.ok())
            return true;
        m_skipped.append(step);
        return false;
    }
    void wait(int ms);
    void checkpoint(const QString& step);
    bool click(const QString& id);
    bool typeInto(const QString& id, const QString& text);
    bool clickAndPaste(const QString& id, const QString& text);
    void unlockDateField(const QString& id, int pauseMs = 250);
    void pasteDate(const QString& id, const QString& date);
    void addTax(const QString& code);
    void readPortalBuyer();
    void completeBuyer();
    void fillLine(const QList<FillStep>& steps, const QStringList& refs);
    void fillStep(const FillStep& step, const Result<Element>& field);
    bool clickInputWithValue(const QString& value);
    void showReport(bool saveConfirmed);
    bool queryDocumentList(bool* opened = nullptr, bool watchSession = false);
    std::optional<QList<ListRow>> awaitDocumentList(int limitMs);
    bool foundIn(const QList<ListRow>& rows, bool ofInvoiceDate = true);
    // The menu's way to the invoice form; an ended session shows the login page instead.
    void openForm();
    bool followMenuLink(const QString& text);
    void awaitListedRow();
    bool tickInvoiceRow();
    QString waitForPackage(const QStringList& before);

    BrowserDriver& m_driver;
    UserPrompt& m_prompt;
    InvoiceRecord m_invoice;
    UploadOptions m_options;
    QString m_typeValue;
    QString m_ettn;          // read when the form opens; the listed row's once identified
    QString m_ettnAfterSave; // "gen__1024" read again after the save
    money::Kurus m_portalTotal = 0;
    bool m_portalTotalRead = false;
    bool m_saveTried = false;
    std::optional<QSet<QString>> m_listedBefore; // row keys; nothing when not queried
    std::optional<QSet<QString>> m_listedNow;
    QString m_pageMessage; // what the page said after the save
    InvoiceRowMatch m_match;
    QString m_lastNumber;
    QString m_lastDate;
    QString m_filedHtml;
    BuyerNames m_portalBuyer;
    bool m_buyerFromCard = false;         // the card's name or tax office typed in for the portal's
    QStringList m_skipped;                // ids and step names, as the steps noted them
    QHash<QString, QString> m_lineFields; // a line field's id → "Satır 3 KDV oranı"
    qint64 m_waitedMs = 0;
};

enum class UploadOutcome {
    Offline,       // "İnternete bağlı değilsiniz !"; no browser
    EmptyInvoice,  // "Fatura boş!"; no browser
    MissingBuyer,  // "Alıcı bilgileri eksik: …"; no browser
    NoCredentials, // silent; no browser
    UnsafeCompany, // the company name cannot be a folder; no browser
    LoginFailed,   // a failure before the menu walk, said in a message; session released
    Cancelled,     // "İptal" between two steps; session released
    NotSaved,      // no row of this invoice listed after the save; said, nothing filed
    NotRepeated,   // the invoice was uploaded already and the user said "Hayır"; no browser
    Done,          // the report was shown (whatever it says)
};

// What the upload calls beside the browser: the driver check before anything touches the
// browser, the filing of the package in Temp, and the session factory (tests set their own).
struct UploadServices {
    std::function<void(UserPrompt&)> checkDriver;
    // Unpacks the package in <company>/Satış Faturaları/Temp into Html, Xml and Zip with the two
    // name parts (unzip).
    std::function<Result<QString>(const UnzipInput&)> fileDownload;
    SessionFactory makeSession;
    // Prints a filed HTML to the PDF path (printInvoicePdf).
    std::function<Result<void>(const QString& htmlPath, const QString& pdfPath)> printPdf;
    // "Evet" to the offer to mail the invoice just filed and printed; takes the PDF's path.
    std::function<void(const QString& pdfPath)> mailToCustomer;
    // This invoice's row was found in the document list: its portal number and ETTN.
    std::function<void(const QString& number, const QString& ettn)> uploaded;
};

// After a filed package: its PDF printed into Pdf (a failure is said in one message and touches
// no other file), then, with the PDF there, the offer to mail it to the customer.
void printAndOfferMail(const QString& filedHtml, UserPrompt& prompt,
                       const UploadServices& services);

// The program's own: its folder, TAVLIX_PORTAL_URL, its today, a minute for the download.
UploadOptions defaultUploadOptions();
UploadServices defaultUploadServices();

// "Bu fatura <number> numarasıyla portala yüklendi. Yeni bir fatura olarak yeniden yüklensin mi?"
QString reuploadQuestion(const QString& number);
// The same with the time of the upload: "… <number> numarasıyla <dd.MM.yyyy HH:mm> tarihinde …".
QString reuploadQuestion(const QString& number, const QDateTime& uploadedAt);

// The journal row of an upload that reached the save, its outcome as the user is told it.
JournalEntry journalEntryFor(const InvoiceUpload& upload, const QDateTime& now);
// Adds that row to the company's journal; a failure, or a journal kept aside, is said in a
// warning. Called once per invoice that reached the save.
void recordUpload(const QString& programDir, const InvoiceUpload& upload, UserPrompt& prompt);

// False, after saying what is missing (missingBuyerDetails), when the invoice names no buyer the
// portal can issue to.
bool buyerComplete(const InvoiceRecord& invoice, UserPrompt& prompt);

// The "e-Arşiv" button from the preconditions to the filed package. An invoice that carries the
// number of a confirmed upload, or that the journal knows as issued, is sent again only after
// "Evet" to reuploadQuestion. Every browser process ends with it, also on a failure or "İptal".
UploadOutcome runInvoiceUpload(InvoiceRecord invoice, UserPrompt& prompt, UploadOptions options,
                               const UploadServices& services);

// One invoice's steps on the open session, from the document list read before the save to the
// filed package; false when the save was not confirmed. `afterSave` runs once the save was tried
// and answered (the journal row), before the download. UploadCancelled and SessionEnded pass
// through. Shared by the single upload and the set.
bool uploadOnSession(InvoiceUpload& upload, const UploadServices& services, bool formShown,
                     const std::function<void()>& afterSave);

} // namespace tavlix::portal
