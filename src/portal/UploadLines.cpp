// The upload's line rows: rows added until the table holds the invoice, the table read in one
// script call, and every field of the plan filled.
#include "portal/InvoiceUpload.h"

#include "browser/ActionChain.h"
#include "portal/PortalBrowser.h"

#include <QJsonArray>
#include <QJsonDocument>

using namespace Qt::StringLiterals;

namespace tavlix::portal {

using browser::ActionChain;

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

// Brings the row of arguments[0] into view: a chain's pointer moves only to visible elements.
const QString kScrollIntoViewScript =
    u"arguments[0].scrollIntoView({block: 'center', inline: 'nearest'}); return true;"_s;

// The values of the fields with the ids of the array %1; null for a field that is gone.
const QString kFieldValuesScript =
    u"return %1.map(function (id) { var e = document.getElementById(id); "
    u"return e ? String(e.value) : null; });"_s;

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
    for (qsizetype first = 0; first < plan.steps.size();) {
        const int line = plan.steps[first].line;
        qsizetype end = first;
        QStringList lineRefs;
        while (end < plan.steps.size() && plan.steps[end].line == line)
            lineRefs.append(
                refs.value(end++).toMap().value(QString::fromLatin1(kW3CElementKey)).toString());
        checkpoint(u"Fatura satırları yazılıyor: satır %1 / %2"_s.arg(line + 1).arg(lineCount));
        fillLine(plan.steps.mid(first, end - first), lineRefs);
        first = end;
    }
    for (const int incomplete : plan.incompleteLines)
        m_skipped.append(u"satır %1 eksik"_s.arg(incomplete + 1));
}

// The line's input fields go to the page as action chains — click, the text's keys, the fixed
// wait as a pause — one per run of inputs; a select runs between them as its own commands. When
// a chain fails, the rest of the line goes field by field, its typed fields left as they are.
void InvoiceUpload::fillLine(const QList<FillStep>& steps, const QStringList& refs) {
    auto element = [&](qsizetype i) {
        return refs.value(i).isEmpty() ? m_driver.FindById(steps[i].id)
                                       : Result<Element>(Element{refs[i]});
    };
    for (qsizetype i = 0; i < steps.size(); ++i)
        if (steps[i].kind == FieldKind::Input && !refs.value(i).isEmpty()) {
            m_driver.RunScript(kScrollIntoViewScript, {Element{refs[i]}});
            break;
        }
    bool chaining = true;
    ActionChain chain;
    QList<qsizetype> chained;
    auto flush = [&] {
        if (chained.isEmpty())
            return;
        if (!m_driver.PerformActions(chain).ok()) {
            chaining = false;
            // The fields the chain reached hold their text; the others are filled one by one.
            QStringList ids;
            for (const qsizetype i : std::as_const(chained))
                ids.append(steps[i].id);
            const auto values = m_driver.RunScript(kFieldValuesScript.arg(QString::fromUtf8(
                QJsonDocument(QJsonArray::fromStringList(ids)).toJson(QJsonDocument::Compact))));
            const QVariantList typed = values.ok() ? values->toList() : QVariantList();
            for (qsizetype n = 0; n < chained.size(); ++n) {
                const FillStep& step = steps[chained[n]];
                if (typed.value(n).isNull() || typed.value(n).toString() != step.text)
                    fillStep(step, element(chained[n]));
                else
                    m_waitedMs += 1;
            }
        } else {
            m_waitedMs += chained.size();
        }
        chain = ActionChain();
        chained.clear();
    };
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const FillStep& step = steps[i];
        if (chaining && step.kind == FieldKind::Input && !refs.value(i).isEmpty()) {
            chain.click(Element{refs[i]});
            chain.type(step.text);
            chain.pause(1);
            chained.append(i);
            continue;
        }
        if (step.kind != FieldKind::Other)
            flush();
        fillStep(step, element(i));
    }
    flush();
}

void InvoiceUpload::fillStep(const FillStep& step, const Result<Element>& field) {
    m_lineFields.insert(step.id,
                        lineFieldName(step.line + 1, m_invoice.lineHeaders.value(step.subItem)));
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

} // namespace tavlix::portal
