#include "invoice/Money.h"

#include "platform/NumberText.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace tavlix::money {

QString text(double value) {
    return fixedNumberText(value, 2, true);
}

QString rateText(double value) {
    return fixedNumberText(value, 3, true);
}

double rnd2(double value) {
    // std::nearbyint rounds halves to even in the default rounding mode.
    const double r = std::nearbyint(value * 100.0) / 100.0;
    return r == 0 ? 0.0 : r;
}

std::optional<double> read(const QString& text) {
    return readRegionalNumber(text);
}

bool isNumeric(const QString& text) {
    return readRegionalNumber(text).has_value();
}

double value(const QString& text) {
    return readRegionalNumber(text).value_or(0.0);
}

Kurus kurus(double value) {
    return std::llround(value * 100.0);
}

Kurus shownKurus(const QString& text) {
    // The fast path reads the texts text() writes: optional "-", digits grouped by ".", ",", and
    // two digits. Anything else goes through the regional reader.
    auto digit = [&text](qsizetype k) { return text[k] >= u'0' && text[k] <= u'9'; };
    const qsizetype n = text.size();
    qsizetype i = n > 0 && text[0] == u'-' ? 1 : 0;
    Kurus whole = 0;
    bool digits = false;
    for (; i < n && (digit(i) || text[i] == u'.'); ++i) {
        if (text[i] == u'.')
            continue;
        if (whole > 9'000'000'000'000'000LL / 10 / 100)
            break; // too large for the fast path
        whole = whole * 10 + (text[i].unicode() - u'0');
        digits = true;
    }
    if (digits && i + 3 == n && text[i] == u',' && digit(i + 1) && digit(i + 2)) {
        const Kurus amount =
            whole * 100 + (text[i + 1].unicode() - u'0') * 10 + (text[i + 2].unicode() - u'0');
        return text[0] == u'-' ? -amount : amount;
    }
    return kurus(rnd2(value(text)));
}

QString kurusText(Kurus amount) {
    const bool negative = amount < 0;
    // Unsigned, so that the most negative amount has a magnitude too.
    const unsigned long long magnitude =
        negative ? 0ULL - static_cast<unsigned long long>(amount) : amount;
    QString whole = QString::number(magnitude / 100);
    for (qsizetype i = whole.size() - 3; i > 0; i -= 3)
        whole.insert(i, u'.');
    const unsigned long long cents = magnitude % 100;
    return (negative ? u"-"_s : QString()) + whole + u',' + QChar(u'0' + int(cents / 10)) +
           QChar(u'0' + int(cents % 10));
}

QString plainText(double value) {
    return generalNumberText(value);
}

} // namespace tavlix::money
