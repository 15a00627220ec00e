#include "store/DataWorkbook.h"

#include <QDir>
#include <QFileInfo>

#include <iterator>

using namespace Qt::StringLiterals;

namespace tavlix::store {

const QStringList& prgHeaders() {
    static const QStringList h = {u"Parametre Adı"_s, u"Ana Kullanıcı Bilgileri"_s, u"Firma 2"_s,
                                  u"Firma 3"_s};
    return h;
}

const QStringList& prgLabels() {
    static const QStringList l = {
        u"KULLANICI ADI*"_s,
        u"KULLANICI ŞİFRESİ"_s,
        u"KULLANICI ADRESİ"_s,
        u"KULLANICI E-MAIL"_s,
        u"KULLANICI TEL."_s,
        u"E-ARŞİV KULLANICI VKN*"_s,
        u"E-ARŞİV KULLANICI ADI*"_s,
        u"E-ARŞİV KULL. ŞİFRESİ*"_s,
        u"MÜK.DEF.TÜRÜ(B/İ/S/Z/D)*"_s,
        u"GMAIL"_s,
        u"GMAIL ŞİFRESİ"_s,
        u"YANDEX MAIL"_s,
        u"YANDEX MAIL ŞİFRESİ"_s,
        u"PROGRAM MODU(S/M)"_s,
        u"FATURA DİPNOTU1"_s,
        u"FATURA DİPNOTU2"_s,
        u"FATURA DİPNOTU3"_s,
        u"FATURADA VADE(E/H)BOŞ=H"_s,
        u"FATURADA ÖDEME ŞEKLİ(E/H)BOŞ=H"_s,
        u"DİPNOTTA KDV MATRAH(E/H)BOŞ=E"_s,
        u"YAZI İLE TUTAR(E/H)BOŞ=E"_s,
        u"HIZ DÜŞÜR %(TAM SAYI)"_s,
    };
    return l;
}

const QStringList& kodHeaders() {
    static const QStringList h = {
        u"TEVKİFAT KODU"_s,     u"TEVKİFAT AÇIKLAMASI"_s, u"KDVTEVK ORANI"_s,
        u"VERGİ HESAP ŞEKLİ"_s, u"DİĞER VERGİ KODU"_s,    u"DİĞER VERGİ AÇIKLAMASI"_s,
        u"FATURA TÜR KODU"_s,   u"FATURA TÜR ADI"_s,      u"ÜLKE KODU"_s,
        u"ÜLKE ADI"_s,          u"PARA B.KODU"_s,         u"PARA B.ADI"_s,
        u"ÖZEL MATRAH KODU"_s,  u"BİRİM KODU"_s,          u"BİRİM ADI"_s,
        u"KDV KODU"_s,          u"KDV ORANI"_s,           u"HEADERS"_s,
    };
    return h;
}

const QStringList& stockHeaders() {
    static const QStringList h = {
        u"ÜRÜN/HİZ.STOK KODU"_s, u"FİLİTRE KODU"_s,
        u"ÜRÜN/HİZMET ADI*"_s,   u"BİRİM"_s,
        u"BİRİM FİYAT"_s,        u"İSK ORANI"_s,
        u"KDV ORANI"_s,          u"KDV TEVK.KODU"_s,
        u"TEVK. ORANI"_s,        u"DİĞER VERGİ ADI1"_s,
        u"DİĞER VERGİ ORANI1"_s, u"DİĞER VERGİ ADI2"_s,
        u"DİĞER VERGİ ORANI2"_s, u"GTIP KODU"_s,
        u"ÖZEL MAT. NEDENİ"_s,   u"ÖZEL MAT. TUTARI"_s,
    };
    return h;
}

const QStringList& customerHeaders() {
    static const QStringList h = {
        u"MÜŞTERİ ÜNVANI*"_s, u"MÜŞTERİ ADI*"_s,   u"MÜŞTERİ SOYADI*"_s, u"FATURA ADRESİ*"_s,
        u"ÜLKESİ*"_s,         u"VERGİ DAİRESİ*"_s, u"VERGİ/TCK NO*"_s,   u"E-POSTA ADRESİ"_s,
        u"TELEFON NO"_s,      u"FAKS NO"_s,        u"YETKİLİ KİŞİ"_s,    u"MUH.HES.KODU"_s,
    };
    return h;
}

const std::vector<HeaderStyle>& headerStyles() {
    static const std::vector<HeaderStyle> styles = {
        {DataSheet::Programs, prgHeaders(), Rgb{0, 255, 0}, Rgb{0, 0, 0}, std::nullopt},
        {DataSheet::Codes, kodHeaders(), Rgb{255, 255, 0}, Rgb{0, 0, 0}, std::nullopt},
        {DataSheet::Stock, stockHeaders(), Rgb{0, 255, 0}, std::nullopt, 46},
        {DataSheet::Customers, customerHeaders(), Rgb{255, 0, 0}, std::nullopt, 15},
    };
    return styles;
}

Result<void> createDataWorkbook(const QString& path) {
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        return makeError(ErrorCode::Io,
                         u"Çalışma kitabı kaydedilemedi: %1 (klasör oluşturulamadı)"_s.arg(path));
    }
    auto book = Workbook::create();
    for (const HeaderStyle& style : headerStyles()) {
        Worksheet& sheet = book->addSheet();
        sheet.setName(style.sheet);
        for (int i = 0; i < style.headers.size(); ++i)
            sheet.writeText(1, i + 1, style.headers[i]);
        if (style.sheet == DataSheet::Programs) {
            for (int i = 0; i < prgLabels().size(); ++i)
                sheet.writeText(PrgRow::UserName + i, PrgCol::Label, prgLabels()[i]);
        }
        // The VAT box lists the rates of this column: the earlier ones too, for returns and
        // corrections of invoices issued before today's rates.
        if (style.sheet == DataSheet::Codes) {
            const double rates[] = {0, 1, 8, 10, 18, 20};
            for (int i = 0; i < int(std::size(rates)); ++i)
                sheet.writeNumber(2 + i, KodCol::VatRate, rates[i]);
        }
        RangeFormat format;
        format.bold = true;
        format.fontColor = style.fontColor;
        format.fillColor = style.fillColor;
        format.fillPaletteIndex = style.fillPaletteIndex;
        format.centerVertically = true;
        format.autoFitColumns = true;
        const QString last = columnName(int(style.headers.size())) + u"1"_s;
        if (Result<void> r = sheet.formatRange(u"A1"_s, last, format); !r)
            return r;
    }
    return book->saveAs(path);
}

QStringList readColumnUntilEmpty(const Worksheet& sheet, int column, int firstRow) {
    QStringList out;
    for (int row = std::max(1, firstRow);; ++row) {
        const QString text = sheet.text(row, column);
        if (text.isEmpty())
            break;
        out.append(text);
    }
    return out;
}

} // namespace tavlix::store
