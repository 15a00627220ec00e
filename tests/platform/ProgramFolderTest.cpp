// Where the program keeps the user's files: the variable, a portable folder, the documents folder
// of an installed Tavlix, and a documents folder that cannot take it (named, nothing written).
#include "platform/ProgramFolder.h"

#include "support/Files.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace tavlix {
namespace {

QStringList everything(const QString& root) {
    QStringList paths;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        paths << it.next();
    paths.sort();
    return paths;
}

TEST(ProgramFolder, ChosenByVariablePortableFolderOrDocumentsAndRefusedWhenUnusable) {
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const auto at = [&](const char16_t* path) { return temp.path() + QString::fromUtf16(path); };
    ASSERT_TRUE(QDir().mkpath(at(u"/usr/lib/tavlix")) && QDir().mkpath(at(u"/portable/Data")));
    test::writeFile(at(u"/dosya"), "plain files where a folder would have to be");
    test::writeFile(at(u"/evrak/Tavlix"), "");
    ASSERT_TRUE(QDir().mkpath(at(u"/kapali")));
    ::chmod(QFile::encodeName(at(u"/kapali")).constData(), 0500);
    const QString exe = at(u"/usr/lib/tavlix");

    const struct {
        const char* name;
        QString env, exeDir, documents, expected;
        bool usable;
        bool withoutRootOnly; // root writes anywhere; the file cases cover it there
    } cases[] = {
        {"variable", at(u"/kendi/"), at(u"/portable"), at(u"/B"), at(u"/kendi"), true, false},
        {"portable folder", {}, at(u"/portable"), at(u"/B"), at(u"/portable"), true, false},
        {"no documents folder yet", {}, exe, at(u"/ev/B"), at(u"/ev/B/Tavlix"), true, false},
        {"documents under a file", {}, exe, at(u"/dosya/B"), at(u"/dosya/B/Tavlix"), false, false},
        {"a file named Tavlix", {}, exe, at(u"/evrak"), at(u"/evrak/Tavlix"), false, false},
        {"documents not writable", {}, exe, at(u"/kapali"), at(u"/kapali/Tavlix"), false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.withoutRootOnly && ::geteuid() == 0)
            continue;
        const QString chosen = chooseProgramDir(c.env, c.exeDir, c.documents);
        EXPECT_EQ(chosen, c.expected);
        const QStringList before = everything(temp.path());
        const Result<void> prepared = prepareProgramDir(chosen);
        EXPECT_EQ(prepared.ok(), c.usable) << prepared.message().toStdString();
        EXPECT_EQ(QFileInfo(chosen).isDir(), c.usable);
        if (!c.usable) {
            EXPECT_TRUE(prepared.message().contains(chosen)) << prepared.message().toStdString();
            EXPECT_EQ(everything(temp.path()), before) << "nothing may be written anywhere";
        }
    }
    ::chmod(QFile::encodeName(at(u"/kapali")).constData(), 0700);
}

} // namespace
} // namespace tavlix
