// "FATURAYA EKLE" without widgets: the checks of the editor's fields and the new row of the
// invoice's line list, with the extra-tax column pairs the line needs.
#pragma once

#include "lines/LineComputation.h"

#include <QString>

namespace tavlix {
class ReportModel;
}

namespace tavlix::lines {

// The refusal of a withholding line on another type, with what the user can do instead.
inline constexpr char16_t kWithholdingRefusal[] =
    u"Tevkifata tabi ürünler bu faturaya eklenemez ! Bu ürünü bir TEVKİFAT faturasına ekleyin "
    u"ya da satır penceresinde tevkifat kodunu silerek ekleyin.";

struct AddLineOutcome {
    enum class Kind {
        Added,        // the row was appended; the caller recomputes the totals next
        TypeRefused,  // a message box (warning icon, title "Tavlix") shows `boxText`
        FieldRefused, // the message line shows `message`
    };
    Kind kind = Kind::Added;
    QString boxText;
    QString message;
    int row = -1; // the appended row's index in the model
};

// Runs the checks in their order and, when they pass, appends the line to `lines`. `fields` is
// updated as the window shows it afterwards: empty other-tax rates become "0", and a refused
// quantity, unit price or special base amount is emptied, a refused discount rate set to "0".
AddLineOutcome addLine(LineFields& fields, const QString& invoiceType, ReportModel& lines);

} // namespace tavlix::lines
