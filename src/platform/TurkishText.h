// Turkish letter case, whatever the system locale: i ↔ İ and ı ↔ I.
#pragma once

#include <QString>

namespace tavlix {

QString turkishUpper(const QString& text);
QString turkishLower(const QString& text);

} // namespace tavlix
