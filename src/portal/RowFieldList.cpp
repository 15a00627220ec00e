#include "portal/RowFieldList.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tavlix::portal {

QString rowFieldEntry(const LineTableElement& element) {
    if (!element.id.startsWith(u"gen"_s))
        return QString();
    if (element.tag == u"span"_s)
        return element.id + u'-' + element.cls + u'|' + element.text;
    return element.id + u'-' + element.type + u'|' + element.value;
}

RowFieldList::RowFieldList(int lineCount, int columnCount)
    : m_room(std::max(0, lineCount) * std::max(0, columnCount) + 1) {
    m_entries.resize(m_room);
}

bool RowFieldList::add(const LineTableElement& element) {
    QString entry = rowFieldEntry(element);
    if (entry.isEmpty())
        return true;
    if (m_filled >= m_room) {
        ++m_dropped;
        return false;
    }
    m_entries[m_filled++] = std::move(entry);
    return true;
}

void RowFieldList::sort() {
    // Upper-casing once per entry keeps the sort at n log n comparisons of ready texts.
    QList<std::pair<QString, QString>> keyed;
    keyed.reserve(m_entries.size());
    for (const QString& e : std::as_const(m_entries))
        keyed.append({e.toUpper(), e});
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (qsizetype i = 0; i < keyed.size(); ++i)
        m_entries[i] = keyed[i].second;
}

namespace {

bool isWithholdingDialogCode(const QString& code) {
    return code.size() == 3 && code[0] == u'8' && code[1].isDigit() && code[2].isDigit() &&
           code[1].unicode() < 128 && code[2].unicode() < 128;
}

} // namespace

FillPlan planRowFill(const QStringList& entries, const QList<QStringList>& lines, int columns,
                     const QString& typeValue) {
    FillPlan plan;
    const qint64 last = qint64(lines.size()) * columns - 1;
    qint64 k = 0;
    for (int r = 0; r < lines.size(); ++r) {
        const QStringList& line = lines[r];
        int c = 1;
        bool ended = false;
        for (;;) {
            if (k > last) {
                ended = true;
                break;
            }
            if (c > columns - 1)
                break;
            const QString entry = k < entries.size() ? entries[k] : QString();
            if (entry.isEmpty() || entry.contains(u"button"_s)) {
                ++k;
                continue;
            }
            if (entry.contains(u"rospan"_s)) {
                ++k;
                ++c;
                continue;
            }
            FillStep step;
            step.entry = int(k);
            step.line = r;
            step.subItem = c;
            step.id = entry.left(9);
            step.text = line.value(c);
            if (entry.contains(u"text"_s))
                step.kind = FieldKind::Input;
            else if (entry.contains(u"select"_s))
                step.kind = FieldKind::Select;
            if (step.kind == FieldKind::Select && c > 8) {
                if (typeValue == u"TEVKIFAT"_s) {
                    step.followUp = SelectFollowUp::Withholding;
                    step.code = line.value(10).left(3);
                    step.withDialog = isWithholdingDialogCode(step.code);
                } else if (typeValue == u"OZELMATRAH"_s) {
                    step.followUp = SelectFollowUp::SpecialBase;
                    step.code = line.value(10).left(3);
                    step.amount = line.value(11);
                }
            }
            plan.steps.append(std::move(step));
            ++c;
            ++k;
        }
        if (c <= columns - 1)
            plan.incompleteLines.append(r);
        if (ended) {
            for (int rest = r + 1; rest < lines.size(); ++rest)
                plan.incompleteLines.append(rest);
            break;
        }
        ++k; // the one entry between two lines (the row's own button)
    }
    return plan;
}

} // namespace tavlix::portal
