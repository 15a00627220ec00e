// LibreOffice as the other spreadsheet program of the tests: headless conversions with a private
// profile, so no user settings are read or left behind.
#pragma once

#include <QString>

namespace tavlix::test {

// True when soffice is installed (Debian's libreoffice-calc-nogui).
bool haveLibreOffice();

// Runs `soffice --convert-to <filter>` on `input`, writing into `outDir`; false (and a failed
// test) when the conversion does not finish within three minutes or fails.
bool convertWithLibreOffice(const QString& input, const QString& filter, const QString& outDir);

} // namespace tavlix::test
