// "Toplu e-Arşiv": a set of saved invoices uploaded in one portal session. Every workbook is
// loaded and checked before anything is sent; the invoices then go out one after another as the
// single upload sends them, with one driver check, one browser and one login, and what each
// came to lands in its row of the result table instead of a message box.
#pragma once

#include "invoice/InvoiceRecord.h"
#include "invoice/Money.h"
#include "platform/Result.h"
#include "portal/InvoiceUpload.h"
#include "portal/UploadJournal.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace tavlix::portal {

struct SetRow {
    enum class State {
        Waiting,    // loaded and checked, not sent yet
        Skipped,    // not sent: no header sheet, a failed check, issued already
        Filed,      // saved, listed, package filed
        Prepared,   // saved and listed, but the package was not filed
        NotSaved,   // the portal did not list it (its words in the outcome)
        Several,    // several drafts fit it: nothing ticked or filed
        Difference, // filed with a difference, and the set stopped after it
        Unsent,     // the set ended before it
    };

    QString workbook; // the file name
    QString buyer;
    std::optional<money::Kurus> tavlixTotal;
    std::optional<money::Kurus> portalTotal;
    QString number;
    QString ettn;
    State state = State::Waiting;
    QString outcome;   // as the table shows it
    QStringList notes; // what else was said of this invoice (a Temp leftover, a print failure)

    // Portal total − Tavlix total, once both are known.
    std::optional<money::Kurus> difference() const;
};

struct SetOptions {
    UploadOptions upload;
    bool stopOnDifference = true; // "Fark çıkarsa dur"
    bool includeIssued = false;   // "Yüklenmiş olanları da yükle"
};

struct SetServices {
    UploadServices upload;
    // A saved workbook as the invoice record the single upload would send; its error names why
    // it cannot be (no header sheet, an import refused).
    std::function<Result<InvoiceRecord>(const QString& path)> load;
    // Prints a filed invoice's PDF; nothing: one print session of the set's own for all its
    // invoices (the upload services' printPdf is not used).
    std::function<Result<void>(const QString& htmlPath, const QString& pdfPath)> printPdf;
    // The company's upload journal; nothing when it is not kept (a test).
    std::function<Result<QList<JournalEntry>>()> readJournal;
    std::function<Result<void>(const JournalEntry&)> appendJournal;
    // A row changed; `done` of `total` invoices to send are through, `msLeft` estimated from
    // them (-1 before the first).
    std::function<void(int row, const SetRow&)> rowChanged;
    std::function<void(int done, int total, qint64 msLeft)> progress;
};

struct SetResult {
    QList<SetRow> rows;
    QString summary; // the one line shown at the end
};

// Loads and checks every workbook, then uploads those that passed. `prompt` shows the progress
// and takes "İptal", which stops between invoices only; the few messages that end the set
// (offline, a login that fails, the session ended a second time) go through it too. Every
// browser process ends with it.
SetResult runInvoiceSet(const QStringList& workbookPaths, UserPrompt& prompt,
                        const SetOptions& options, const SetServices& services);

// "Toplu Yükleme <yyyy-MM-dd HH.mm>.xlsx"
QString setTableFileName(const QDateTime& at);
// The table as a workbook at `path` (atomically): a header row, then one row per invoice.
Result<void> writeSetTable(const QList<SetRow>& rows, const QString& summary, const QString& path);
// The table's column headers.
QStringList setTableHeaders();

} // namespace tavlix::portal
