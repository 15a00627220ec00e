#include "platform/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace tavlix {

namespace {

// The value as decimal digits taken to 15 significant digits: digits "d1d2…d15", and the power of
// ten of the first digit. Working on these digits makes 1,005 round like the display shows it.
struct Decimal {
    bool negative = false;
    std::string digits; // no leading zeros unless the value is zero
    int exponent = 0;   // value = 0.d1d2… × 10^(exponent+1)
};

Decimal toDecimal(double value) {
    Decimal d;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", value);
    std::string s(buf);
    std::size_t i = 0;
    if (s[i] == '-') {
        d.negative = true;
        ++i;
    }
    const std::size_t e = s.find('e');
    for (std::size_t k = i; k < e; ++k) {
        if (s[k] != '.')
            d.digits.push_back(s[k]);
    }
    d.exponent = std::stoi(s.substr(e + 1));
    if (d.digits.find_first_not_of('0') == std::string::npos) {
        d.negative = false;
        d.digits.assign(1, '0'); // not `= "0"`: GCC 12 -O2 reports a false -Wrestrict on it
        d.exponent = 0;
    }
    return d;
}

// Whole-part digits and exactly `decimals` fraction digits, rounded half away from zero.
std::pair<std::string, std::string> roundDigits(const Decimal& d, int decimals) {
    // Place the digits on a grid with enough room: integer part and fraction part.
    std::string whole;
    std::string frac;
    if (d.exponent >= 0) {
        for (int k = 0; k <= d.exponent; ++k)
            whole.push_back(k < static_cast<int>(d.digits.size()) ? d.digits[k] : '0');
        if (d.exponent + 1 < static_cast<int>(d.digits.size()))
            frac = d.digits.substr(d.exponent + 1);
    } else {
        whole = "0";
        frac = std::string(-d.exponent - 1, '0') + d.digits;
    }
    const bool roundUp = static_cast<int>(frac.size()) > decimals && frac[decimals] >= '5';
    frac.resize(decimals, '0');
    if (roundUp) {
        std::string all = whole + frac;
        int k = static_cast<int>(all.size()) - 1;
        while (k >= 0 && all[k] == '9') {
            all[k] = '0';
            --k;
        }
        if (k < 0)
            all.insert(all.begin(), '1');
        else
            ++all[k];
        whole = all.substr(0, all.size() - decimals);
        frac = all.substr(all.size() - decimals);
    }
    return {whole, frac};
}

std::string groupThousands(const std::string& whole) {
    std::string out;
    const int n = static_cast<int>(whole.size());
    for (int k = 0; k < n; ++k) {
        if (k > 0 && (n - k) % 3 == 0)
            out.push_back('.');
        out.push_back(whole[k]);
    }
    return out;
}

} // namespace

std::optional<double> readRegionalNumber(const QString& text) {
    const QString t = text.trimmed();
    std::string plain;
    int i = 0;
    if (i < t.size() && (t[i] == u'-' || t[i] == u'+')) {
        if (t[i] == u'-')
            plain.push_back('-');
        ++i;
        while (i < t.size() && t[i] == u' ')
            ++i;
    }
    bool sawComma = false;
    bool sawDigit = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c >= u'0' && c <= u'9') {
            plain.push_back(static_cast<char>(c.unicode()));
            sawDigit = true;
        } else if (c == u'.' && !sawComma) {
            continue; // group separator
        } else if (c == u',' && !sawComma) {
            sawComma = true;
            plain.push_back('.');
        } else {
            return std::nullopt;
        }
    }
    if (!sawDigit)
        return std::nullopt;
    double value = 0;
    const char* first = plain.data();
    const char* last = plain.data() + plain.size();
    const auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || ptr != last)
        return std::nullopt;
    return value == 0 ? 0.0 : value; // no "-0"
}

double leadingNumber(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    double sign = 1;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        sign = text[i] == u'-' ? -1 : 1;
        ++i;
    }
    double value = 0;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
        value = value * 10 + (text[i].unicode() - u'0');
        ++i;
    }
    if (i < text.size() && text[i] == u'.') {
        ++i;
        double scale = 0.1;
        while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
            value += (text[i].unicode() - u'0') * scale;
            scale /= 10;
            ++i;
        }
    }
    return value == 0 ? 0.0 : sign * value;
}

QString generalNumberText(double value) {
    if (!std::isfinite(value))
        return QString();
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    QString s = QString::fromLatin1(buf);
    if (s == u"-0")
        return QStringLiteral("0");
    s.replace(u'.', u',');
    s.replace(QStringLiteral("e+"), QStringLiteral("E+"));
    s.replace(QStringLiteral("e-"), QStringLiteral("E-"));
    return s;
}

QString fixedNumberText(double value, int decimals, bool grouped) {
    if (!std::isfinite(value))
        return QString();
    const Decimal d = toDecimal(value);
    auto [whole, frac] = roundDigits(d, decimals);
    const bool zero = whole.find_first_not_of('0') == std::string::npos &&
                      frac.find_first_not_of('0') == std::string::npos;
    std::string out;
    if (d.negative && !zero)
        out.push_back('-');
    out += grouped ? groupThousands(whole) : whole;
    if (decimals > 0) {
        out.push_back(',');
        out += frac;
    }
    return QString::fromLatin1(out.c_str());
}

} // namespace tavlix
