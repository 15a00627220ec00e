// The program's version number and the text shown for it (103 → "1.0.3").
#pragma once

#include <QString>

namespace tavlix {

// From the CMake project version (src/CMakeLists.txt).
constexpr int kVersionNumber = TAVLIX_VERSION_NUMBER;

// The first, second and third digit of the version number joined by dots.
inline QString versionText(int number = kVersionNumber) {
    const QString digits = QString::number(number);
    return QString(digits.at(0)) + u'.' + digits.at(1) + u'.' + digits.at(2);
}

} // namespace tavlix
