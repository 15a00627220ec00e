// The company folder tree under <program>/Firmalarım.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace tavlix::store {

// A company name may become a folder only as one plain path component: not empty, not "." or
// "..", no "/" or "\", no control characters.
bool isSafeFolderName(const QString& name);

// The sub-folders of a company folder, in the order they are made.
const QStringList& companySubfolders();

// <programDir>/Firmalarım/<company>, for a name already known to be safe.
QString companyFolder(const QString& programDir, const QString& company);

// Every path into a company's folder goes through here: <programDir>/Firmalarım/<company> when
// the name is safe, nothing for a name that would lead elsewhere (a typed "../x", say).
std::optional<QString> safeCompanyFolder(const QString& programDir, const QString& company);

struct FolderTreeReport {
    QStringList refusedNames;  // unsafe company names: no folder made for them
    QStringList failedFolders; // folders that could not be made (full paths)
    bool ok() const { return refusedNames.isEmpty() && failedFolders.isEmpty(); }
};

// For each company in order: when its folder exists nothing is done (its sub-folders are not
// examined); otherwise the folder and its sub-folders are made.
FolderTreeReport checkNewUser(const QString& programDir, const QStringList& companies);

} // namespace tavlix::store
