// Purchase-invoice references of a return invoice: the date lists, the serial input filter and
// the checks that build one reference "serial---dd/mm/yyyy".
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace tavlix::returns {

// Years from four years before `today` up to its year, ascending.
QStringList yearList(const QDate& today);
// "01" … "12".
QStringList monthList();
// Length of a month with the Gregorian leap-year rule; 0 for a month outside 1..12.
int daysInMonth(int year, int month);
// "01" up to the month's length; the texts are those shown in the year and month boxes
// (an unreadable year counts as a common year, an unreadable month gives no days).
QStringList dayList(const QString& year, const QString& month);

// What the serial filter makes of a changed serial text.
struct SerialFilter {
    QString text;
    QString status; // set only when the text had to be emptied; empty otherwise
};
// Empties a text that is "/" or starts with a digit (with "Seri no alanı bir harf ile
// başlamalıdır..."), then keeps only "/", digits and ASCII letters. Applied again while the
// result changes, as each change of the field runs the filter anew.
SerialFilter filterSerial(const QString& text);

// The serial part of a reference: the text before "---".
QString serialOf(const QString& reference);

struct AddRequest {
    QString serial;
    QString day;
    QString month;
    QString year;
    QStringList references; // the references already added
};

struct AddResult {
    enum class Kind {
        Incomplete, // serial, day or month missing: nothing happens
        Ignored,    // the untouched "GIB" template: nothing happens, no message
        Refused,    // `status` says why
        Added,
    };
    Kind kind = Kind::Incomplete;
    QString status;    // the status line after the attempt
    QString serial;    // Refused/Added: the upper-case serial checked
    QString date;      // "dd/mm/yyyy"
    QString reference; // Added: serial + "---" + date
};

// Checks one reference against the portal serial rule and the references already added.
// `status` of an Added result is "Eklenen : " + the new count.
AddResult addReference(const AddRequest& request);

} // namespace tavlix::returns
