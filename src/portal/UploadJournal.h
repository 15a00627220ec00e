// The upload journal of a company: <company folder>/Satış Faturaları/Yüklemeler.xlsx, one row for
// every upload that reached the portal's save, so that an invoice issued once is known after a
// restart, and the portal's approval state of each issued invoice as last read.
#pragma once

#include "invoice/InvoiceRecord.h"
#include "invoice/Money.h"
#include "platform/Result.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace tavlix::portal {

// The outcomes as the user was told them.
inline constexpr char16_t kJournalPrepared[] = u"hazırlandı";
inline constexpr char16_t kJournalNotSaved[] = u"kaydedilmedi";
inline constexpr char16_t kJournalSeveralDrafts[] = u"birden çok taslak";

struct JournalEntry {
    QDateTime uploadedAt;
    QString invoiceDate; // "dd/MM/yyyy", as on the invoice
    QString typeText;    // "SATIŞ", "İADE" …
    QString buyerTaxNumber;
    QString buyerName;
    money::Kurus tavlixTotal = 0;
    std::optional<money::Kurus> portalTotal; // nothing when the portal's total was not read
    QString portalNumber;
    QString ettn;
    QString outcome;        // one of the kJournal… texts
    QString sourceWorkbook; // the saved workbook's file name the invoice was loaded from, or empty
    QString approvalState; // "Onaylandı", "Onaylanmadı", "Silinmiş", "portalda bulunamadı", "?"
    QDateTime stateReadAt; // when approvalState was read; invalid when never
};

// <program>/Firmalarım/<company>/Satış Faturaları/Yüklemeler.xlsx; nothing when the company name
// is not a safe folder name.
std::optional<QString> journalPath(const QString& programDir, const QString& company);
// The same for a company folder already checked.
QString journalPathIn(const QString& companyFolder);

// Every row of the journal at `path`, oldest first; an empty list when there is no file yet. A
// file that cannot be read is an error and is left as it is.
Result<QList<JournalEntry>> readJournal(const QString& path);

// Adds `entry` as the last row, atomically. A journal that cannot be read is first moved aside as
// "Yüklemeler.xlsx.<yyyyMMdd-HHmmss>" (the error's message says so) and a new one is begun.
Result<void> appendJournalEntry(const QString& path, const JournalEntry& entry);

// Writes the whole journal, atomically; refused while a spreadsheet program has it open.
Result<void> writeJournal(const QString& path, const QList<JournalEntry>& entries);

// Renames an unreadable journal to "<path>.<yyyyMMdd-HHmmss>"; the new path, or an error when it
// could not be moved (the file is then left as it is).
Result<QString> moveJournalAside(const QString& path, const QDateTime& now);

// The "hazırlandı" row whose buyer tax number, invoice date, type and Tavlix total equal the
// invoice's (the newest such row); nothing when the invoice was never issued.
std::optional<JournalEntry> findIssued(const QList<JournalEntry>& journal,
                                       const InvoiceRecord& invoice);

} // namespace tavlix::portal
