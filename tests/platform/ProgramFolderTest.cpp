// Where the program keeps the user's files: the variable, a portable folder, the documents folder
// of an installed Tavlix, and a documents folder that cannot take it (named, nothing written).
#include "platform/ProgramFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
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

TEST(ProgramFolder, ChosenOnceByVariablePortableFolderOrDocuments) {
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QString root = temp.path();
    const QString exe = root + u"/usr/lib/tavlix"_s;
    const QString portable = root + u"/portable"_s;
    ASSERT_TRUE(QDir().mkpath(exe) && QDir().mkpath(portable + u"/Data"_s));
    // Plain files where a folder would have to be.
    for (const QString& file : {root + u"/dosya"_s, root + u"/evrak/Tavlix"_s}) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(file).path()));
        QFile blocker(file);
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }
    const QString closed = root + u"/kapali"_s;
    ASSERT_TRUE(QDir().mkpath(closed));
    ::chmod(QFile::encodeName(closed).constData(), 0500);

    const struct {
        const char* name;
        QString env, exeDir, documents;
        QString expected;
        bool usable;
        bool onlyWithoutRoot; // root writes anywhere; the file cases cover it there
    } cases[] = {
        {"variable wins", root + u"/kendi/"_s, portable, root + u"/Belgeler"_s, root + u"/kendi"_s,
         true, false},
        {"portable folder with Data/", {}, portable, root + u"/Belgeler"_s, portable, true, false},
        {"installed, no documents folder yet",
         {},
         exe,
         root + u"/ev/Belgeler"_s,
         root + u"/ev/Belgeler/Tavlix"_s,
         true,
         false},
        {"documents under a file",
         {},
         exe,
         root + u"/dosya/Belgeler"_s,
         root + u"/dosya/Belgeler/Tavlix"_s,
         false,
         false},
        {"a file where Tavlix goes",
         {},
         exe,
         root + u"/evrak"_s,
         root + u"/evrak/Tavlix"_s,
         false,
         false},
        {"documents not writable", {}, exe, closed, closed + u"/Tavlix"_s, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.onlyWithoutRoot && ::geteuid() == 0)
            continue;
        const QString chosen = chooseProgramDir(c.env, c.exeDir, c.documents);
        EXPECT_EQ(chosen, c.expected);
        const QStringList before = everything(root);
        const Result<void> prepared = prepareProgramDir(chosen);
        EXPECT_EQ(prepared.ok(), c.usable) << prepared.message().toStdString();
        if (c.usable) {
            EXPECT_TRUE(QFileInfo(chosen).isDir());
        } else {
            EXPECT_TRUE(prepared.message().contains(chosen)) << prepared.message().toStdString();
            EXPECT_EQ(everything(root), before) << "nothing may be written anywhere";
        }
    }
    ::chmod(QFile::encodeName(closed).constData(), 0700);
}

} // namespace
} // namespace tavlix
