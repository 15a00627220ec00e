#include "portal/UploadCheckReport.h"

#include "platform/NumberText.h"

using namespace Qt::StringLiterals;

namespace tavlix::portal {

namespace {

// How many skipped steps the report names before it says "…".
constexpr int kNamedSkips = 5;

QString moneyText(float value) {
    return fixedNumberText(double(value), 2, true);
}

} // namespace

QString uploadCheckReportTitle() {
    return u"Tavlix Fatura Yükleme Sonrası Kontrol Raporu"_s;
}

QString uploadCheckReport(float checkTotal, float portalTotal, const QStringList& skippedSteps) {
    const float difference = portalTotal - checkTotal;
    QStringList lines{
        u" Fatura yükleme tamamlandı, kontrol sonucu... :"_s,
        u" "_s + QString(60, u'-'),
        u" Tavlix Fatura Toplamı  :  "_s + moneyText(checkTotal),
        u" Portal Fatura Toplamı  :  "_s + moneyText(portalTotal),
        u" Fatura Toplam Farkı     :         "_s + moneyText(difference) + u" [TL,Kr]'dir."_s,
    };
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
