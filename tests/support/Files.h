// File checks shared by the tests: a file left "byte for byte as it was" compares equal here.
#pragma once

#include <QByteArray>
#include <QString>

namespace tavlix::test {

// SHA-256 of the file's bytes; empty when the file cannot be read.
QByteArray fileDigest(const QString& path);

} // namespace tavlix::test
