#include "portal/InvoiceUpload.h"

#include "platform/Connectivity.h"
#include "platform/NumberText.h"
#include "platform/ProgramFolder.h"
#include "platform/UserPrompt.h"
#include "portal/BrowserDriver.h"
#include "portal/UploadCheckReport.h"
#include "store/FolderTree.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

using namespace Qt::StringLiterals;

namespace tavlix::portal {

namespace {

// How a script's result names an element (W3C).
constexpr const char* kW3CElementKey = "element-6066-11e4-a52e-4f735466cecf";

// The confirmation button of the portal's dialog for withholding codes 8## and special bases.
const QString kDialogConfirmXPath = u"//*[@id='runtime-body']/div[6]/div[2]/div/div/div/input"_s;

// Every input, select and span of the line tables in one round trip, read as the list needs
// them: the "type", "value" and "class" properties and the visible text.
const QString kReadLineTableScript = uR"js(
var out = [];
var tables = document.querySelectorAll('[id="gen__1069-b"]');
for (var t = 0; t < tables.length; ++t) {
  ['input', 'select', 'span'].forEach(function (tag) {
    var list = tables[t].getElementsByTagName(tag);
    for (var i = 0; i < list.length; ++i) {
      var e = list[i];
      var span = tag === 'span';
      out.push([tag, e.id || '', span ? '' : String(e.type || ''),
                span ? '' : String(e.value == null ? '' : e.value),
                span ? String(e.className || '') : '', span ? e.innerText.trim() : '']);
    }
  });
}
return out;)js"_s;

// The "tr" count of the last line table; -1 when there is none.
const QString kCountRowsScript = uR"js(
var tables = document.querySelectorAll('[id="gen__1069-b"]');
return tables.length ? tables[tables.length - 1].getElementsByTagName('tr').length : -1;)js"_s;

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

Result<RowFieldList> readRowFieldList(BrowserDriver& driver, int lineCount, int columnCount) {
    const auto read = driver.RunScript(kReadLineTableScript);
    if (!read.ok())
        return read.error();
    RowFieldList list(lineCount, columnCount);
    for (const QVariant& item : read->toList()) {
        const QVariantList f = item.toList();
        if (f.size() == 6)
            list.add({f[0].toString(), f[1].toString(), f[2].toString(), f[3].toString(),
                      f[4].toString(), f[5].toString()});
    }
    return list;
}

QString portalTypeValue(const QString& typeCaption) {
    static const QList<std::pair<QString, QString>> map{
        {u"SATIŞ"_s, u"SATIS"_s},
        {u"İADE"_s, u"IADE"_s},
        {u"TEVKİFAT"_s, u"TEVKIFAT"_s},
        {u"İSTİSNA"_s, u"ISTISNA"_s},
        {u"ÖZEL MATRAH"_s, u"OZELMATRAH"_s},
        {u"İHRAÇ KAYITLI"_s, u"IHRACKAYITLI"_s},
    };
    for (const auto& [caption, value] : map)
        if (caption == typeCaption)
            return value;
    return QString();
}

std::optional<QString> uploadTempFolder(const QString& programDir, const QString& company) {
    const auto folder = store::safeCompanyFolder(programDir, company);
    if (!folder)
        return std::nullopt;
    return *folder + u"/Satış Faturaları/Temp"_s;
}

InvoiceUpload::InvoiceUpload(BrowserDriver& driver, UserPrompt& prompt, InvoiceRecord invoice,
                             UploadOptions options)
    : m_driver(driver)
    , m_prompt(prompt)
    , m_invoice(std::move(invoice))
    , m_options(std::move(options))
    , m_typeValue(portalTypeValue(m_invoice.typeText)) {}

template <typename R> bool InvoiceUpload::check(const R& result, const QString& step) {
    if (result.ok())
        return true;
    m_skipped.append(step);
    return false;
}

void InvoiceUpload::wait(int ms) {
    m_driver.Wait(ms);
    m_waitedMs += ms;
}

void InvoiceUpload::checkpoint(const QString& step) {
    m_prompt.progress(step);
    m_prompt.keepAlive();
    if (m_prompt.cancelled())
        throw UploadCancelled{};
}

bool InvoiceUpload::click(const QString& id) {
    const auto element = m_driver.FindById(id);
    return check(element, id) && check(m_driver.Click(*element), id);
}

bool InvoiceUpload::typeInto(const QString& id, const QString& text) {
    const auto element = m_driver.FindById(id);
    return check(element, id) && check(m_driver.TypeText(*element, text), id);
}

bool InvoiceUpload::clickAndPaste(const QString& id, const QString& text) {
    return click(id) && check(m_driver.ClipboardPaste(text), id);
}

void InvoiceUpload::unlockDateField(const QString& id) {
    const auto field = m_driver.FindById(id);
    if (check(field, id))
        check(m_driver.RunScript(u"arguments[0].removeAttribute('disabled')"_s, {*field}), id);
    wait(250);
    if (field.ok())
        check(m_driver.RunScript(u"arguments[0].setAttribute('class', 'csc-textbox')"_s, {*field}),
              id);
    wait(250);
}

void InvoiceUpload::addTax(const QString& code) {
    const auto select = m_driver.FindById(u"gen__1067"_s);
    if (check(select, u"gen__1067"_s))
        check(m_driver.SelectByValue(*select, code), u"gen__1067 "_s + code);
    wait(20);
    click(u"gen__1068"_s);
    wait(50);
    check(m_driver.AcceptAlert(), u"gen__1068 "_s + code);
}

void InvoiceUpload::fillHeader() {
    checkpoint(u"Fatura başlığı yazılıyor"_s);
    // The form builds itself in parts; its notes field comes last.
    m_driver.IsPresent(u"gen__1105"_s, 5000);
    if (const auto ettn = m_driver.FindById(u"gen__1024"_s); check(ettn, u"gen__1024"_s)) {
        const auto text = m_driver.ReadText(*ettn);
        if (check(text, u"gen__1024"_s))
            m_ettn = *text;
    }
    QString taxpayer;
    if (const auto field = m_driver.FindById(u"gen__1005"_s); check(field, u"gen__1005"_s)) {
        const auto text = m_driver.ReadText(*field);
        if (check(text, u"gen__1005"_s))
            taxpayer = *text;
    }
    if (taxpayer != m_invoice.settings.portalTaxNumber)
        m_prompt.message(UserPrompt::Icon::Warning,
                         u"Dikkat ! kullanıcı ile mükellef vergi no uyuşmuyor !!! \r\n"
                         u"prgDATA sayfanızı kontrol edin!!!"_s);
    checkpoint(u"Fatura başlığı yazılıyor"_s);

    click(u"gen__1026"_s);
    wait(250);
    unlockDateField(u"date-gen__1026"_s);
    clickAndPaste(u"date-gen__1026"_s, m_invoice.invoiceDate);
    typeInto(u"date-gen__1027"_s, m_invoice.issueTime);
    if (const auto currency = m_driver.FindById(u"gen__1028"_s); check(currency, u"gen__1028"_s))
        check(m_driver.SelectByText(*currency, m_invoice.currency), u"gen__1028"_s);
    if (!m_invoice.exchangeRate.isEmpty()) {
        // The Tab from the currency select puts the focus into the rate field.
        check(m_driver.SendKeysToPage(keys::Tab), u"döviz kuru"_s);
        wait(1);
        check(m_driver.ClipboardPaste(m_invoice.exchangeRate), u"döviz kuru"_s);
        check(m_driver.SendKeysToPage(keys::Tab), u"döviz kuru"_s);
    }
    click(u"gen__1030"_s);
    if (const auto type = m_driver.FindById(u"gen__1030"_s); check(type, u"gen__1030"_s))
        check(m_driver.SelectByValue(*type, m_typeValue), u"gen__1030"_s);
    checkpoint(u"Alıcı bilgileri yazılıyor"_s);
    typeInto(u"gen__1033"_s, m_invoice.taxNumber);
    click(u"gen__1034"_s);
    if (const auto country = m_driver.FindById(u"gen__1042"_s); check(country, u"gen__1042"_s)) {
        check(m_driver.SelectByText(*country, m_invoice.customerCountry), u"gen__1042"_s);
        check(m_driver.Click(*country), u"gen__1042"_s);
    }
    typeInto(u"gen__1043"_s, m_invoice.customerAddress);
    if (!m_invoice.dispatchDate.isEmpty()) {
        typeInto(u"gen__1045"_s, m_invoice.dispatchSerial);
        click(u"gen__1046"_s);
        wait(250);
        unlockDateField(u"date-gen__1046"_s);
        clickAndPaste(u"date-gen__1046"_s, m_invoice.dispatchDate);
    }
    if (m_typeValue == u"TEVKIFAT"_s) {
        checkpoint(u"Tevkifat vergisi ekleniyor"_s);
        addTax(u"V9015"_s);
    }
}

void InvoiceUpload::fillReturnReferences() {
    if (m_invoice.typeText != u"İADE"_s)
        return;
    int g = 1145;
    int d = 1146;
    const auto count = m_invoice.returnReferences.size();
    for (qsizetype i = 0; i < count; ++i) {
        const QString& entry = m_invoice.returnReferences[i];
        checkpoint(u"İade edilen fatura bilgisi yazılıyor: %1 / %2"_s.arg(i + 1).arg(count));
        click(u"gen__1063"_s);
        const qsizetype dash = entry.indexOf(u'-');
        const QString serial = dash < 0 ? entry : entry.left(dash);
        const qsizetype sep = entry.indexOf(u"---"_s);
        const QString date = sep < 0 ? QString() : entry.mid(sep + 3);
        wait(150);
        const QString dateId = u"date-gen__"_s + QString::number(d);
        unlockDateField(dateId);
        typeInto(u"gen__"_s + QString::number(g), serial);
        click(dateId);
        wait(25);
        check(m_driver.ClipboardPaste(date), dateId);
        wait(25);
        check(m_driver.SendKeysToPage(keys::Tab), dateId);
        g += 2;
        d += 2;
    }
}

void InvoiceUpload::addExtraTaxes() {
    const QStringList& headers = m_invoice.lineHeaders;
    for (qsizetype column = 9; column < headers.size(); ++column) {
        if (!headers[column].startsWith(u'V'))
            continue;
        checkpoint(u"Ek vergi ekleniyor: "_s + headers[column].left(5));
        addTax(headers[column].left(5));
    }
}

void InvoiceUpload::fillLineRows() {
    const int lineCount = int(m_invoice.lines.size());
    const int columns = int(m_invoice.lineHeaders.size());

    // Rows are added one by one until the table (its header row included) is longer than the
    // invoice. A button that adds nothing ends the loop instead of clicking for ever.
    int unchanged = 0;
    int previous = -1;
    for (;;) {
        const auto counted = m_driver.RunScript(kCountRowsScript);
        const int rows = counted.ok() ? counted->toInt() : -1;
        if (rows < 0) {
            m_skipped.append(u"gen__1069-b"_s);
            break;
        }
        if (rows > lineCount)
            break;
        if (rows == previous && ++unchanged > 10) {
            m_skipped.append(u"gen__1089"_s);
            break;
        }
        if (rows != previous) {
            unchanged = 0;
            checkpoint(u"Fatura satırları ekleniyor: satır %1 / %2"_s.arg(qMax(0, rows - 1))
                           .arg(lineCount));
            click(u"gen__1089"_s);
        }
        previous = rows;
        wait(100);
    }

    const auto read = readRowFieldList(m_driver, lineCount, columns);
    RowFieldList list = read.ok() ? *read : RowFieldList(lineCount, columns);
    if (!read.ok())
        m_skipped.append(u"gen__1069-b"_s);
    if (list.dropped() > 0)
        m_skipped.append(u"satır tablosu: %1 alan sığmadı"_s.arg(list.dropped()));
    list.sort();

    const FillPlan plan = planRowFill(list.entries(), m_invoice.lines, columns, m_typeValue);
    // The fields' references in one round trip; a field it does not give is looked up by id.
    QStringList ids;
    for (const FillStep& step : plan.steps)
        ids.append(step.id);
    const auto found = m_driver.RunScript(
        u"return %1.map(function (id) { return document.getElementById(id); });"_s.arg(
            QString::fromUtf8(
                QJsonDocument(QJsonArray::fromStringList(ids)).toJson(QJsonDocument::Compact))));
    const QVariantList refs = found.ok() ? found->toList() : QVariantList();
    int line = -1;
    for (qsizetype i = 0; i < plan.steps.size(); ++i) {
        const FillStep& step = plan.steps[i];
        if (step.line != line) {
            line = step.line;
            checkpoint(u"Fatura satırları yazılıyor: satır %1 / %2"_s.arg(line + 1).arg(lineCount));
        }
        const QString ref =
            refs.value(i).toMap().value(QString::fromLatin1(kW3CElementKey)).toString();
        fillStep(step, ref.isEmpty() ? m_driver.FindById(step.id) : Result<Element>(Element{ref}));
    }
    for (const int incomplete : plan.incompleteLines)
        m_skipped.append(u"satır %1 eksik"_s.arg(incomplete + 1));
}

void InvoiceUpload::fillStep(const FillStep& step, const Result<Element>& field) {
    switch (step.kind) {
    case FieldKind::Other:
        return;
    case FieldKind::Input:
        if (check(field, step.id) && check(m_driver.Click(*field), step.id))
            check(m_driver.TypeText(*field, step.text), step.id);
        wait(1);
        return;
    case FieldKind::Select:
        break;
    }
    wait(1);
    if (!check(field, step.id))
        return;
    const auto byText = m_driver.SelectByText(*field, step.text);
    switch (step.followUp) {
    case SelectFollowUp::None:
        check(byText, step.id);
        return;
    case SelectFollowUp::Withholding: {
        // The cell holds "601 … % 40", no option's text: the code is chosen by value. An "8##"
        // code opens the portal's dialog, confirmed before the code is chosen again.
        if (step.withDialog) {
            check(m_driver.SelectByValue(*field, step.code), step.id);
            wait(2);
            const auto confirm = m_driver.FindByXPath(kDialogConfirmXPath);
            if (check(confirm, step.id + u" onay"_s))
                check(m_driver.Click(*confirm), step.id + u" onay"_s);
            check(m_driver.SendKeysToPage(keys::Tab), step.id);
        }
        check(m_driver.SelectByValue(*field, step.code), step.id);
        wait(3);
        check(m_driver.SendKeysToPage(keys::Tab), step.id);
        return;
    }
    case SelectFollowUp::SpecialBase: {
        check(m_driver.SelectByValue(*field, step.code), step.id);
        wait(1);
        const auto confirm = m_driver.FindByXPath(kDialogConfirmXPath);
        if (check(confirm, step.id + u" onay"_s))
            check(m_driver.Click(*confirm), step.id + u" onay"_s);
        check(m_driver.Click(*field), step.id);
        check(m_driver.TypeText(*field, step.amount), step.id);
        wait(1);
        check(m_driver.SendKeysToPage(keys::Tab), step.id);
        return;
    }
    }
}

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
    const Result<QString> filed =
        fileDownload ? fileDownload({m_options.programDir, m_invoice.company,
                                     safeNamePart(m_lastNumber), safeNamePart(m_lastDate)})
                     : Result<QString>(makeError(ErrorCode::Unsupported, {}));
    if (!filed)
        m_prompt.message(UserPrompt::Icon::Warning,
                         (u"Fatura paketi Temp klasörüne indi ama Html, Xml ve Zip klasörlerine "
                          u"açılamadı. "_s +
                          filed.message())
                             .trimmed());
}

} // namespace tavlix::portal

namespace tavlix::portal {

UploadOptions defaultUploadOptions() {
    return {programDir(), portalBaseUrl(), programToday(), 60000};
}

UploadServices defaultUploadServices() {
    UploadServices services;
    services.checkDriver = [](UserPrompt& prompt) {
        checkChromeVersiyon(DriverCheckInput::fromEnvironment(), prompt);
    };
    services.fileDownload = unzip;
    services.makeSession = makeSession;
    return services;
}

UploadOutcome runInvoiceUpload(InvoiceRecord invoice, UserPrompt& prompt, UploadOptions options,
                               const UploadServices& services) {
    if (!isOnline()) {
        prompt.message(UserPrompt::Icon::Information, u"İnternete bağlı değilsiniz !"_s);
        return UploadOutcome::Offline;
    }
    if (services.checkDriver)
        services.checkDriver(prompt);
    if (!invoice.hasLines()) {
        prompt.message(UserPrompt::Icon::Warning, u"Fatura boş!"_s);
        return UploadOutcome::EmptyInvoice;
    }
    if (invoice.settings.portalUser.isEmpty() || invoice.settings.portalPassword.isEmpty())
        return UploadOutcome::NoCredentials;
    if (invoice.invoiceDate.isEmpty())
        invoice.invoiceDate = options.today.toString(u"dd/MM/yyyy"_s);

    const auto companyFolder = store::safeCompanyFolder(options.programDir, invoice.company);
    const auto temp = uploadTempFolder(options.programDir, invoice.company);
    if (!companyFolder || !temp || !QDir().mkpath(*temp)) {
        prompt.message(
            UserPrompt::Icon::Warning,
            u"Firma klasörü kullanılamıyor: \"%1\". Fatura yüklenmedi."_s.arg(invoice.company));
        return UploadOutcome::UnsafeCompany;
    }

    std::unique_ptr<BrowserDriver> driver =
        services.makeSession ? services.makeSession() : makeSession();
    driver->setKeepAlive([&prompt] { prompt.keepAlive(); });
    driver->SetBrowserPreference(u"download.default_directory"_s, QDir::toNativeSeparators(*temp));
    driver->SetBrowserPreference(u"download.directory_upgrade"_s, true);
    driver->SetBrowserPreference(u"download.prompt_for_download"_s, false);

    prompt.progress(u"e-Arşiv portalına giriş yapılıyor"_s);
    const PortalLoginResult login =
        PortalLogin(*driver, {options.portalBase, invoice.settings.portalUser,
                              invoice.settings.portalPassword, kMenuCreateInvoice, false});
    if (!login.login) {
        driver->Quit();
        prompt.message(UserPrompt::Icon::Warning, login.login.message() + u" Fatura yüklenmedi."_s);
        return UploadOutcome::LoginFailed;
    }

    InvoiceUpload upload(*driver, prompt, std::move(invoice), options);
    try {
        upload.fillHeader();
        upload.fillReturnReferences();
        upload.addExtraTaxes();
        upload.fillLineRows();
        upload.saveAndReport();
        upload.downloadAndFile(services.fileDownload);
    } catch (const UploadCancelled&) {
        driver->Quit();
        prompt.message(UserPrompt::Icon::Warning,
                       u"Fatura yükleme iptal edildi. Fatura portalda yarım yazılmış olabilir; "
                       u"portaldaki taslağı kontrol ediniz."_s);
        return UploadOutcome::Cancelled;
    }
    driver->Quit();
    return UploadOutcome::Done;
}

} // namespace tavlix::portal
