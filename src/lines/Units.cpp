#include "lines/Units.h"

using namespace Qt::StringLiterals;

namespace tavlix::lines {

const QStringList AcceptedUnitNames = {
    u"Gün"_s,
    u"Ay"_s,
    u"Yıl"_s,
    u"Saat"_s,
    u"Dakika"_s,
    u"Saniye"_s,
    u"Adet"_s,
    u"Paket"_s,
    u"Kutu"_s,
    u"mg"_s,
    u"g"_s,
    u"kg"_s,
    u"lt"_s,
    u"ton"_s,
    u"Net Ton"_s,
    u"Gross ton"_s,
    u"mm"_s,
    u"cm"_s,
    u"m"_s,
    u"km"_s,
    u"ml"_s,
    u"mm3"_s,
    u"cm2"_s,
    u"cm3"_s,
    u"m2"_s,
    u"m3"_s,
    u"kJ"_s,
    u"cl"_s,
    u"KARAT"_s,
    u"KWH"_s,
    u"MWH"_s,
    u"Ton baş.taşıma kap."_s,
    u"Brüt kalori"_s,
    u"1000 lt"_s,
    u"Saf alkol lt"_s,
    u"kg.m2"_s,
    u"Hücre adet"_s,
    u"Çift"_s,
    u"1000 m3"_s,
    u"Set"_s,
    u"1000 adet"_s,
    u"SCM"_s,
    u"NCM"_s,
    u"mmBTU"_s,
    u"CM³"_s,
    u"Düzine"_s,
    u"dm2"_s,
    u"dm"_s,
    u"ha"_s,
};

bool isAcceptedUnit(const QString& text) {
    return AcceptedUnitNames.contains(text);
}

QString unitFieldText(const QString& text) {
    return isAcceptedUnit(text) ? text : QString();
}

} // namespace tavlix::lines
