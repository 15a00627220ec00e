#include "invoice/InvoiceType.h"

using namespace Qt::StringLiterals;

namespace tavlix {

namespace {
constexpr Qt::Alignment kLeft = Qt::AlignLeft;
constexpr Qt::Alignment kCentre = Qt::AlignHCenter;
constexpr Qt::Alignment kRight = Qt::AlignRight;
} // namespace

bool isKnownInvoiceType(int typeIndex) {
    return typeIndex >= 0 && typeIndex < kInvoiceTypeCount;
}

QString invoiceTypeText(int typeIndex) {
    switch (typeIndex) {
    case Satis:
        return u"SATIŞ"_s;
    case Iade:
        return u"İADE"_s;
    case Tevkifat:
        return u"TEVKİFAT"_s;
    case Istisna:
        return u"İSTİSNA"_s;
    case OzelMatrah:
        return u"ÖZEL MATRAH"_s;
    case IhracKayitli:
        return u"İHRAÇ KAYITLI"_s;
    default:
        return QString();
    }
}

int invoiceTypeFromText(const QString& text) {
    for (int i = 0; i < kInvoiceTypeCount; ++i) {
        if (invoiceTypeText(i) == text)
            return i;
    }
    return -1;
}

QList<ColumnSpec> baseLineColumns() {
    return {
        {u"s"_s, kLeft, 290},
        {u"Mal Hizmet Türü"_s, kLeft, 4200},
        {u"Miktar"_s, kRight, 900},
        {u"Birim"_s, kCentre, 900},
        {u"Birim Fiyat"_s, kRight, 1200},
        {u"İsk%"_s, kCentre, 650},
        {u"İsk.Tutarı"_s, kRight, 1200},
        {u"Mal/Hiz.Tutarı"_s, kRight, 1200},
        {u"KDV%"_s, kCentre, 700},
        {u"KDV Tutarı"_s, kRight, 1100},
    };
}

QList<ColumnSpec> typeLineColumns(int typeIndex) {
    switch (typeIndex) {
    case Tevkifat:
        return {
            {u"Tevkifat Kodu"_s, kLeft, 1300},
            {u"Tevkifat Oranı"_s, kCentre, 1350},
            {u"Tevkifat Tutarı"_s, kRight, 1400},
        };
    case Istisna:
        return {{u"GTIP KODU"_s, kRight, 1000}};
    case OzelMatrah:
        return {
            {u"Özel Matrah Nedeni"_s, kRight, 1000},
            {u"Özel Matrah Tutarı"_s, kRight, 1000},
        };
    default:
        return {};
    }
}

QColor lineColor(int typeIndex) {
    switch (typeIndex) {
    case Iade:
        return QColor(255, 0, 0);
    case Tevkifat:
        return QColor(0, 0, 255);
    default:
        return QColor(0, 0, 0);
    }
}

bool showsReturnReferences(int typeIndex) {
    return typeIndex == Iade;
}

int firstExtraTaxColumn(int typeIndex) {
    return kBaseColumnCount + static_cast<int>(typeLineColumns(typeIndex).size());
}

void temelfatura(ReportModel& lines) {
    lines.setColumns(baseLineColumns());
    lines.setTextColor(QColor(0, 0, 0));
}

void applyInvoiceType(ReportModel& lines, int typeIndex) {
    temelfatura(lines);
    if (!isKnownInvoiceType(typeIndex))
        return;
    for (const ColumnSpec& column : typeLineColumns(typeIndex))
        lines.addColumn(column);
    lines.setTextColor(lineColor(typeIndex));
}

} // namespace tavlix
