#include "invoice/AmountWords.h"

#include "invoice/Money.h"
#include "platform/NumberText.h"
#include "platform/TurkishText.h"

#include <QStringList>

#include <cmath>
#include <optional>

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

namespace {

// The words of a number of up to fifteen digits, in order ("1234" → bin iki yüz otuz dört);
// empty for zero, nullopt beyond fifteen digits.
std::optional<QStringList> numberWords(const QString& digits) {
    // Leading zeros beyond fifteen places carry no value; anything longer is out of range.
    QString s = digits;
    while (s.size() > kMaxDigits && s.startsWith(u'0'))
        s.remove(0, 1);
    if (s.size() > kMaxDigits)
        return std::nullopt;
    const QString padded = QString(kMaxDigits - s.size(), u'0') + s;

    QStringList words;
    for (int g = 0; g < 5; ++g) {
        const int h = digitAt(padded, 3 * g);
        const int t = digitAt(padded, 3 * g + 1);
        const int o = digitAt(padded, 3 * g + 2);
        QStringList group;
        if (h > 1)
            group << onesWord(h);
        if (h > 0)
            group << u"yüz"_s;
        for (const QString& word : {tensWord(t), onesWord(o)})
            if (!word.isEmpty())
                group << word;
        if (!group.isEmpty() && !scaleWord(g).isEmpty())
            group << scaleWord(g);
        if (g == 3 && group == QStringList{u"bir"_s, u"bin"_s})
            group = QStringList{u"bin"_s};
        words << group;
    }
    return words;
}

// The words joined by `blank`, "--" for zero, the first letter upper-cased by the Turkish rule
// ("iki…" → "İki…").
QString joinedWords(const QString& digits, const QString& blank) {
    const std::optional<QStringList> words = numberWords(digits);
    if (!words)
        return amountTooLargeText();
    const QString result = words->isEmpty() ? u"--"_s : words->join(blank);
    return turkishUpper(result.left(1)) + result.mid(1);
}

} // namespace

QString Cevir(const QString& digits) {
    return joinedWords(digits, QString());
}

QString spokenAmount(double value) {
    if (!std::isfinite(value))
        return notNumericText();
    const QString text = fixedNumberText(std::fabs(value), 2, false);
    const QString whole = text.left(text.size() - 3);
    if (whole.size() > kMaxDigits)
        return amountTooLargeText();
    const QString sign = value < 0 ? u"Eksi "_s : QString();
    return sign + joinedWords(whole, u" "_s) + u" TL "_s + joinedWords(text.right(2), u" "_s) +
           u" Kr."_s;
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
