#include "portal/UploadCheckReport.h"

#include "platform/TurkishText.h"

using namespace Qt::StringLiterals;

namespace tavlix::portal {

namespace {

// How many skipped steps the report names before it says "…".
constexpr int kNamedSkips = 5;

// The upload's own step names and the portal's field ids, in the user's words.
const QHash<QString, QString>& stepNames() {
    static const QHash<QString, QString> names{
        {u"gen__1024"_s, u"Fatura ETTN'si"_s},
        {u"gen__1005"_s, u"Mükellef vergi numarası"_s},
        {u"gen__1026"_s, u"Fatura tarihi"_s},
        {u"date-gen__1026"_s, u"Fatura tarihi"_s},
        {u"date-gen__1027"_s, u"Düzenleme saati"_s},
        {u"gen__1028"_s, u"Para birimi"_s},
        {u"döviz kuru"_s, u"Döviz kuru"_s},
        {u"gen__1030"_s, u"Fatura tipi"_s},
        {u"gen__1033"_s, u"Alıcı vergi numarası"_s},
        {u"gen__1034"_s, u"Alıcı unvanı"_s},
        {u"gen__1035"_s, u"Alıcı adı"_s},
        {u"gen__1036"_s, u"Alıcı soyadı"_s},
        {u"gen__1041"_s, u"Alıcı vergi dairesi"_s},
        {u"gen__1042"_s, u"Alıcı ülkesi"_s},
        {u"gen__1043"_s, u"Alıcı adresi"_s},
        {u"gen__1045"_s, u"İrsaliye numarası"_s},
        {u"gen__1046"_s, u"İrsaliye tarihi"_s},
        {u"date-gen__1046"_s, u"İrsaliye tarihi"_s},
        {u"gen__1063"_s, u"İade faturası satırı ekleme"_s},
        {u"gen__1067"_s, u"Vergi seçimi"_s},
        {u"gen__1068"_s, u"Vergi ekleme"_s},
        {u"gen__1069-b"_s, u"Fatura satırları tablosu"_s},
        {u"gen__1089"_s, u"Satır ekleme"_s},
        {u"gen__1105"_s, u"Notlar ve kaydetme"_s},
        {u"vergilerDahilToplamTutar"_s, u"Portal fatura toplamı"_s},
        {u"gen__1178-b"_s, u"Düzenlenen belgeler listesi"_s},
        {u"gen__1178-b seçim"_s, u"Düzenlenen belgelerde faturanın seçimi"_s},
        {u"gen__1178-b (kayıt öncesi)"_s, u"Kayıt öncesi belge listesi"_s},
        {u"Düzenlenen Belgeler"_s, u"Düzenlenen Belgeler menüsü"_s},
        {u"date-gen__ (4.)"_s, u"Belge listesi sorgu tarihi"_s},
        {u"date-gen__"_s, u"Belge listesi sorgu tarihi"_s},
        {u"sorgu tarihi"_s, u"Belge listesi sorgu tarihi"_s},
        {u"Sorgula"_s, u"Sorgula düğmesi"_s},
        {u"İndir"_s, u"İndir düğmesi"_s},
        {u"gen__1008"_s, u"Fatura sayfasının kapatılması"_s},
        {u"pencere"_s, u"Tarayıcı penceresinin kapatılması"_s},
        {u"Fatura Oluştur (5.000/30.000 TL)"_s, u"Fatura Oluştur menüsü"_s},
    };
    return names;
}

} // namespace

QString skippedStepName(const QString& step, const QHash<QString, QString>& lineFields) {
    QString id = step;
    const bool confirmation = id.endsWith(u" onay"_s);
    if (confirmation)
        id.chop(5);
    QString name = lineFields.value(id);
    if (name.isEmpty())
        name = stepNames().value(id);
    if (name.isEmpty()) {
        // "gen__1067 V9015": the field of a tax code; "date-gen__1148": an id numbered per row.
        const qsizetype blank = id.indexOf(u' ');
        const QString head = blank < 0 ? id : id.left(blank);
        const QString code = blank < 0 ? QString() : id.mid(blank + 1);
        if (head == u"gen__1067"_s || head == u"gen__1068"_s)
            name = u"Vergi "_s + code + (head == u"gen__1067"_s ? u" seçimi"_s : u" ekleme"_s);
        else if (head.startsWith(u"date-gen__"_s) || head.startsWith(u"gen__"_s)) {
            const int number = head.mid(head.lastIndexOf(u'_') + 1).toInt();
            // A return's reference rows pair a serial (odd id) with a date (even id) from 1145.
            if (number >= 1145 && number < 1245)
                name = u"İade faturası %1 %2"_s.arg((number - 1145) / 2 + 1)
                           .arg(number % 2 ? u"seri numarası"_s : u"tarihi"_s);
            else
                name = u"Portal alanı"_s;
        } else {
            name = id;
        }
    }
    return confirmation ? name + u" onayı"_s : name;
}

QString lineFieldName(int line, const QString& header) {
    static const QHash<QString, QString> columns{
        {u"Mal Hizmet Türü"_s, u"mal/hizmet adı"_s},
        {u"Miktar"_s, u"miktarı"_s},
        {u"Birim"_s, u"birimi"_s},
        {u"Birim Fiyat"_s, u"birim fiyatı"_s},
        {u"İsk%"_s, u"iskonto oranı"_s},
        {u"İsk.Tutarı"_s, u"iskonto tutarı"_s},
        {u"Mal/Hiz.Tutarı"_s, u"mal/hizmet tutarı"_s},
        {u"KDV%"_s, u"KDV oranı"_s},
        {u"KDV Tutarı"_s, u"KDV tutarı"_s},
        {u"Tevkifat Kodu"_s, u"tevkifat kodu"_s},
        {u"Tevkifat Oranı"_s, u"tevkifat oranı"_s},
        {u"Tevkifat Tutarı"_s, u"tevkifat tutarı"_s},
        {u"GTIP KODU"_s, u"GTİP kodu"_s},
        {u"Özel Matrah Nedeni"_s, u"özel matrah nedeni"_s},
        {u"Özel Matrah Tutarı"_s, u"özel matrah tutarı"_s},
    };
    return u"Satır %1 "_s.arg(line) + columns.value(header, header);
}

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
        // A field that failed on several tries is named once.
        QStringList named;
        for (const QString& step : skippedSteps) {
            const QString name = skippedStepName(step);
            if (!named.contains(name))
                named.append(name);
        }
        QString line = u" Atlanan adım sayısı: %1 (ilk atlananlar: %2"_s.arg(skippedSteps.size())
                           .arg(named.mid(0, kNamedSkips).join(u", "_s));
        if (named.size() > kNamedSkips)
            line += u", …"_s;
        lines.append(line + u")"_s);
    }
    return lines.join(u"\r\n"_s);
}

} // namespace tavlix::portal
