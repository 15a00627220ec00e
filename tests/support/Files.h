// File checks shared by the tests: a file left "byte for byte as it was" compares equal here.
#pragma once

#include <QByteArray>
#include <QString>

#include <map>

namespace tavlix::test {

// SHA-256 of the file's bytes; empty when the file cannot be read.
QByteArray fileDigest(const QString& path);

// The file's bytes; "<yok>" when it cannot be read, so a missing file never equals a content.
QByteArray readAll(const QString& path);
// Writes the bytes, making the folders on the way; the test fails when that is not possible.
void writeFile(const QString& path, const QByteArray& data);
// A zip package in memory: entry name → content.
QByteArray makeZip(const std::map<QString, QByteArray>& entries);

} // namespace tavlix::test
