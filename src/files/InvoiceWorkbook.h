// Saved invoice workbooks in a company folder: the file name, the save of the invoice lines
// (sheet "Sayfa1": the line-list headers in row 1, the lines from row 2 with column A empty),
// the folder listing, and removing a saved file.
#pragma once

#include "invoice/InvoiceRecord.h"
#include "platform/Result.h"

#include <QString>
#include <QStringList>

namespace tavlix {
class UserPrompt;
}

namespace tavlix::files {

// The sheet a saved invoice is written to and an import reads.
inline constexpr char16_t kInvoiceSheet[] = u"Sayfa1";

// The first five characters of every header among the first 30 columns that begins with "V"
// (an extra tax's rate column, headed by its code), each followed by "-": "V0059-V0021-".
QString taxColumnCodes(const QStringList& lineHeaders);

// "dd/MM/yyyy" (or "dd.MM.yyyy") as "dd-MM-yyyy"; any other text as it stands.
QString fileNameDate(const QString& invoiceDate);

// company + " " + date + " " + dispatch serial + " " + type + " " + tax codes + ".xlsx". A part
// holding a character no file name may hold ("/", "\", a control character) has it replaced by
// "-", so the name stays one file in the folder.
QString invoiceFileName(const InvoiceRecord& invoice);

// Writes the lines of `invoice` as a new workbook at `path` (atomically: an old file there stays
// as it was when the write fails).
Result<void> writeInvoiceWorkbook(const InvoiceRecord& invoice, const QString& path);

enum class SaveOutcome { Saved, Kept, Failed };

struct SaveResult {
    SaveOutcome outcome = SaveOutcome::Failed;
    QString path; // the file written (or kept)
};

// `name` with " (2)", " (3)" … before ".xlsx": the first that no file in `folder` has.
QString freeFileName(const QString& folder, const QString& name);

// "Excel Kaydet": saves into `folder` under invoiceFileName. When a file of that name exists the
// user chooses "Üzerine Yaz" (it is replaced), "Yeni Adla Kaydet" (the default: saved under
// freeFileName, both kept) or "İptal" (nothing written, Kept); a failure (folder gone, a name the
// file system refuses, a full disk) is told through `prompt`.
SaveResult saveInvoiceWorkbook(const InvoiceRecord& invoice, const QString& folder,
                               UserPrompt& prompt);

// The names of the folder's files whose name in lower case ends with ".xlsx", in name order,
// but for the month summary's export and a set upload's result table ("Toplu Yükleme …").
QStringList savedInvoiceNames(const QString& folder);

// "Excel SiL": moves the file to the desktop's trash where there is one, else deletes it; false
// when the file is still there afterwards (the caller goes on as if it were gone).
bool removeSavedInvoice(const QString& path);

} // namespace tavlix::files
