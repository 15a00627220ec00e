#include "portal/UploadJournal.h"

#include "store/FolderTree.h"
#include "store/WorkbookStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace tavlix::portal {

namespace {

const QString kSheet = u"Yüklemeler"_s;
const QString kTimeFormat = u"yyyy-MM-dd HH:mm:ss"_s;

enum Column {
    UploadedAt = 1,
    InvoiceDate,
    Type,
    BuyerTaxNumber,
    BuyerName,
    TavlixTotal,
    PortalTotal,
    PortalNumber,
    Ettn,
    Outcome,
    SourceWorkbook,
    ApprovalState,
    StateReadAt,
    ColumnCount = StateReadAt
};

const QStringList& headers() {
    static const QStringList h{u"Yükleme Zamanı"_s,
                               u"Fatura Tarihi"_s,
                               u"Fatura Türü"_s,
                               u"Alıcı VKN/TCKN"_s,
                               u"Alıcı Adı"_s,
                               u"Tavlix Toplamı"_s,
                               u"Portal Toplamı"_s,
                               u"Portal Numarası"_s,
                               u"ETTN"_s,
                               u"Sonuç"_s,
                               u"Kaynak Dosya"_s,
                               u"Onay Durumu"_s,
                               u"Durum Okunma Zamanı"_s};
    return h;
}

// A money cell as a number, or as a text a spreadsheet user typed ("1.234,50"); nothing when
// the cell holds neither.
std::optional<money::Kurus> amount(const store::CellValue& cell) {
    if (cell.kind == store::CellValue::Kind::Number)
        return money::kurus(cell.number);
    if (cell.kind == store::CellValue::Kind::Text)
        if (const auto value = money::read(cell.text))
            return money::kurus(*value);
    return std::nullopt;
}

QDateTime timeOf(const QString& text) {
    return QDateTime::fromString(text.trimmed(), kTimeFormat);
}

Error unreadable(const QString& path, const QString& why) {
    return Error{ErrorCode::BadFormat,
                 u"Yükleme kaydı okunamadı (%1): %2"_s.arg(QFileInfo(path).fileName(), why)};
}

} // namespace

std::optional<QString> journalPath(const QString& programDir, const QString& company) {
    const auto folder = store::safeCompanyFolder(programDir, company);
    if (!folder)
        return std::nullopt;
    return journalPathIn(*folder);
}

QString journalPathIn(const QString& companyFolder) {
    return companyFolder + u"/Satış Faturaları/Yüklemeler.xlsx"_s;
}

Result<QList<JournalEntry>> readJournal(const QString& path) {
    QList<JournalEntry> entries;
    if (!QFileInfo::exists(path))
        return entries;
    auto book = store::Workbook::open(path);
    if (!book)
        return unreadable(path, book.message());
    store::Worksheet* sheet = (*book)->sheet(kSheet);
    if (!sheet)
        return unreadable(path, u"\"%1\" sayfası yok"_s.arg(kSheet));
    for (int c = 1; c <= ColumnCount; ++c)
        if (sheet->text(1, c).trimmed() != headers().at(c - 1))
            return unreadable(path, u"başlık satırı değişmiş"_s);
    const int last = sheet->lastRow();
    for (int r = 2; r <= last; ++r) {
        bool empty = true;
        for (int c = 1; c <= ColumnCount && empty; ++c)
            empty = sheet->value(r, c).isEmpty();
        if (empty)
            continue;
        JournalEntry e;
        const auto text = [&](int c) { return sheet->text(r, c).trimmed(); };
        e.uploadedAt = timeOf(text(UploadedAt));
        e.invoiceDate = text(InvoiceDate);
        e.typeText = text(Type);
        e.buyerTaxNumber = text(BuyerTaxNumber);
        e.buyerName = text(BuyerName);
        const auto total = amount(sheet->value(r, TavlixTotal));
        // A row rewritten without its total would lose what the user wrote there.
        if (!total)
            return unreadable(path, u"%1. satırın Tavlix toplamı sayı değil"_s.arg(r));
        e.tavlixTotal = *total;
        if (!sheet->value(r, PortalTotal).isEmpty()) {
            e.portalTotal = amount(sheet->value(r, PortalTotal));
            if (!e.portalTotal)
                return unreadable(path, u"%1. satırın portal toplamı sayı değil"_s.arg(r));
        }
        e.portalNumber = text(PortalNumber);
        e.ettn = text(Ettn).toUpper();
        e.outcome = text(Outcome);
        e.sourceWorkbook = text(SourceWorkbook);
        e.approvalState = text(ApprovalState);
        e.stateReadAt = timeOf(text(StateReadAt));
        entries.append(e);
    }
    return entries;
}

Result<void> writeJournal(const QString& path, const QList<JournalEntry>& entries) {
    if (auto free = store::checkNotOpenElsewhere(path); !free)
        return free;
    auto book = store::Workbook::create();
    store::Worksheet& sheet = *book->activeSheet();
    sheet.setName(kSheet);
    for (int c = 1; c <= ColumnCount; ++c)
        sheet.writeText(1, c, headers().at(c - 1));
    int r = 2;
    // Every text from outside goes in with a leading apostrophe dropped on writing: a buyer
    // named "=…" stays a text.
    const auto put = [&](int c, const QString& text) {
        if (!text.isEmpty())
            sheet.writeText(r, c, u"'"_s + text);
    };
    const auto time = [](const QDateTime& t) {
        return t.isValid() ? t.toString(kTimeFormat) : QString();
    };
    for (const JournalEntry& e : entries) {
        put(UploadedAt, time(e.uploadedAt));
        put(InvoiceDate, e.invoiceDate);
        put(Type, e.typeText);
        put(BuyerTaxNumber, e.buyerTaxNumber);
        put(BuyerName, e.buyerName);
        sheet.writeNumber(r, TavlixTotal, double(e.tavlixTotal) / 100.0);
        if (e.portalTotal)
            sheet.writeNumber(r, PortalTotal, double(*e.portalTotal) / 100.0);
        put(PortalNumber, e.portalNumber);
        put(Ettn, e.ettn);
        put(Outcome, e.outcome);
        put(SourceWorkbook, e.sourceWorkbook);
        put(ApprovalState, e.approvalState);
        put(StateReadAt, time(e.stateReadAt));
        ++r;
    }
    store::RangeFormat head;
    head.bold = true;
    head.autoFitColumns = true;
    const QString lastColumn = store::columnName(ColumnCount);
    if (auto done = sheet.formatRange(u"A1"_s, lastColumn + u'1', head); !done)
        return done;
    if (r > 2) {
        store::RangeFormat money;
        money.moneyFormat = true;
        if (auto done = sheet.formatRange(u"F2"_s, u"G%1"_s.arg(r - 1), money); !done)
            return done;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    return book->saveAs(path);
}

Result<QString> moveJournalAside(const QString& path, const QDateTime& now) {
    const QString aside = path + u'.' + now.toString(u"yyyyMMdd-HHmmss"_s);
    if (QFileInfo::exists(aside) || !QFile::rename(path, aside))
        return Error{ErrorCode::Io, u"Yükleme kaydı okunamadı ve kenara alınamadı: %1. Dosyaya "
                                    u"dokunulmadı."_s.arg(QFileInfo(path).fileName())};
    return aside;
}

Result<void> appendJournalEntry(const QString& path, const JournalEntry& entry) {
    auto journal = readJournal(path);
    QString reason, aside;
    if (!journal) {
        // Never written over: kept under a time stamp for the user, and a new journal begun.
        reason = journal.message();
        const auto moved = moveJournalAside(path, QDateTime::currentDateTime());
        if (!moved)
            return Error{moved.error().code, reason + u'\n' + moved.message()};
        aside = QFileInfo(*moved).fileName();
        journal = QList<JournalEntry>();
    }
    journal->append(entry);
    if (auto written = writeJournal(path, *journal); !written)
        return Error{written.error().code,
                     u"Yükleme kaydı yazılamadı: "_s + written.message() +
                         (aside.isEmpty() ? QString()
                                          : u"\nEski kayıt \"%1\" olarak saklandı."_s.arg(aside))};
    if (!aside.isEmpty())
        return Error{ErrorCode::BadFormat,
                     reason + u"\nEski kayıt \"%1\" olarak saklandı; bu yükleme yeni bir kayda "
                              u"yazıldı."_s.arg(aside)};
    return {};
}

std::optional<JournalEntry> findIssued(const QList<JournalEntry>& journal,
                                       const InvoiceRecord& invoice) {
    const QString taxNumber = invoice.taxNumber.trimmed();
    for (auto it = journal.crbegin(); it != journal.crend(); ++it)
        if (it->outcome == QStringView(kJournalPrepared) && it->buyerTaxNumber == taxNumber &&
            it->invoiceDate == invoice.invoiceDate.trimmed() && it->typeText == invoice.typeText &&
            it->tavlixTotal == invoice.checkTotal)
            return *it;
    return std::nullopt;
}

} // namespace tavlix::portal
