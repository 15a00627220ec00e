#include "portal/DocumentList.h"

#include "platform/NumberText.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace tavlix::portal {

namespace {

// Per row of every "gen__1178-b": its cells, each the text of its last span or its own text.
// null when the page has no such list.
const QString kListScript = uR"js(
var tables = document.querySelectorAll('[id="gen__1178-b"]');
if (!tables.length) return null;
var out = [];
for (var t = 0; t < tables.length; ++t) {
  var rows = tables[t].getElementsByTagName('tr');
  for (var r = 0; r < rows.length; ++r) {
    var cells = rows[r].getElementsByTagName('td'), texts = [];
    for (var c = 0; c < cells.length; ++c) {
      var spans = cells[c].getElementsByTagName('span');
      var e = spans.length ? spans[spans.length - 1] : cells[c];
      texts.push((e.innerText || e.textContent || '').trim());
    }
    out.push(texts);
  }
}
return out;)js"_s;

// The visible text of the first visible message: an element with role alert, alertdialog or
// dialog, or one whose class names a "csc-" message box; its buttons' captions left out.
const QString kMessageScript = uR"js(
var box = /(^|\s)csc-[\w-]*(message|msg|dialog|alert|popup|notif|uyari|hata|error|warn)/i;
var all = document.querySelectorAll(
    '[role="alert"],[role="alertdialog"],[role="dialog"],[class*="csc-"]');
function shown(e) {
  if (!e.getClientRects().length) return false;
  var s = getComputedStyle(e);
  return s.visibility !== 'hidden' && s.display !== 'none';
}
for (var i = 0; i < all.length; ++i) {
  var e = all[i];
  var role = e.getAttribute('role') || '';
  if (!/^(alert|alertdialog|dialog)$/.test(role) && !box.test(e.getAttribute('class') || ''))
    continue;
  if (!shown(e)) continue;
  var buttons = {};
  var bs = e.querySelectorAll('button,[role="button"],input[type="button"],input[type="submit"]');
  for (var b = 0; b < bs.length; ++b)
    buttons[(bs[b].innerText || bs[b].value || '').trim()] = true;
  var lines = (e.innerText || '').split('\n').map(function (l) { return l.trim(); })
      .filter(function (l) { return l && !buttons[l]; });
  if (lines.length) return lines.join(' ');
}
return null;)js"_s;

const QRegularExpression& uuidPattern() {
    static const QRegularExpression re(
        u"[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}"_s,
        QRegularExpression::CaseInsensitiveOption);
    return re;
}

// The date a cell shows (dd-MM-yyyy, dd/MM/yyyy, dd.MM.yyyy or yyyy-MM-dd); invalid when none.
QDate cellDate(const QString& text) {
    static const QRegularExpression dayFirst(uR"((\d{1,2})[./-](\d{1,2})[./-](\d{4}))"_s);
    static const QRegularExpression yearFirst(uR"((\d{4})-(\d{1,2})-(\d{1,2}))"_s);
    if (const auto m = yearFirst.match(text); m.hasMatch())
        return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (const auto m = dayFirst.match(text); m.hasMatch())
        return QDate(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
    return {};
}

// Whether a row may be this invoice by what it shows: a cell shaped as a tax number must be the
// buyer's, a money cell the portal total. A list that shows neither leaves the row in question.
bool mayBeThisInvoice(const ListRow& row, const QString& taxNumber,
                      std::optional<money::Kurus> total) {
    static const QRegularExpression taxShape(u"^\\d{10,11}$"_s);
    static const QRegularExpression moneyShape(u"^-?(\\d{1,3}(\\.\\d{3})+|\\d+),\\d{2}$"_s);
    bool taxShown = false, taxMatches = false, moneyShown = false, moneyMatches = false;
    for (const QString& cell : row.cells) {
        const QString text = cell.trimmed();
        if (taxShape.match(text).hasMatch()) {
            taxShown = true;
            taxMatches = taxMatches || text == taxNumber;
        }
        if (moneyShape.match(text).hasMatch()) {
            moneyShown = true;
            const auto n = readRegionalNumber(text);
            moneyMatches = moneyMatches || (total && n && money::kurus(*n) == *total);
        }
    }
    return (!taxShown || taxMatches) && (!total || !moneyShown || moneyMatches);
}

} // namespace

QString ListRow::ettn() const {
    for (const QString& cell : cells)
        if (const auto m = uuidPattern().match(cell); m.hasMatch())
            return m.captured(0).toUpper();
    return QString();
}

std::optional<QList<ListRow>> readDocumentList(BrowserDriver& driver) {
    const Result<QVariant> read = driver.RunScript(kListScript);
    if (!read || read->isNull())
        return std::nullopt;
    QList<ListRow> rows;
    for (const QVariant& cells : read->toList())
        rows.append({int(rows.size()), cells.toStringList()});
    return rows;
}

std::optional<QString> readPageMessage(BrowserDriver& driver) {
    QString text;
    if (const Result<QString> alert = driver.AlertText()) {
        text = *alert;
        driver.AcceptAlert();
    } else if (const Result<QVariant> box = driver.RunScript(kMessageScript);
               box && !box->isNull()) {
        text = box->toString();
    }
    text = text.simplified();
    while (text.endsWith(u'.'))
        text.chop(1);
    if (text.isEmpty())
        return std::nullopt;
    return text;
}

InvoiceRowMatch findInvoiceRow(const QList<ListRow>& rows, const InvoiceRowQuery& query) {
    InvoiceRowMatch match;
    for (const QString& ettn : query.ettns) {
        if (ettn.trimmed().isEmpty())
            continue;
        for (const ListRow& row : rows)
            for (const QString& cell : row.cells)
                if (cell.contains(ettn.trimmed(), Qt::CaseInsensitive)) {
                    match.kind = InvoiceRowMatch::Kind::Found;
                    match.row = row;
                }
        if (match.kind == InvoiceRowMatch::Kind::Found)
            return match;
    }
    if (!query.before || query.taxNumber.trimmed().isEmpty())
        return match;

    QList<ListRow> fresh;
    for (const ListRow& row : rows) {
        if (query.before->contains(row.key()))
            continue;
        // A document row: it has a date cell and shows a number or an ETTN.
        if (row.cells.size() < 5 || (row.number().isEmpty() && row.ettn().isEmpty()))
            continue;
        const QDate date = cellDate(row.date());
        if (date.isValid() && date != query.invoiceDate)
            continue;
        if (mayBeThisInvoice(row, query.taxNumber.trimmed(), query.portalTotal))
            fresh.append(row);
    }
    if (fresh.size() == 1) {
        match.kind = InvoiceRowMatch::Kind::Found;
        match.row = fresh.first();
    } else if (fresh.size() > 1) {
        match.kind = InvoiceRowMatch::Kind::Ambiguous;
        for (const ListRow& row : fresh)
            match.numbers.append(row.number().isEmpty() ? row.ettn() : row.number());
    }
    return match;
}

} // namespace tavlix::portal
