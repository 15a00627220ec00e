#include "platform/TurkishText.h"

#include <QLocale>

namespace tavlix {

QString turkishUpper(const QString& text) {
    return QLocale(QLocale::Turkish).toUpper(text);
}

QString turkishLower(const QString& text) {
    return QLocale(QLocale::Turkish).toLower(text);
}

} // namespace tavlix
