#include "invoice/AmountWords.h"

#include "invoice/Money.h"
#include "platform/NumberText.h"
#include "platform/TurkishText.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace tavlix {

namespace {

constexpr int kMaxDigits = 15;

const QString& onesWord(int d) {
    static const QString words[10] = {u""_s,    u"bir"_s,  u"iki"_s,  u"üç"_s,    u"dört"_s,
                                      u"beş"_s, u"altı"_s, u"yedi"_s, u"sekiz"_s, u"dokuz"_s};
    return words[d];
}

const QString& tensWord(int d) {
    static const QString words[10] = {u""_s,       u"on"_s,    u"yirmi"_s,  u"otuz"_s,
                                      u"kırk"_s,   u"elli"_s,  u"altmış"_s, u"yetmiş"_s,
                                      u"seksen"_s, u"doksan"_s};
    return words[d];
}

const QString& scaleWord(int group) {
    static const QString words[5] = {u"trilyon"_s, u"milyar"_s, u"milyon"_s, u"bin"_s, u""_s};
    return words[group];
}

int digitAt(const QString& padded, int i) {
    const QChar c = padded.at(i);
    return (c >= u'0' && c <= u'9') ? c.unicode() - u'0' : 0;
}

} // namespace

QString amountTooLargeText() {
    return u"TUTAR YAZIYA ÇEVRİLEMEYECEK KADAR BÜYÜK!"_s;
}

QString notNumericText() {
    return u"GİRİLEN DEĞER SAYI DEĞİL!"_s;
}

QString Cevir(const QString& digits) {
    // Leading zeros beyond fifteen places carry no value; anything longer is out of range.
    QString s = digits;
    while (s.size() > kMaxDigits && s.startsWith(u'0'))
        s.remove(0, 1);
    if (s.size() > kMaxDigits)
        return amountTooLargeText();
    const QString padded = QString(kMaxDigits - s.size(), u'0') + s;

    QString result;
    for (int g = 0; g < 5; ++g) {
        const int h = digitAt(padded, 3 * g);
        const int t = digitAt(padded, 3 * g + 1);
        const int o = digitAt(padded, 3 * g + 2);
        QString group;
        if (h == 1)
            group = u"yüz"_s;
        else if (h > 1)
            group = onesWord(h) + u"yüz"_s;
        group += tensWord(t) + onesWord(o);
        if (!group.isEmpty())
            group += scaleWord(g);
        if (g == 3 && group == u"birbin"_s)
            group = u"bin"_s;
        result += group;
    }
    if (result.isEmpty())
        result = u"--"_s;
    // The first letter upper-cased by the Turkish rule: "iki…" → "İki…".
    return turkishUpper(result.left(1)) + result.mid(1);
}

QString YAZIYTL(double value) {
    if (!std::isfinite(value))
        return notNumericText();
    const QString text = fixedNumberText(std::fabs(value), 2, false);
    const QString whole = text.left(text.size() - 3);
    const QString kurus = text.right(2);
    if (whole.size() > kMaxDigits)
        return amountTooLargeText();
    const QString sign = value < 0 ? u"Eksi "_s : QString();
    return sign + Cevir(whole) + u"TL"_s + Cevir(kurus) + u"Kr."_s;
}

QString YAZIYTL(const QString& value) {
    const std::optional<double> number = money::read(value);
    if (!number)
        return notNumericText();
    return YAZIYTL(*number);
}

} // namespace tavlix
