// The payable amount spelled out in Turkish words, as the invoice notes carry it after "Yalnız:".
#pragma once

#include <QString>

namespace tavlix {

// A whole number of up to 15 decimal digits (leading zeros allowed) in words joined without
// blanks, first letter upper-cased with the Turkish rule: "1234" → "Binikiyüzotuzdört", zero →
// "--". A character that is not a digit counts as 0. More than 15 significant digits give
// amountTooLargeText() instead of failing.
QString Cevir(const QString& digits);

// A lira-kuruş amount in words: "1.234,50" → "BinikiyüzotuzdörtTLElliKr.", "-5" → "Eksi
// BeşTL--Kr.". The text is read with the regional reading; when it is not a number the result is
// "GİRİLEN DEĞER SAYI DEĞİL!", and amounts of 10^15 or more give amountTooLargeText().
QString YAZIYTL(const QString& value);
QString YAZIYTL(double value);

// The same amount with blanks between the words, for reading on screen only (the notes and the
// portal keep YAZIYTL's text): 52588.34 → "Elli iki bin beş yüz seksen sekiz TL Otuz dört Kr.".
QString spokenAmount(double value);

// "TUTAR YAZIYA ÇEVRİLEMEYECEK KADAR BÜYÜK!"
QString amountTooLargeText();
// "GİRİLEN DEĞER SAYI DEĞİL!"
QString notNumericText();

} // namespace tavlix
