// unzip: files an invoice package downloaded from the portal into the company's folders.
#pragma once

#include "platform/Result.h"

#include <QString>

namespace tavlix::portal {

struct UnzipInput {
    QString programDir;
    QString company;
    QString firstPart;  // the invoice's first name part
    QString secondPart; // and its second
    QString package;    // the package's file name in Temp
    QString ettn;       // the invoice the package must hold
};

// Unpacks the given package of the company's "Satış Faturaları/Temp" beside it, checks that it
// holds the ETTN, and copies its HTML and XML and the package under their new names into Html,
// Xml and Zip, each through a temporary name renamed into place. Only when every copy is in place
// is the package removed from Temp; nothing else in Temp and nothing already filed is touched.
Result<QString> unzip(const UnzipInput& input); // the package's file name

} // namespace tavlix::portal
