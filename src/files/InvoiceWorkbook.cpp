#include "files/InvoiceWorkbook.h"

#include "files/InvoiceHeaderSheet.h"
#include "platform/UserPrompt.h"
#include "store/WorkbookStore.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace tavlix::files {

namespace {

// Only the first 30 columns can carry a tax code into the name.
constexpr int kCodeColumns = 30;

QString fileNamePart(QString part) {
    for (QChar& ch : part) {
        if (ch == u'/' || ch == u'\\' || ch.category() == QChar::Other_Control)
            ch = u'-';
    }
    return part;
}

QString withFolder(const QString& folder, const QString& name) {
    return QDir(folder).filePath(name);
}

} // namespace

QString freeFileName(const QString& folder, const QString& name) {
    const QString stem = name.endsWith(u".xlsx"_s, Qt::CaseInsensitive) ? name.chopped(5) : name;
    for (int n = 2;; ++n) {
        const QString candidate = stem + u" (%1).xlsx"_s.arg(n);
        if (!QFileInfo::exists(withFolder(folder, candidate)))
            return candidate;
    }
}

QString taxColumnCodes(const QStringList& lineHeaders) {
    QString codes;
    for (int i = 0; i < lineHeaders.size() && i < kCodeColumns; ++i) {
        if (lineHeaders.at(i).startsWith(u'V'))
            codes += lineHeaders.at(i).left(5) + u'-';
    }
    return codes;
}

QString fileNameDate(const QString& invoiceDate) {
    for (const QString& pattern : {u"dd/MM/yyyy"_s, u"dd.MM.yyyy"_s}) {
        const QDate date = QDate::fromString(invoiceDate.trimmed(), pattern);
        if (date.isValid())
            return date.toString(u"dd-MM-yyyy"_s);
    }
    return invoiceDate;
}

QString invoiceFileName(const InvoiceRecord& invoice) {
    const QStringList parts = {invoice.company, fileNameDate(invoice.invoiceDate),
                               invoice.dispatchSerial, invoice.typeText,
                               taxColumnCodes(invoice.lineHeaders)};
    QStringList safe;
    for (const QString& part : parts)
        safe << fileNamePart(part);
    return safe.join(u' ') + u".xlsx"_s;
}

Result<void> writeInvoiceWorkbook(const InvoiceRecord& invoice, const QString& path) {
    auto book = store::Workbook::create();
    // The header sheet second: the new sheet goes before it and is the one a spreadsheet opens.
    store::Worksheet* headerSheet = book->activeSheet();
    headerSheet->setName(QString::fromUtf16(kHeaderSheet));
    writeHeaderRows(*headerSheet, invoice);
    store::RangeFormat labels;
    labels.bold = true;
    labels.autoFitColumns = true;
    const QString lastLabel = u"A"_s + QString::number(headerSheet->lastRow());
    if (auto formatted = headerSheet->formatRange(u"A1"_s, lastLabel, labels); !formatted)
        return formatted;

    store::Worksheet* sheet = &book->addSheet();
    sheet->setName(QString::fromUtf16(kInvoiceSheet));

    const int columns = static_cast<int>(invoice.lineHeaders.size());
    for (int c = 0; c < columns; ++c)
        sheet->writeText(1, c + 1, invoice.lineHeaders.at(c));
    for (int n = 0; n < invoice.lines.size(); ++n) {
        const QStringList& cells = invoice.lines.at(n);
        // Column A (the line number) stays empty.
        for (int k = 1; k < columns && k < cells.size(); ++k) {
            const QString& text = cells.at(k);
            // The store takes a leading apostrophe as the "text" marker; keep a typed one.
            sheet->writeText(n + 2, k + 1, text.startsWith(u'\'') ? u'\'' + text : text);
        }
    }

    store::RangeFormat header;
    header.bold = true;
    header.fontColor = store::Rgb{0, 0, 255};
    header.centerHorizontally = true;
    header.centerVertically = true;
    header.autoFitColumns = true;
    if (auto formatted = sheet->formatRange(u"A1"_s, u"Z1"_s, header); !formatted)
        return formatted;
    return book->saveAs(path);
}

SaveResult saveInvoiceWorkbook(const InvoiceRecord& invoice, const QString& folder,
                               UserPrompt& prompt) {
    const QString name = invoiceFileName(invoice);
    SaveResult result;
    result.path = withFolder(folder, name);

    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        prompt.message(UserPrompt::Icon::Warning,
                       u"Fatura kaydedilemedi: kayıt klasörü bulunamadı.\n"_s + folder);
        return result;
    }
    if (QFileInfo::exists(result.path)) {
        const QString other = freeFileName(folder, name);
        const int choice =
            prompt.choose(name + u" zaten var.\n\n\"Yeni Adla Kaydet\" faturayı \""_s + other +
                              u"\" adıyla kaydeder, \"Üzerine Yaz\" eski dosyanın yerine yazar."_s,
                          u"Tavlix"_s, {u"Üzerine Yaz"_s, u"Yeni Adla Kaydet"_s, u"İptal"_s}, 1);
        if (choice == 1) {
            result.path = withFolder(folder, other);
        } else if (choice != 0) {
            result.outcome = SaveOutcome::Kept;
            return result;
        }
    }
    if (auto written = writeInvoiceWorkbook(invoice, result.path); !written) {
        prompt.message(UserPrompt::Icon::Warning, u"Fatura kaydedilemedi: "_s +
                                                      QFileInfo(result.path).fileName() + u"\n"_s +
                                                      written.message());
        return result;
    }
    result.outcome = SaveOutcome::Saved;
    return result;
}

QStringList savedInvoiceNames(const QString& folder) {
    QStringList names;
    if (folder.isEmpty())
        return names;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
        // The month summary's export shares the company folder but is no invoice to load.
        if (name.endsWith(u" Aylık Özet.xlsx"_s))
            continue;
        // Nor is the result table of a set upload.
        if (name.startsWith(u"Toplu Yükleme "_s) && name.endsWith(u".xlsx"_s))
            continue;
        if (name.toLower().endsWith(u".xlsx"_s))
            names << name;
    }
    return names;
}

bool removeSavedInvoice(const QString& path) {
    if (path.isEmpty() || !QFileInfo::exists(path))
        return false;
    // The trash lives under the data folder; without that folder the trash cannot be set up.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    QFile file(path);
    if (file.moveToTrash()) {
        // A trash that could not be established leaves the file under a relative path (the
        // working folder): finish the deletion there rather than scatter files.
        if (QFileInfo(file.fileName()).isRelative()) {
            const QFileInfo moved(file.fileName());
            file.remove();
            QFile::remove(moved.dir().filePath(u"../info/"_s + moved.fileName() + u".trashinfo"_s));
        }
    } else {
        file.remove();
    }
    return !QFileInfo::exists(path);
}

} // namespace tavlix::files
