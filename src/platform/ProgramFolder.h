// Where the program lives and what it takes for "today": the executable's folder (or
// TAVLIX_PROGRAM_DIR) and the real date (or TAVLIX_TODAY=yyyy-mm-dd).
#pragma once

#include <QDate>
#include <QString>

namespace tavlix {

QString programDir();

// Paths of the program folder's tree.
QString dataWorkbookPath(); // <program>/Data/DATA.xlsx
QString companiesDir();     // <program>/Firmalarım
QString programFilesDir();  // <program>/prgDosyaları
QString updaterPath();      // <program>/TavlixUpdate

QDate programToday();

// The address of an outside service: the environment variable when set, else the real default.
QString serviceUrl(const char* environmentVariable, const QString& realDefault);

} // namespace tavlix
