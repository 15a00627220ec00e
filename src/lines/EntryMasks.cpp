#include "lines/EntryMasks.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace tavlix::lines {

namespace {

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool amountRefuses(const QString& t) {
    if (t.isEmpty())
        return false;
    if (!isDigit(t.front()))
        return true;
    const qsizetype firstComma = t.indexOf(u',');
    if (firstComma >= 0) {
        // 1-based position p of the first comma: refused when the text is longer than p + 2.
        const bool doubled = firstComma + 1 < t.size() && t[firstComma + 1] == u',';
        if (doubled || t.size() > firstComma + 1 + 2)
            return true;
    }
    const QChar last = t.back();
    return !(isDigit(last) || last == u',');
}

bool percentRefuses(const QString& t) {
    bool comma = false;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        switch (i + 1) {
        case 1:
            if (!isDigit(c))
                return true;
            break;
        case 2:
            if (c == u',')
                comma = true;
            else if (!isDigit(c))
                return true;
            break;
        case 3:
            if (c == u',') {
                if (comma)
                    return true;
            } else if (isDigit(c)) {
                if (!comma)
                    return true;
            } else {
                return true;
            }
            break;
        case 4:
            if (!isDigit(c))
                return true;
            break;
        case 5:
            if (!isDigit(c) || comma)
                return true;
            break;
        default:
            return true;
        }
    }
    return false;
}

} // namespace

QString AmountEntryMask(const QString& text) {
    QString t = text;
    while (amountRefuses(t))
        t.chop(1);
    return t;
}

QString PercentEntryMask(const QString& text) {
    QString t = text;
    while (percentRefuses(t))
        t.chop(1);
    return t;
}

QString vatRateEntryText(const QString& text, const QStringList& accepted) {
    for (const QString& rate : accepted) {
        if (rate.startsWith(text))
            return text;
    }
    return QString();
}

QString vatRateFieldText(const QString& text, const QStringList& accepted) {
    return accepted.contains(text) ? text : QString();
}

QString withholdingRateFromBox(const QString& boxText) {
    const QString last3 = boxText.right(3);
    if (!last3.isEmpty() && last3.front() == u' ')
        return boxText.right(2);
    return last3;
}

} // namespace tavlix::lines
