// The six invoice types by their position in the type list, and what each switches on in the
// line list: its own columns, the line colour and the return-reference button.
#pragma once

#include "widgets/ReportModel.h"

#include <QColor>
#include <QList>
#include <QString>

namespace tavlix {

enum InvoiceType { Satis = 0, Iade, Tevkifat, Istisna, OzelMatrah, IhracKayitli };

constexpr int kInvoiceTypeCount = 6;
// Number of base columns that temelfatura lays out (sub-items 0 … 9).
constexpr int kBaseColumnCount = 10;

// 0-based positions of the base columns in every line.
namespace linecol {
constexpr int Number = 0;       // "s"
constexpr int Name = 1;         // "Mal Hizmet Türü"
constexpr int Quantity = 2;     // "Miktar"
constexpr int Unit = 3;         // "Birim"
constexpr int UnitPrice = 4;    // "Birim Fiyat"
constexpr int DiscountRate = 5; // "İsk%"
constexpr int Discount = 6;     // "İsk.Tutarı"
constexpr int Amount = 7;       // "Mal/Hiz.Tutarı"
constexpr int VatRate = 8;      // "KDV%"
constexpr int Vat = 9;          // "KDV Tutarı"
// Type columns
constexpr int WithholdingCode = 10;   // TEVKİFAT "Tevkifat Kodu"
constexpr int WithholdingRate = 11;   // TEVKİFAT "Tevkifat Oranı"
constexpr int WithholdingAmount = 12; // TEVKİFAT "Tevkifat Tutarı"
constexpr int CustomsCode = 10;       // İSTİSNA "GTIP KODU"
constexpr int SpecialBaseReason = 10; // ÖZEL MATRAH "Özel Matrah Nedeni"
constexpr int SpecialBaseAmount = 11; // ÖZEL MATRAH "Özel Matrah Tutarı"
} // namespace linecol

// True for positions 0 … 5.
bool isKnownInvoiceType(int typeIndex);

// The display text of a type: "SATIŞ", "İADE", "TEVKİFAT", "İSTİSNA", "ÖZEL MATRAH",
// "İHRAÇ KAYITLI"; empty for an unknown position.
QString invoiceTypeText(int typeIndex);
// The position of a display text, -1 when none matches.
int invoiceTypeFromText(const QString& text);

// The ten base columns of every invoice.
QList<ColumnSpec> baseLineColumns();
// The columns a type adds right after the base columns (none for an unknown position).
QList<ColumnSpec> typeLineColumns(int typeIndex);
// Red for İADE, blue for TEVKİFAT, black otherwise.
QColor lineColor(int typeIndex);
// Whether the return button Command5 and the return count Label20 are shown (İADE only).
bool showsReturnReferences(int typeIndex);
// 0-based column of the first extra-tax rate column: 10, 11 for İSTİSNA, 12 for ÖZEL MATRAH,
// 13 for TEVKİFAT (10 when no type is chosen).
int firstExtraTaxColumn(int typeIndex);

// Rebuilds the base column layout and sets the text colour to black; rows stay.
void temelfatura(ReportModel& lines);
// temelfatura, then the type's columns and line colour; for -1 (or an unknown position) only
// temelfatura.
void applyInvoiceType(ReportModel& lines, int typeIndex);

} // namespace tavlix
