// The month at a glance: the issued invoices of a month by type and VAT rate, the invoices
// received that month by currency, and the figures of the months before it for the chart.
#pragma once

#include "summary/IssuedInvoiceXml.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

namespace tavlix::summary {

struct Month {
    int year = 0;
    int month = 0;             // 1 … 12
    QString yearMonth() const; // "2026-11"
    QString title() const;     // "Kasım 2026"
    Month previous(int months = 1) const;
    bool contains(const QDate& date) const { return date.year() == year && date.month() == month; }
    bool operator==(const Month&) const = default;
};

// The 25 months a summary is offered for, `today`'s month first.
QList<Month> summaryMonths(const QDate& today);

// "<program>/Firmalarım/<company>/Satış Faturaları/Xml"; nullopt for an unsafe company name.
std::optional<QString> salesXmlFolder(const QString& programDir, const QString& company);

// The filed XMLs of a folder, read a few at a time so that a window shows its progress between
// the steps and stays responsive. A second file of an ETTN already read counts no more.
class SalesFolderReader {
public:
    explicit SalesFolderReader(const QString& folder);

    int total() const { return static_cast<int>(m_files.size()); }
    int done() const { return m_next; }
    bool finished() const { return m_next >= total(); }
    // Reads up to `count` more files.
    void readNext(int count);
    void readAll() { readNext(total()); }
    // Reads at least one more file and then more until `milliseconds` have passed, so that a window
    // paints between the steps without painting for every few files.
    void readFor(int milliseconds);

    const std::vector<IssuedInvoice>& invoices() const { return m_invoices; }
    // File names that could not be read, in the order met, each with its reason.
    const QStringList& unreadable() const { return m_unreadable; }
    const QStringList& reasons() const { return m_reasons; }

private:
    QString m_folder;
    QStringList m_files;
    int m_next = 0;
    std::vector<IssuedInvoice> m_invoices;
    QHash<QString, int> m_byEttn;
    QStringList m_unreadable;
    QStringList m_reasons;
    std::string m_buffer; // one file's bytes, kept from file to file
};

// "SATIŞ" … "İHRAÇ KAYITLI" for the XML's type codes; another code is shown as it is.
QString typeTitle(const QString& code);
// "%20", "%0,5"; the rate alone: "20", "0,5".
QString rateTitle(int rateHundredths);
QString generalRateText(int rateHundredths);

struct SalesRow {
    QString type;           // the XML's code
    int rateHundredths = 0; // -1 on the total row
    int invoices = 0;
    money::Kurus taxable = 0;
    money::Kurus vat = 0;
    money::Kurus withheld = 0;
    money::Kurus otherTaxes = 0;
};

// The month's invoices the portal's approval state leaves out of the sums, and those whose state
// is not known (summed, and named in a note).
struct ApprovalSplit {
    int unknown = 0;
    int notApproved = 0;
    money::Kurus notApprovedTotal = 0;
    int deleted = 0;
    money::Kurus deletedTotal = 0;
};

struct SalesTable {
    std::vector<SalesRow> rows; // the six types in their order, then other codes; rates ascending
    SalesRow total;             // every invoice once, however many rates it has
    ApprovalSplit approval;
    bool isEmpty() const { return rows.empty(); }
};

// ETTN → approval state as the company's upload journal last read it; `error` when the journal
// could not be read (every state is then unknown).
struct ApprovalStates {
    QHash<QString, QString> byEttn;
    QString error;
};
ApprovalStates approvalStates(const QString& programDir, const QString& company);

// Sums the invoices of the month whose state is "Onaylandı" or not known; "Onaylanmadı" and
// "Silinmiş" are counted in `approval` only.
SalesTable salesTable(const std::vector<IssuedInvoice>& invoices, const Month& month,
                      const QHash<QString, QString>& states = {});

// "N faturanın portal onay durumu bilinmiyor (Portal Durumlarını Güncelle)" and
// "2 fatura onaylanmadı (toplam 12.400,00 TL), 1 fatura silinmiş: özete katılmadı", as they apply.
QStringList approvalNotes(const ApprovalSplit& split);

struct PurchaseRow {
    QString currency;
    int invoices = 0;
    money::Kurus total = 0;   // "Toplam Tutar"
    money::Kurus taxes = 0;   // "Vergiler Toplamı"
    money::Kurus payable = 0; // "Ödenecek Tutar"
};

struct PurchaseTable {
    std::vector<PurchaseRow> rows; // by currency, TRY first
    bool found = false;            // a list of the month exists
    bool incomplete = false;       // only the " (eksik)" list exists
    int missing = -1;              // the invoices the site counted but the list lacks; -1 unknown
    QList<int> badRows;            // sheet rows whose amounts are no numbers: left out
    QString error;                 // the list could not be opened
    bool isEmpty() const { return rows.empty(); }
    money::Kurus liraTaxes() const;
};

// The month's received list of the company: the complete one, or else the " (eksik)" one.
PurchaseTable purchaseTable(const QString& programDir, const QString& company, const Month& month);

// The notes shown under the tables: unreadable files, the approval states, an incomplete list, a
// month without data (said of the sales only once every file is read, `salesRead`).
QStringList summaryNotes(const SalesTable& sales, const PurchaseTable& purchases,
                         const QStringList& unreadableFiles, bool salesRead = true);

// The rows the window shows: each row's cells as texts, the total row last; none for an empty
// table.
QList<QStringList> salesTexts(const SalesTable& sales);
QList<QStringList> purchaseTexts(const PurchaseTable& purchases);

// One bar pair of the chart.
struct MonthFigures {
    Month month;
    money::Kurus salesVat = 0;      // VAT of the issued invoices
    money::Kurus receivedTaxes = 0; // "Vergiler Toplamı" of the received invoices in lira
    bool receivedForeign = false;   // the list also holds invoices in another currency
};

// The twelve months up to and including `last`, oldest first, with the VAT of the issued
// invoices; the received taxes are added by addReceivedTaxes, which reads the months' lists.
std::vector<MonthFigures> lastTwelveMonths(const std::vector<IssuedInvoice>& invoices,
                                           const Month& last,
                                           const QHash<QString, QString>& states = {});
void addReceivedTaxes(std::vector<MonthFigures>& figures, const QString& programDir,
                      const QString& company);

// What hovering a month's bars shows: "Kasım 2026 — Satış KDV: 1.234,50 TL, Alış vergileri:
// 56,00 TL".
QString figureText(const MonthFigures& figures);

} // namespace tavlix::summary
