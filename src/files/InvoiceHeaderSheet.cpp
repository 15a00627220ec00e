#include "files/InvoiceHeaderSheet.h"

#include "invoice/InvoiceType.h"
#include "store/WorkbookStore.h"

#include <QList>

using namespace Qt::StringLiterals;

namespace tavlix::files {

namespace {

using Field = QString InvoiceRecord::*;

struct HeaderRow {
    const char16_t* label;
    Field field;
};

// Written in this order; read by label.
const HeaderRow kRows[] = {
    {u"Fatura Türü", &InvoiceRecord::typeText},
    {u"Alıcı", &InvoiceRecord::customerName},
    {u"Alıcı Unvanı", &InvoiceRecord::customerTitle},
    {u"Alıcı Adı", &InvoiceRecord::customerFirstName},
    {u"Alıcı Soyadı", &InvoiceRecord::customerSurname},
    {u"Vergi No", &InvoiceRecord::taxNumber},
    {u"Vergi Dairesi", &InvoiceRecord::taxOffice},
    {u"Alıcı Adresi", &InvoiceRecord::customerAddress},
    {u"Ülke", &InvoiceRecord::customerCountry},
    {u"Alıcı E-Mail", &InvoiceRecord::customerEmail},
    {u"Fatura Tarihi", &InvoiceRecord::invoiceDate},
    {u"Düzenleme Saati", &InvoiceRecord::issueTime},
    {u"İrsaliye Tarihi", &InvoiceRecord::dispatchDate},
    {u"İrsaliye No", &InvoiceRecord::dispatchSerial},
    {u"Para Birimi", &InvoiceRecord::currency},
    {u"Döviz Kuru", &InvoiceRecord::exchangeRate},
    {u"Notlar", &InvoiceRecord::notes},
};
constexpr char16_t kReturnLabel[] = u"İade Faturası";

// The store takes a leading apostrophe as its "text" marker; a value that has one keeps it.
QString stored(const QString& text) {
    return text.startsWith(u'\'') ? u'\'' + text : text;
}

} // namespace

void writeHeaderRows(store::Worksheet& sheet, const InvoiceRecord& invoice) {
    int row = 1;
    for (const HeaderRow& r : kRows) {
        sheet.writeText(row, 1, QString::fromUtf16(r.label));
        // Notes keep their line breaks as one cell's lines, "\r\n" as "\n".
        QString value = invoice.*r.field;
        value.replace(u"\r\n"_s, u"\n"_s);
        sheet.writeText(row++, 2, stored(value));
    }
    for (const QString& reference : invoice.returnReferences) {
        sheet.writeText(row, 1, QString::fromUtf16(kReturnLabel));
        sheet.writeText(row++, 2, stored(reference));
    }
}

InvoiceRecord readHeaderRows(const store::Worksheet& sheet) {
    InvoiceRecord header;
    const int last = sheet.lastRow();
    for (int row = 1; row <= last; ++row) {
        const QString label = sheet.text(row, 1).trimmed();
        const QString value = sheet.text(row, 2);
        if (label == QString::fromUtf16(kReturnLabel)) {
            if (!value.trimmed().isEmpty())
                header.returnReferences.append(value.trimmed());
            continue;
        }
        for (const HeaderRow& r : kRows)
            if (label == QString::fromUtf16(r.label)) {
                // Notes keep their blanks; other cells lose blanks a user typed around them.
                header.*r.field = r.field == &InvoiceRecord::notes ? value : value.trimmed();
                break;
            }
    }
    header.typeIndex = invoiceTypeFromText(header.typeText);
    return header;
}

Result<std::optional<InvoiceRecord>> readInvoiceHeader(const QString& path) {
    auto book = store::Workbook::open(path);
    if (!book)
        return book.error();
    const store::Worksheet* sheet = (*book)->sheet(QString::fromUtf16(kHeaderSheet));
    if (!sheet)
        return std::optional<InvoiceRecord>();
    return std::optional<InvoiceRecord>(readHeaderRows(*sheet));
}

} // namespace tavlix::files
