#include "received/ReceivedInvoices.h"

#include "store/DataWorkbook.h"
#include "store/FolderTree.h"
#include "store/WorkbookStore.h"

#include <QDir>
#include <QFileInfo>

#include <array>

using namespace Qt::StringLiterals;

namespace tavlix::received {

namespace {

const std::array<QString, 12> kMonthNames = {u"Ocak"_s,  u"Şubat"_s,   u"Mart"_s,   u"Nisan"_s,
                                             u"Mayıs"_s, u"Haziran"_s, u"Temmuz"_s, u"Ağustos"_s,
                                             u"Eylül"_s, u"Ekim"_s,    u"Kasım"_s,  u"Aralık"_s};

// An incomplete list keeps the number of invoices it lacks in M2, under its heading in M1, one
// column clear of the table so that no reader of A … K meets it.
constexpr int kMissingColumn = 13;
const QString kMissingHeading = u"Eksik Fatura Sayısı"_s;

// The download window offers the first ten company columns only.
constexpr int kLastDownloadColumn = 11;

} // namespace

QString turkishMonthName(int month) {
    return month >= 1 && month <= 12 ? kMonthNames[static_cast<std::size_t>(month - 1)] : QString();
}

QStringList downloadPeriods(const QDate& today) {
    QStringList periods;
    const QDate first(today.year(), today.month(), 1);
    for (int i = 1; i <= 25; ++i) {
        const QDate d = first.addMonths(-i);
        periods << QString::number(d.year()) + u' ' + turkishMonthName(d.month()) + u' ';
    }
    return periods;
}

QString QueryMonth::yearMonth() const {
    return u"%1-%2"_s.arg(year, 4, 10, QChar(u'0')).arg(month, 2, 10, QChar(u'0'));
}

std::optional<QueryMonth> parsePeriod(const QString& period) {
    if (period.size() < 7)
        return std::nullopt;
    bool ok = false;
    const int year = period.left(4).toInt(&ok);
    if (!ok || year < 1)
        return std::nullopt;
    const QString name = period.mid(5, period.size() - 6);
    for (std::size_t i = 0; i < kMonthNames.size(); ++i) {
        if (kMonthNames[i] == name)
            return QueryMonth{year, static_cast<int>(i) + 1};
    }
    return std::nullopt;
}

QList<DateRange> monthRanges(const QueryMonth& month) {
    const QString monthText = u"-%1-%2"_s.arg(month.month, 2, 10, QChar(u'0')).arg(month.year);
    const int lastDay = QDate(month.year, month.month, 1).daysInMonth();
    const auto day = [&](int d) { return u"%1"_s.arg(d, 2, 10, QChar(u'0')) + monthText; };
    return {{day(1), day(8)}, {day(9), day(16)}, {day(17), day(24)}, {day(25), day(lastDay)}};
}

QString bookTypeLetter(int comboIndex) {
    static const QStringList letters = {u"B"_s, u"İ"_s, u"S"_s, u"Z"_s, u"D"_s};
    return comboIndex >= 0 && comboIndex < letters.size() ? letters.at(comboIndex) : QString();
}

Result<QStringList> downloadCompanies(const QString& dataPath,
                                      const std::optional<QString>& bookType) {
    const auto opened = store::openWithSheets(dataPath, {store::DataSheet::Programs});
    if (!opened)
        return opened.error();
    const store::Worksheet& prg = (*opened)[0];
    QStringList companies;
    for (int col = store::PrgCol::FirstCompany; col <= kLastDownloadColumn; ++col) {
        const QString name = prg.text(store::PrgRow::UserName, col);
        if (name.isEmpty())
            continue;
        if (bookType && prg.text(store::PrgRow::BookType, col) != *bookType)
            continue;
        companies << name;
    }
    return companies;
}

Result<IvdCredentials> readIvdCredentials(const QString& dataPath, const QString& company,
                                          int lastCompanyColumn, store::PasswordStore* passwords) {
    const auto opened = store::openWithSheets(dataPath, {store::DataSheet::Programs});
    if (!opened)
        return opened.error();
    const store::Worksheet& prg = (*opened)[0];
    for (int col = store::PrgCol::FirstCompany; col <= lastCompanyColumn; ++col) {
        if (!company.isEmpty() && prg.text(store::PrgRow::UserName, col) == company)
            return IvdCredentials{
                prg.text(store::PrgRow::EArchiveUser, col),
                store::effectivePassword(passwords, company, store::PasswordField::EArchive,
                                         prg.text(store::PrgRow::EArchivePassword, col))};
    }
    return makeError(ErrorCode::NotFound,
                     u"Firma bilgileri DATA.xlsx içinde bulunamadı: "_s + company);
}

std::optional<QString> purchaseFolder(const QString& programDir, const QString& company) {
    const auto folder = store::safeCompanyFolder(programDir, company);
    if (!folder)
        return std::nullopt;
    return *folder + u"/Alış Faturaları"_s;
}

QStringList purchaseWorkbooks(const QString& programDir, const QString& company) {
    const auto folder = purchaseFolder(programDir, company);
    if (!folder)
        return {};
    QStringList names;
    const QDir dir(*folder);
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
        if (name.endsWith(u".xlsx"_s, Qt::CaseInsensitive))
            names << name;
    }
    return names;
}

std::optional<QString> receivedListPath(const QString& programDir, const QString& company,
                                        const QueryMonth& month) {
    const auto folder = purchaseFolder(programDir, company);
    if (!folder)
        return std::nullopt;
    return *folder + u'/' + company + u' ' + month.yearMonth() + u" eArşivFat.xlsx"_s;
}

QString incompleteListPath(const QString& listPath) {
    const QString suffix = u".xlsx"_s;
    const qsizetype stem = listPath.endsWith(suffix, Qt::CaseInsensitive)
                               ? listPath.size() - suffix.size()
                               : listPath.size();
    return listPath.left(stem) + u" (eksik)"_s + listPath.mid(stem);
}

const QStringList& receivedInvoiceHeadings() {
    static const QStringList headings = {u"Firma"_s,
                                         u"Vergi no"_s,
                                         u"Fatura No"_s,
                                         u"Düzenleme Tarihi"_s,
                                         u"Düzenleme Zamanı"_s,
                                         u"Toplam Tutar"_s,
                                         u"Ödenecek Tutar"_s,
                                         u"Vergiler Toplamı"_s,
                                         u"Para Birimi"_s,
                                         u"Tesisat Numarası"_s,
                                         u"Gönderim Şekli"_s};
    return headings;
}

Result<void> writeReceivedInvoices(const QString& path, const QList<QStringList>& rows,
                                   int missing) {
    auto book = store::Workbook::create();
    store::Worksheet* sheet = book->activeSheet();
    const QStringList& headings = receivedInvoiceHeadings();
    for (int c = 0; c < headings.size(); ++c)
        sheet->writeText(1, c + 1, headings.at(c));
    store::RangeFormat format;
    format.bold = true;
    format.fontColor = store::Rgb{0, 0, 0};
    format.fillPaletteIndex = 40;
    if (auto formatted = sheet->formatRange(u"A1"_s, u"K1"_s, format); !formatted)
        return formatted;

    const int lastTextColumn = static_cast<int>(headings.size()) - 1; // J; K keeps the plain text
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList& cells = rows.at(r);
        for (int c = 0; c < headings.size() && c < cells.size(); ++c)
            sheet->writeText(r + 2, c + 1, c < lastTextColumn ? u'\'' + cells.at(c) : cells.at(c));
    }
    if (missing > 0) {
        sheet->writeText(1, kMissingColumn, kMissingHeading);
        sheet->writeNumber(2, kMissingColumn, missing);
    }

    if (const QString folder = QFileInfo(path).absolutePath(); !QDir().mkpath(folder))
        return makeError(ErrorCode::Io, u"Klasör oluşturulamadı: "_s + folder);
    return book->saveAs(path);
}

int readMissingCount(const store::Worksheet& sheet) {
    if (sheet.text(1, kMissingColumn) != kMissingHeading)
        return -1;
    const store::CellValue count = sheet.value(2, kMissingColumn);
    return count.kind == store::CellValue::Kind::Number && count.number >= 0
               ? static_cast<int>(count.number)
               : -1;
}

} // namespace tavlix::received
