// checkChromeVersiyon: keeps the driver matched to the installed browser before an upload.
#pragma once

#include "platform/Result.h"

#include <QString>

namespace tavlix {
class UserPrompt;
}

namespace tavlix::browser {

// Error numbers of "Driver indirilirken bir hata oluştu ! Hata No: ": the store's HTTP status
// when it answered, otherwise one of these.
enum DriverCheckError {
    kErrorFileMissing = 53,    // browser version not readable
    kErrorNoConnection = 7,    // the store could not be reached
    kErrorWriteFailed = 75,    // package not unpacked or driver not written
    kErrorNoDriverInside = 76, // the package holds no chromedriver
};

struct DriverCheckInput {
    QString browserBinary; // asked with --version
    QString driverBinary;  // the driver a session would start, asked with --version
    QString storeUrl;      // TAVLIX_DRIVER_STORE_URL; empty: the store of the version
    // Where the new driver goes. Its version record (ChromeDriverVersiyon.txt) lives beside it,
    // and so does the package while it is unpacked: a program folder copied to another account,
    // or one the user cannot write, says nothing about this user's driver.
    QString perUserDriverPath;
    int lowSpeedSeconds = 15; // a download slower than 1 KiB/s this long ends

    // The user's driver folder, the browser, the driver and the store.
    static DriverCheckInput fromEnvironment();
};

enum class DriverCheckOutcome {
    UpToDate,         // the record matches the browser
    RecordedMatching, // the driver in use already matches the browser: recorded, no download
    Updated,          // a new driver was fetched and installed
    Failed,           // the error message was shown; the old driver is untouched
    Cancelled,        // "İptal" during the download; the old driver is untouched
};

// The version prefix of a dotted version: its first three characters ("102", "99.").
QString versionPrefix(const QString& version);
// The dotted version in the first line of `<binary> --version`; empty when none.
QString programVersion(const QString& binary);
// The last bracketed prefix of a version record's text; empty when none.
QString recordedPrefix(const QString& recordText);
// The driver package version for a prefix of the table (90 … 102); empty outside it.
QString tableDriverVersion(const QString& prefix);
// The store that serves drivers for a browser major version: the older store up to 114, the
// newer one (a different layout) from 115.
QString defaultDriverStore(int major);

DriverCheckOutcome checkChromeVersiyon(const DriverCheckInput& input, UserPrompt& prompt);

} // namespace tavlix::browser
