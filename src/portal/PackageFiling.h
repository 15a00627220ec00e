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
};

// Unpacks the last package in the company's "Satış Faturaları/Temp", copies its HTML and XML and
// the package under their new names into Html, Xml and Zip, and empties Temp. A package that
// cannot be read (or holds unsafe names) leaves Temp as it was; the error says so.
Result<QString> unzip(const UnzipInput& input); // the package's file name

} // namespace tavlix::portal
