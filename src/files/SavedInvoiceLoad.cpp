#include "files/SavedInvoiceLoad.h"

#include "files/InvoiceHeaderSheet.h"
#include "files/InvoiceImport.h"
#include "invoice/InvoiceType.h"
#include "invoice/TaxColumns.h"
#include "invoice/Totals.h"
#include "platform/UserPrompt.h"
#include "widgets/ReportModel.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace tavlix::files {

namespace {

// The import's words kept for the reason, not shown.
class KeptWords : public UserPrompt {
public:
    using UserPrompt::message;
    void message(Icon, const QString& text, const QString&) override { said.append(text); }
    bool ask(const QString&, const QString&) override { return false; }
    void progress(const QString&) override {}
    bool cancelled() const override { return false; }
    void keepAlive() override {}
    QStringList said;
};

} // namespace

Result<InvoiceRecord> loadSavedInvoice(const QString& path, const QString& company,
                                       const CompanySettings& settings) {
    const auto header = readInvoiceHeader(path);
    if (!header)
        return header.error();
    if (!header.value())
        return makeError(ErrorCode::NotFound,
                         u"\"%1\" sayfası yok"_s.arg(QString::fromUtf16(kHeaderSheet)));
    InvoiceRecord invoice = *header.value();
    const int type = invoiceTypeFromText(invoice.typeText);
    if (!isKnownInvoiceType(type))
        return makeError(ErrorCode::InvalidInput,
                         u"fatura türü bilinmiyor: \"%1\""_s.arg(invoice.typeText));
    invoice.typeIndex = type;
    invoice.company = company;
    invoice.settings = settings;

    // A fresh invoice of the type, which takes the workbook's extra taxes with its lines.
    ReportModel lines;
    applyInvoiceType(lines, type);
    KeptWords words;
    const auto imported = importInvoiceWorkbook(
        path, ImportTarget{lines.headers(), invoice.typeText, firstExtraTaxColumn(type)}, words);
    if (!imported)
        return makeError(imported.error().code, words.said.value(0, imported.message()));
    // The line warnings leave a line the user would have looked at before sending it.
    if (!words.said.isEmpty())
        return makeError(ErrorCode::InvalidInput, words.said.join(u" "_s));
    if (imported->headers != lines.headers())
        taxes::arrangeColumns(lines, imported->headers);
    lines.setRows(imported->rows);

    const TotalsResult totals =
        yekunal(lines, TotalsInput{type, invoice.typeText, settings.userNot1, settings.userNot2,
                                   settings.userNot3});
    invoice.lineHeaders = lines.headers();
    invoice.lines.clear();
    for (int row = 0; row < lines.rowTotal(); ++row)
        invoice.lines.append(lines.rowCells(row));
    invoice.totals = totals.totalsRows;
    invoice.kdvMatStr = totals.kdvMatStr;
    invoice.yazTopStr = totals.yazTopStr;
    invoice.checkTotal = totals.checkTotal;
    invoice.notes = totals.notes;
    invoice.sourceWorkbook = QFileInfo(path).fileName();
    return invoice;
}

} // namespace tavlix::files
