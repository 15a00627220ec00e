// Bringing the user's files of another program folder (a build tree, a portable copy) into this
// one: Data/, Firmalarım/ and prgDosyaları/, copied and compared, the original left untouched.
#pragma once

#include <QString>

namespace tavlix::store {

// The first start made <programDir>/Data/DATA.xlsx empty: remembered by its SHA-256, so that an
// import may still set it aside for the user's own as long as nobody has changed it.
void markFreshDataWorkbook(const QString& programDir);

struct DataImportReport {
    bool copied = false;
    int files = 0;   // files copied (or found already there, equal)
    QString message; // Turkish: what was copied from where, or why nothing was
};

// Copies the three folders of `source` into `target`. Refused, with nothing written, when the
// source holds no Data/DATA.xlsx, is the target itself or holds a link, when the target has a
// DATA.xlsx other than the untouched empty one of its first start, or when any file would be
// written over a different one. Each copy is compared with its original; on any failure every
// file and folder the import made is removed again and the empty workbook put back.
DataImportReport importProgramData(const QString& source, const QString& target);

} // namespace tavlix::store
