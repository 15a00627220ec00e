#include "invoice/ReturnReferences.h"

using namespace Qt::StringLiterals;

namespace tavlix::returns {

namespace {
constexpr int kPortalSerialLength = 16;

bool isAllowedSerialChar(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 47 && u <= 57) || (u >= 65 && u <= 90) || (u >= 97 && u <= 122);
}

QString twoDigits(int n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}
} // namespace

QStringList yearList(const QDate& today) {
    QStringList years;
    for (int y = today.year() - 4; y <= today.year(); ++y)
        years << QString::number(y);
    return years;
}

QStringList monthList() {
    QStringList months;
    for (int m = 1; m <= 12; ++m)
        months << twoDigits(m);
    return months;
}

int daysInMonth(int year, int month) {
    switch (month) {
    case 1:
    case 3:
    case 5:
    case 7:
    case 8:
    case 10:
    case 12:
        return 31;
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    case 2: {
        const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        return leap ? 29 : 28;
    }
    default:
        return 0;
    }
}

QStringList dayList(const QString& year, const QString& month) {
    bool yearOk = false;
    int y = year.toInt(&yearOk);
    if (!yearOk)
        y = 1; // a common year
    QStringList days;
    const int count = daysInMonth(y, month.toInt());
    for (int d = 1; d <= count; ++d)
        days << twoDigits(d);
    return days;
}

SerialFilter filterSerial(const QString& text) {
    SerialFilter out{text, QString()};
    for (;;) {
        QString next = out.text;
        if (next == u"/"_s ||
            (!next.isEmpty() && next.front().isDigit() && next.front().unicode() < 128)) {
            out.status = u"Seri no alanı bir harf ile başlamalıdır..."_s;
            next.clear();
        }
        next.removeIf([](QChar c) { return !isAllowedSerialChar(c); });
        if (next == out.text)
            return out;
        out.text = next;
    }
}

QString serialOf(const QString& reference) {
    const qsizetype at = reference.indexOf(u"---"_s);
    return at < 0 ? reference : reference.left(at);
}

AddResult addReference(const AddRequest& request) {
    AddResult out;
    if (request.serial.isEmpty() || request.day.isEmpty() || request.month.isEmpty())
        return out;

    // The filter lets lower-case letters through; the portal rule applies to the serial as it
    // will be stored, so "gib…" is checked like "GIB…".
    QString serial = request.serial.toUpper();
    if (serial.startsWith(u"GIB"_s)) {
        const qsizetype length = serial.size();
        const QString head = u"eArşiv seri no 16 hane olmalıdır..!  ("_s;
        if (length < kPortalSerialLength) {
            out.kind = AddResult::Kind::Refused;
            out.status =
                head + QString::number(kPortalSerialLength - length) + u") hane noksan.."_s;
            out.serial = serial;
            return out;
        }
        if (length > kPortalSerialLength) {
            out.kind = AddResult::Kind::Refused;
            out.status = head + QString::number(length - kPortalSerialLength) + u") hane fazla.."_s;
            out.serial = serial;
            return out;
        }
        if (serial.right(9) == u"000000000"_s) {
            out.kind = AddResult::Kind::Ignored;
            return out;
        }
    }

    const qsizetype slash = serial.indexOf(u'/');
    if (slash >= 0) {
        const QString before = serial.left(slash);
        const QString after = serial.mid(slash + 1);
        const qsizetype zeros =
            kPortalSerialLength - before.size() - request.year.size() - after.size();
        serial = before + request.year + QString(std::max<qsizetype>(0, zeros), u'0') + after;
    }

    out.serial = serial;
    out.date = request.day + u"/"_s + request.month + u"/"_s + request.year;
    const QString reference = serial + u"---"_s + out.date;
    for (const QString& existing : request.references) {
        if (existing == reference) {
            out.kind = AddResult::Kind::Refused;
            out.status = u"Bu fatura zaten eklenmiş...!"_s;
            return out;
        }
        if (serialOf(existing) == serial) {
            out.kind = AddResult::Kind::Refused;
            out.status = u"Bu serino zaten eklenmiş...!"_s;
            return out;
        }
    }

    out.kind = AddResult::Kind::Added;
    out.reference = reference;
    out.status = u"Eklenen : "_s + QString::number(request.references.size() + 1);
    return out;
}

} // namespace tavlix::returns
