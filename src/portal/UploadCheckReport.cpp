#include "portal/UploadCheckReport.h"

#include "platform/TurkishText.h"

using namespace Qt::StringLiterals;

namespace tavlix::portal {

namespace {

// How many skipped steps the report names before it says "…".
constexpr int kNamedSkips = 5;

} // namespace

QString uploadCheckReportTitle() {
    return u"Tavlix Fatura Yükleme Sonrası Kontrol Raporu"_s;
}

bool sameBuyer(const BuyerNames& a, const BuyerNames& b) {
    const auto key = [](const QString& text) { return turkishUpper(text.simplified()); };
    return key(a.name) == key(b.name) && key(a.taxOffice) == key(b.taxOffice);
}

QStringList buyerDifferenceLines(const BuyerNames& portal, const BuyerNames& card) {
    const auto empty = [](const BuyerNames& b) {
        return b.name.trimmed().isEmpty() && b.taxOffice.trimmed().isEmpty();
    };
    // Nothing to compare without a card or without the portal's answer.
    if (empty(portal) || empty(card) || sameBuyer(portal, card))
        return {};
    return {u" Portal Alıcı Bilgisi     :  "_s + portal.name + u" / "_s + portal.taxOffice,
            u" Kart Alıcı Bilgisi        :  "_s + card.name + u" / "_s + card.taxOffice};
}

QString uploadCheckReport(money::Kurus checkTotal, money::Kurus portalTotal,
                          const QStringList& skippedSteps, bool saveConfirmed,
                          const QStringList& buyerLines) {
    using money::kurusText;
    const money::Kurus difference = portalTotal - checkTotal;
    QStringList lines{
        saveConfirmed
            ? u" Fatura yükleme tamamlandı, kontrol sonucu... :"_s
            : u" Fatura portalda kaydedilmedi (kayıt doğrulanmadı), kontrol sonucu... :"_s,
        u" "_s + QString(60, u'-'),
        u" Tavlix Fatura Toplamı  :  "_s + kurusText(checkTotal),
        u" Portal Fatura Toplamı  :  "_s + kurusText(portalTotal),
        u" Fatura Toplam Farkı     :         "_s + kurusText(difference) + u" [TL,Kr]'dir."_s,
    };
    lines += buyerLines;
    if (!skippedSteps.isEmpty()) {
        QString line = u" Atlanan adım sayısı: %1 (ilk atlananlar: %2"_s.arg(skippedSteps.size())
                           .arg(skippedSteps.mid(0, kNamedSkips).join(u", "_s));
        if (skippedSteps.size() > kNamedSkips)
            line += u", …"_s;
        lines.append(line + u")"_s);
    }
    return lines.join(u"\r\n"_s);
}

} // namespace tavlix::portal
