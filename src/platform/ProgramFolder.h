// Where the program keeps the user's files and what it takes for "today": the program folder
// (TAVLIX_PROGRAM_DIR, a build or portable folder, or the user's documents folder) and the real
// date (or TAVLIX_TODAY=yyyy-mm-dd).
#pragma once

#include "platform/Result.h"

#include <QDate>
#include <QString>

namespace tavlix {

// The one decision of the program folder: `fromEnvironment` when set; else `executableDir` when
// it holds Data/ (a build tree or a portable copy); else `<documentsDir>/Tavlix` (an installed
// Tavlix, whose executable folder belongs to the package manager).
QString chooseProgramDir(const QString& fromEnvironment, const QString& executableDir,
                         const QString& documentsDir);

// The folder chosen above for this process, from TAVLIX_PROGRAM_DIR, the executable's folder and
// the desktop's documents folder.
QString programDir();

// Makes the program folder when it is missing and checks that the user may write in it; the
// error names the folder in Turkish. Writes nothing outside the folder's own path.
Result<void> prepareProgramDir(const QString& dir);

// Paths of the program folder's tree.
QString dataWorkbookPath(); // <program>/Data/DATA.xlsx
QString companiesDir();     // <program>/Firmalarım
QString programFilesDir();  // <program>/prgDosyaları
// TavlixUpdate: in the program folder, else beside the running executable (an installed Tavlix
// keeps it with the package's files).
QString updaterPath();

QDate programToday();

// The address of an outside service: the environment variable when set, else the real default.
QString serviceUrl(const char* environmentVariable, const QString& realDefault);

} // namespace tavlix
