// The upload's last steps: the draft saved, confirmed by its row in the document list and
// checked against the program's own total, then its package downloaded and filed.
#include "portal/InvoiceUpload.h"

#include "platform/NumberText.h"
#include "platform/UserPrompt.h"
#include "portal/InvoicePrint.h"
#include "portal/PortalBrowser.h"
#include "portal/PortalStates.h"
#include "portal/UploadCheckReport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tavlix::portal {

namespace {

// The first span text of the last "td" whose rel is "vergilerDahilToplamTutar"; null if none.
const QString kPortalTotalScript = uR"js(
var found = null;
var cells = document.getElementsByTagName('td');
for (var i = 0; i < cells.length; ++i) {
  if (cells[i].getAttribute('rel') !== 'vergilerDahilToplamTutar') continue;
  var span = cells[i].getElementsByTagName('span')[0];
  found = span ? span.innerText.trim() : null;
}
return found;)js"_s;

// A name part taken from the portal becomes part of a file name: path separators and control
// characters would lead elsewhere.
QString safeNamePart(QString part) {
    for (QChar& ch : part)
        if (ch == u'/' || ch == u'\\' || ch.category() == QChar::Other_Control)
            ch = u'-';
    return part;
}

QStringList zipFiles(const QString& folder) {
    return QDir(folder).entryList({u"*.zip"_s, u"*.ZIP"_s}, QDir::Files, QDir::Name);
}

} // namespace

bool InvoiceUpload::saveDraft() {
    checkpoint(u"Notlar yazılıyor, fatura kaydediliyor"_s);
    m_saveTried = true;
    typeInto(u"gen__1105"_s, m_invoice.notes);
    check(m_driver.SendKeysToPage(keys::Enter), u"gen__1105"_s);
    // An alert the save raised would stop every other look at the page.
    if (const auto message = readPageMessage(m_driver))
        m_pageMessage = *message;

    m_portalTotal = 0;
    const auto total = m_driver.RunScript(kPortalTotalScript);
    const QString text = total.ok() ? total->toString() : QString();
    const auto number = readRegionalNumber(text);
    m_portalTotalRead = total.ok() && !total->isNull() && number;
    if (m_portalTotalRead)
        m_portalTotal = money::kurus(*number);
    else
        m_skipped.append(u"vergilerDahilToplamTutar"_s);

    awaitListedRow();
    if (m_match.kind == InvoiceRowMatch::Kind::Found) {
        m_lastNumber = m_match.row.number();
        m_lastDate = m_match.row.date();
        if (const QString listed = m_match.row.ettn(); !listed.isEmpty())
            m_ettn = listed;
        else if (!m_ettnAfterSave.isEmpty())
            m_ettn = m_ettnAfterSave;
    }
    if (m_match.kind != InvoiceRowMatch::Kind::None)
        return true;
    showReport(false);
    m_prompt.message(UserPrompt::Icon::Warning,
                     u"Fatura portalda kaydedilmedi: %1. Portaldaki taslağı kontrol ediniz."_s.arg(
                         m_pageMessage.isEmpty() ? u"portal kaydı belge listesinde göstermedi"_s
                                                 : m_pageMessage));
    return false;
}

bool InvoiceUpload::foundIn(const QList<ListRow>& rows, bool ofInvoiceDate) {
    InvoiceRowQuery query;
    query.ettns = QStringList{m_ettnAfterSave, m_ettn};
    query.before = m_listedBefore;
    query.taxNumber = m_invoice.taxNumber;
    if (m_portalTotalRead)
        query.portalTotal = m_portalTotal;
    query.invoiceDate = QDate::fromString(m_invoice.invoiceDate, u"dd/MM/yyyy"_s);
    m_match = findInvoiceRow(rows, query);
    // The rows known before stay: a list may show fewer than the query before the save did.
    if (m_match.kind == InvoiceRowMatch::Kind::Found && ofInvoiceDate && m_listedBefore) {
        m_listedNow = m_listedBefore;
        for (const ListRow& row : rows)
            m_listedNow->insert(row.key());
    }
    return m_match.kind != InvoiceRowMatch::Kind::None;
}

// Saved means listed: the list on the page the save left is watched first (an invoice of
// another day only briefly, as that page lists today's), then the invoice date is queried.
// Whatever the page says meanwhile is kept for the message should no row appear.
void InvoiceUpload::awaitListedRow() {
    const bool today = m_options.today.toString(u"dd/MM/yyyy"_s) == m_invoice.invoiceDate;
    const int onPage =
        today ? m_options.listOnPageLimitMs : std::min(1000, m_options.listOnPageLimitMs);
    QElapsedTimer clock;
    clock.start();
    while (true) {
        checkpoint(u"Kaydedilen fatura belge listesinde aranıyor"_s);
        if (const auto message = readPageMessage(m_driver))
            m_pageMessage = *message;
        if (const auto ettn = m_driver.FindById(u"gen__1024"_s)) {
            const auto text = m_driver.ReadText(*ettn);
            if (text && !text->trimmed().isEmpty())
                m_ettnAfterSave = text->trimmed();
        }
        const auto rows = readDocumentList(m_driver);
        if (rows && foundIn(*rows, today))
            return;
        // A list without this invoice, or a message, leaves the answer to the query.
        if (rows || !m_pageMessage.isEmpty() || clock.elapsed() >= onPage)
            break;
        m_driver.Wait(200);
    }
    const int queries = std::max(1, m_options.listQueries);
    for (int i = 0; i < queries; ++i) {
        checkpoint(u"Belge listesi sorgulanıyor (%1/%2)"_s.arg(i + 1).arg(queries));
        queryDocumentList();
        if (const auto rows = awaitDocumentList(m_options.listQueryLimitMs / queries);
            rows && foundIn(*rows))
            return;
    }
}

// The rows once the page shows this invoice's row or the time is up; nothing when no list shows.
std::optional<QList<ListRow>> InvoiceUpload::awaitDocumentList(int limitMs) {
    QElapsedTimer clock;
    clock.start();
    while (true) {
        const auto rows = readDocumentList(m_driver);
        if ((rows && foundIn(*rows)) || clock.elapsed() >= limitMs)
            return rows;
        checkpoint(u"Belge listesi bekleniyor"_s);
        m_driver.Wait(250);
    }
}

void InvoiceUpload::readListBeforeSave(bool formShown) {
    checkpoint(u"Düzenlenen belgeler okunuyor"_s);
    if (m_listedBefore) {
        // A fresh form, by way of the list page, whose query is not needed.
        if (!formShown && followMenuLink(kMenuIssuedDocuments))
            openForm();
        return;
    }
    // The form builds itself in parts; its menu link is there once its notes field is.
    if (formShown)
        m_driver.IsPresent(u"gen__1105"_s, 5000);
    bool opened = false;
    const bool queried = queryDocumentList(&opened, m_options.watchSession);
    if (!queried) {
        m_skipped.append(u"gen__1178-b (kayıt öncesi)"_s);
    } else {
        // Before the save no row can be this invoice's: the first list shown is the one.
        QElapsedTimer clock;
        clock.start();
        std::optional<QList<ListRow>> rows;
        while (!(rows = readDocumentList(m_driver)) &&
               clock.elapsed() < std::min(2000, m_options.listQueryLimitMs)) {
            checkpoint(u"Düzenlenen belgeler okunuyor"_s);
            m_driver.Wait(100);
        }
        QSet<QString> keys;
        for (const ListRow& row : rows.value_or(QList<ListRow>()))
            keys.insert(row.key());
        m_listedBefore = keys;
    }
    if (opened)
        openForm();
}

void InvoiceUpload::openForm() {
    followMenuLink(kMenuCreateInvoice);
    wait(25);
}

bool InvoiceUpload::followMenuLink(const QString& text) {
    const auto link = m_driver.FindByLinkText(text);
    const bool followed = check(link, text) && check(m_driver.Click(*link), text);
    if (m_options.watchSession && onLoginPage(m_driver))
        throw SessionEnded{};
    return followed;
}

void InvoiceUpload::showReport(bool saveConfirmed) {
    // The user reads the steps in words; the portal's ids go to the log.
    QStringList named;
    for (const QString& step : std::as_const(m_skipped)) {
        named.append(skippedStepName(step, m_lineFields));
        qInfo("Atlanan adım: %s (%s)", qUtf8Printable(step), qUtf8Printable(named.last()));
    }
    m_prompt.message(
        UserPrompt::Icon::Information,
        uploadCheckReport(m_invoice.checkTotal, m_portalTotal, named, saveConfirmed, buyerLines()),
        uploadCheckReportTitle());
}

bool InvoiceUpload::clickInputWithValue(const QString& value) {
    const auto input = m_driver.FindByXPath(u"//input[@value='"_s + value + u"']"_s);
    return check(input, value) && check(m_driver.Click(*input), value);
}

// Step 7 on the row identified: the first input of its first cell.
bool InvoiceUpload::tickInvoiceRow() {
    const auto tables = m_driver.FindAllById(u"gen__1178-b"_s);
    if (!check(tables, u"gen__1178-b"_s))
        return false;
    int counter = 0;
    for (const Element& table : *tables) {
        const auto rows = m_driver.FindAllByTag(table, u"tr"_s);
        for (const Element& row : rows.ok() ? *rows : ElementList()) {
            if (counter++ != m_match.row.index)
                continue;
            const auto cell = m_driver.FindFirstByTagIn(row, u"td"_s);
            const auto box = cell.ok() ? m_driver.FindFirstByTagIn(*cell, u"input"_s)
                                       : Result<Element>(cell.error());
            return check(box, u"gen__1178-b seçim"_s) &&
                   check(m_driver.Click(*box), u"gen__1178-b seçim"_s);
        }
    }
    m_skipped.append(u"gen__1178-b seçim"_s);
    return false;
}

QString InvoiceUpload::waitForPackage(const QStringList& before) {
    const auto temp = uploadTempFolder(m_options.programDir, m_invoice.company);
    if (!temp)
        return QString();
    QElapsedTimer clock;
    clock.start();
    QString candidate;
    qint64 lastSize = -1;
    while (clock.elapsed() < m_options.downloadLimitMs) {
        checkpoint(u"Fatura paketi indiriliyor…"_s);
        const QDir dir(*temp);
        const bool inProgress =
            !dir.entryList({u"*.crdownload"_s, u"*.tmp"_s}, QDir::Files).isEmpty();
        QString fresh;
        for (const QString& name : zipFiles(*temp))
            if (!before.contains(name))
                fresh = name;
        if (!fresh.isEmpty() && !inProgress) {
            const qint64 size = QFileInfo(dir.filePath(fresh)).size();
            // Complete once it has a size that no longer changes between two looks.
            if (fresh == candidate && size == lastSize && size > 0)
                return fresh;
            candidate = fresh;
            lastSize = size;
        }
        m_driver.Wait(50);
    }
    return QString();
}

// Step 4's query of the invoice date; true when "Sorgula" was pressed. `opened`: the list's
// link was followed.
bool InvoiceUpload::queryDocumentList(bool* opened, bool watchSession) {
    // An ended session shows the login page at the first link followed.
    const ListQueryResult query =
        queryDocumentListOf(m_driver, m_invoice.invoiceDate, [this, watchSession] {
            if (watchSession && onLoginPage(m_driver))
                throw SessionEnded{};
        });
    if (opened)
        *opened = query.linkFollowed;
    m_skipped.append(query.skipped);
    m_waitedMs += query.waitedMs;
    return query.queried;
}

void InvoiceUpload::downloadAndFile(
    const std::function<Result<QString>(const UnzipInput&)>& fileDownload) {
    checkpoint(u"Fatura paketi indiriliyor…"_s);
    if (m_match.kind == InvoiceRowMatch::Kind::Ambiguous) {
        showReport(true);
        m_prompt.message(UserPrompt::Icon::Warning,
                         u"Portalda bu faturaya uyan birden çok taslak var (%1); fatura paketi "
                         u"indirilmedi. Düzenlenen Belgeler'i kontrol ediniz."_s.arg(
                             m_match.numbers.join(u", "_s)));
        return;
    }
    if (m_match.kind != InvoiceRowMatch::Kind::Found)
        return;
    const bool ticked = tickInvoiceRow();
    showReport(true);

    const auto temp = uploadTempFolder(m_options.programDir, m_invoice.company);
    const QStringList before = temp ? zipFiles(*temp) : QStringList();
    // Without this row ticked "İndir" would send another document, or none.
    const QString package =
        ticked && clickInputWithValue(u"İndir"_s) ? waitForPackage(before) : QString();

    m_prompt.message(UserPrompt::Icon::Information,
                     u"ETTN "_s + m_ettn + u" numaralı fatura hazırlandı"_s);
    if (m_options.closeAfterDownload) {
        click(u"gen__1008"_s);
        check(m_driver.CloseWindow(), u"pencere"_s);
    }

    if (package.isEmpty()) {
        m_prompt.message(UserPrompt::Icon::Warning,
                         u"Fatura paketi portaldan indirilemedi; Html, Xml ve Zip klasörlerine "
                         u"bir şey kopyalanmadı. Faturayı portalın Düzenlenen Belgeler sayfasından "
                         u"indirebilirsiniz."_s);
        return;
    }
    if (!before.isEmpty())
        m_prompt.message(UserPrompt::Icon::Information,
                         u"Satış Faturaları/Temp klasöründe önceki yüklemelerden kalan paketler "
                         u"var (%1); onlara dokunulmadı."_s.arg(before.join(u", "_s)));
    const UnzipInput input{m_options.programDir,     m_invoice.company, safeNamePart(m_lastNumber),
                           safeNamePart(m_lastDate), package,           m_ettn};
    const Result<QString> filed =
        fileDownload ? fileDownload(input) : Result<QString>(makeError(ErrorCode::Unsupported, {}));
    if (!filed)
        m_prompt.message(UserPrompt::Icon::Warning,
                         (u"Fatura paketi Temp klasörüne indi ama Html, Xml ve Zip klasörlerine "
                          u"açılamadı. "_s +
                          filed.message())
                             .trimmed());
    else
        m_filedHtml = filedHtmlPath(input, *filed);
}

} // namespace tavlix::portal
