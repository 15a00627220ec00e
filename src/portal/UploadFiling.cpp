// The upload's last steps: the draft saved and checked against the program's own total, then
// its package downloaded from the document list and filed.
#include "portal/InvoiceUpload.h"

#include "browser/BrowserDriver.h"
#include "platform/NumberText.h"
#include "platform/UserPrompt.h"
#include "portal/InvoicePrint.h"
#include "portal/UploadCheckReport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

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

// The digits of the fourth input whose id begins with "date-gen__"; null if there are fewer.
const QString kFourthDateFieldScript = uR"js(
var n = 0;
var inputs = document.getElementsByTagName('input');
for (var i = 0; i < inputs.length; ++i) {
  var id = inputs[i].id || '';
  if (id.indexOf('date-gen__') === 0 && ++n === 4) return id.substring(10);
}
return null;)js"_s;

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

void InvoiceUpload::saveAndReport() {
    checkpoint(u"Notlar yazılıyor, fatura kaydediliyor"_s);
    typeInto(u"gen__1105"_s, m_invoice.notes);
    check(m_driver.SendKeysToPage(keys::Enter), u"gen__1105"_s);

    m_portalTotal = 0;
    const auto total = m_driver.RunScript(kPortalTotalScript);
    const QString text = total.ok() ? total->toString() : QString();
    const auto number = readRegionalNumber(text);
    if (total.ok() && !total->isNull() && number)
        m_portalTotal = money::kurus(*number);
    else
        m_skipped.append(u"vergilerDahilToplamTutar"_s);

    m_prompt.message(UserPrompt::Icon::Information,
                     uploadCheckReport(m_invoice.checkTotal, m_portalTotal, m_skipped),
                     uploadCheckReportTitle());
}

void InvoiceUpload::clickInputWithValue(const QString& value) {
    const auto input = m_driver.FindByXPath(u"//input[@value='"_s + value + u"']"_s);
    if (check(input, value))
        check(m_driver.Click(*input), value);
}

void InvoiceUpload::readNewestDocument() {
    const auto tables = m_driver.FindAllById(u"gen__1178-b"_s);
    if (!check(tables, u"gen__1178-b"_s))
        return;
    QList<ElementList> rowsOfTables;
    for (const Element& table : *tables) {
        const auto rows = m_driver.FindAllByTag(table, u"tr"_s);
        rowsOfTables.append(rows.ok() ? *rows : ElementList());
    }
    auto spanText = [&](const ElementList& cells, int cell) {
        QString text;
        if (cell > cells.size())
            return text;
        const auto spans = m_driver.FindAllByTag(cells[cell - 1], u"span"_s);
        if (spans.ok())
            for (const Element& span : *spans)
                if (const auto t = m_driver.ReadText(span); t.ok())
                    text = *t;
        return text;
    };
    int counter = 0;
    for (const ElementList& rows : std::as_const(rowsOfTables)) {
        const int t = int(rows.size());
        for (const Element& row : rows) {
            if (counter == t - 2) {
                const auto cells = m_driver.FindAllByTag(row, u"td"_s);
                if (check(cells, u"gen__1178-b td"_s)) {
                    m_lastNumber = spanText(*cells, 2);
                    m_lastDate = spanText(*cells, 5);
                }
            }
            ++counter;
        }
    }
    counter = 0;
    for (const ElementList& rows : std::as_const(rowsOfTables)) {
        const int t = int(rows.size());
        for (const Element& row : rows) {
            if (counter == t - 2) {
                const auto cell = m_driver.FindFirstByTagIn(row, u"td"_s);
                const auto box = cell.ok() ? m_driver.FindFirstByTagIn(*cell, u"input"_s)
                                           : Result<Element>(cell.error());
                if (check(box, u"gen__1178-b seçim"_s))
                    check(m_driver.Click(*box), u"gen__1178-b seçim"_s);
            }
            ++counter;
        }
    }
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
        m_driver.Wait(100);
    }
    return QString();
}

void InvoiceUpload::downloadAndFile(
    const std::function<Result<QString>(const UnzipInput&)>& fileDownload) {
    checkpoint(u"Belge listesi açılıyor"_s);
    if (m_options.today.toString(u"dd/MM/yyyy"_s) != m_invoice.invoiceDate) {
        const auto link = m_driver.FindByLinkText(u"Düzenlenen Belgeler (5.000/30.000 TL)"_s);
        if (check(link, u"Düzenlenen Belgeler"_s))
            check(m_driver.Click(*link), u"Düzenlenen Belgeler"_s);
        wait(100);
        const auto digits = m_driver.RunScript(kFourthDateFieldScript);
        if (check(digits, u"date-gen__"_s) && !digits->isNull()) {
            const QString xpath = u"//*[@id='date-gen__"_s + digits->toString() + u"']"_s;
            const auto field = m_driver.FindByXPath(xpath);
            if (check(field, u"date-gen__"_s + digits->toString()) &&
                check(m_driver.Click(*field), u"date-gen__"_s + digits->toString())) {
                check(m_driver.ClipboardPaste(m_invoice.invoiceDate), u"sorgu tarihi"_s);
                wait(1);
                check(m_driver.SendKeysToPage(keys::Tab), u"sorgu tarihi"_s);
            }
        } else if (digits.ok()) {
            m_skipped.append(u"date-gen__ (4.)"_s);
        }
        clickInputWithValue(u"Sorgula"_s);
    }
    wait(40);
    readNewestDocument();

    const auto temp = uploadTempFolder(m_options.programDir, m_invoice.company);
    const QStringList before = temp ? zipFiles(*temp) : QStringList();
    const int skippedBefore = int(m_skipped.size());
    clickInputWithValue(u"İndir"_s);
    const QString package = m_skipped.size() == skippedBefore ? waitForPackage(before) : QString();

    m_prompt.message(UserPrompt::Icon::Information,
                     u"ETTN "_s + m_ettn + u" numaralı fatura hazırlandı"_s);
    click(u"gen__1008"_s);
    check(m_driver.CloseWindow(), u"pencere"_s);

    if (package.isEmpty()) {
        m_prompt.message(UserPrompt::Icon::Warning,
                         u"Fatura paketi portaldan indirilemedi; Html, Xml ve Zip klasörlerine "
                         u"bir şey kopyalanmadı. Faturayı portalın Düzenlenen Belgeler sayfasından "
                         u"indirebilirsiniz."_s);
        return;
    }
    // unzip takes the last package listed: with an older one beside it, this invoice's number
    // could end up on another invoice's files.
    if (!before.isEmpty()) {
        m_prompt.message(
            UserPrompt::Icon::Warning,
            u"Satış Faturaları/Temp klasöründe önceki yüklemelerden kalan paketler var "
            u"(%1). Yeni fatura paketi %2 Temp klasöründe bırakıldı; Html, Xml ve Zip "
            u"klasörlerine bir şey kopyalanmadı."_s.arg(before.join(u", "_s), package));
        return;
    }
    const UnzipInput input{m_options.programDir, m_invoice.company, safeNamePart(m_lastNumber),
                           safeNamePart(m_lastDate)};
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
