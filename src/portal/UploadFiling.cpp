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
#include <QJsonArray>
#include <QJsonDocument>

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

// The digits of the fourth input whose id begins with "date-gen__"; null if there are fewer.
const QString kFourthDateFieldScript = uR"js(
var n = 0;
var inputs = document.getElementsByTagName('input');
for (var i = 0; i < inputs.length; ++i) {
  var id = inputs[i].id || '';
  if (id.indexOf('date-gen__') === 0 && ++n === 4) return id.substring(10);
}
return null;)js"_s;

// Forgets an earlier save answer (a line break in the notes saves too), so only the answer to
// the Enter that follows counts.
const QString kForgetSaveAnswerScript = uR"js(
var answer = document.getElementById('kayit-cevabi');
if (answer) answer.parentNode.removeChild(answer);
return true;)js"_s;

// The page's answer to a save: [state, text], the state "basarili" when the draft was kept;
// null while there is none.
const QString kSaveAnswerScript = uR"js(
var answer = document.getElementById('kayit-cevabi');
if (!answer || !answer.getAttribute('data-durum')) return null;
return [answer.getAttribute('data-durum'), answer.textContent.trim()];)js"_s;

// Rows of every "gen__1178-b" counted from 0: the last whose cells carry ETTN_JSON[0]; -1 when
// the list shows ETTNs but not this one, -2 when it shows none at all.
const QString kEttnRowScript = uR"js(
var ettn = String(ETTN_JSON[0] || '').trim().toUpperCase();
var uuid = /[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}/i;
var shown = false, found = -1, n = 0;
var tables = document.querySelectorAll('[id="gen__1178-b"]');
for (var t = 0; t < tables.length; ++t) {
  var rows = tables[t].getElementsByTagName('tr');
  for (var r = 0; r < rows.length; ++r, ++n) {
    var cells = rows[r].getElementsByTagName('td');
    for (var c = 0; c < cells.length; ++c) {
      var text = cells[c].textContent.toUpperCase();
      if (uuid.test(text)) shown = true;
      if (ettn && text.indexOf(ettn) >= 0) found = n;
    }
  }
}
return found >= 0 ? found : (shown ? -1 : -2);)js"_s;

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
    typeInto(u"gen__1105"_s, m_invoice.notes);
    m_driver.RunScript(kForgetSaveAnswerScript);
    check(m_driver.SendKeysToPage(keys::Enter), u"gen__1105"_s);
    const std::optional<QString> refusal = awaitSaveRefusal();

    m_portalTotal = 0;
    const auto total = m_driver.RunScript(kPortalTotalScript);
    const QString text = total.ok() ? total->toString() : QString();
    const auto number = readRegionalNumber(text);
    if (total.ok() && !total->isNull() && number)
        m_portalTotal = money::kurus(*number);
    else
        m_skipped.append(u"vergilerDahilToplamTutar"_s);

    if (!refusal)
        return true;
    showReport(false);
    m_prompt.message(
        UserPrompt::Icon::Warning,
        u"Fatura portalda kaydedilmedi: %1. Portaldaki taslağı kontrol ediniz."_s.arg(*refusal));
    return false;
}

// Nothing when the portal confirmed the save; otherwise its text, or that it did not answer.
std::optional<QString> InvoiceUpload::awaitSaveRefusal() {
    QElapsedTimer clock;
    clock.start();
    while (true) {
        const auto answer = m_driver.RunScript(kSaveAnswerScript);
        if (answer.ok() && !answer->isNull()) {
            const QVariantList parts = answer->toList();
            if (parts.value(0).toString() == u"basarili"_s)
                return std::nullopt;
            QString text = parts.value(1).toString().trimmed();
            while (text.endsWith(u'.'))
                text.chop(1);
            return text.isEmpty() ? u"portal bir hata bildirdi"_s : text;
        }
        if (clock.elapsed() >= m_options.saveAnswerLimitMs)
            break;
        checkpoint(u"Portalın kayıt yanıtı bekleniyor"_s);
        m_driver.Wait(100);
    }
    return u"portal %1 saniye içinde yanıt vermedi"_s.arg(
        std::max(1, m_options.saveAnswerLimitMs / 1000));
}

void InvoiceUpload::showReport(bool saveConfirmed) {
    m_prompt.message(UserPrompt::Icon::Information,
                     uploadCheckReport(m_invoice.checkTotal, m_portalTotal, m_skipped,
                                       saveConfirmed, buyerLines()),
                     uploadCheckReportTitle());
}

void InvoiceUpload::clickInputWithValue(const QString& value) {
    const auto input = m_driver.FindByXPath(u"//input[@value='"_s + value + u"']"_s);
    if (check(input, value))
        check(m_driver.Click(*input), value);
}

// Reads the number and date of the row carrying this ETTN and ticks it. A list that shows no
// ETTN at all gets the row T−2 instead, noted as a skipped step. False when no row was taken.
bool InvoiceUpload::tickInvoiceRow() {
    const QString ettnJson =
        QString::fromUtf8(QJsonDocument(QJsonArray{m_ettn}).toJson(QJsonDocument::Compact));
    const auto found =
        m_driver.RunScript(QString(kEttnRowScript).replace(u"ETTN_JSON"_s, ettnJson));
    if (!check(found, u"gen__1178-b ETTN"_s))
        return false;
    const int index = found->toInt();
    if (index == -1) {
        m_skipped.append(u"gen__1178-b ETTN"_s);
        return false;
    }
    const bool fallback = index < 0;
    if (fallback)
        m_skipped.append(u"gen__1178-b ETTN yok (T−2 satırı alındı)"_s);

    const auto tables = m_driver.FindAllById(u"gen__1178-b"_s);
    if (!check(tables, u"gen__1178-b"_s))
        return false;
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
    bool taken = false;
    int counter = 0;
    for (const Element& table : *tables) {
        const auto rowsOfTable = m_driver.FindAllByTag(table, u"tr"_s);
        const ElementList rows = rowsOfTable.ok() ? *rowsOfTable : ElementList();
        const int t = int(rows.size());
        for (const Element& row : rows) {
            if (fallback ? counter == t - 2 : counter == index) {
                const auto cells = m_driver.FindAllByTag(row, u"td"_s);
                if (check(cells, u"gen__1178-b td"_s)) {
                    m_lastNumber = spanText(*cells, 2);
                    m_lastDate = spanText(*cells, 5);
                    taken = true;
                }
                const auto cell = m_driver.FindFirstByTagIn(row, u"td"_s);
                const auto box = cell.ok() ? m_driver.FindFirstByTagIn(*cell, u"input"_s)
                                           : Result<Element>(cell.error());
                if (check(box, u"gen__1178-b seçim"_s))
                    check(m_driver.Click(*box), u"gen__1178-b seçim"_s);
            }
            ++counter;
        }
    }
    return taken;
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

void InvoiceUpload::openDocumentList() {
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

void InvoiceUpload::downloadAndFile(
    const std::function<Result<QString>(const UnzipInput&)>& fileDownload) {
    checkpoint(u"Belge listesi açılıyor"_s);
    if (m_options.today.toString(u"dd/MM/yyyy"_s) != m_invoice.invoiceDate)
        openDocumentList();
    wait(40);
    const bool listed = tickInvoiceRow();
    showReport(true);
    if (!listed) {
        m_prompt.message(UserPrompt::Icon::Warning,
                         u"ETTN %1 numaralı fatura portalın belge listesinde bulunamadı; fatura "
                         u"paketi indirilmedi. Portaldaki taslağı kontrol ediniz."_s.arg(m_ettn));
        return;
    }

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
