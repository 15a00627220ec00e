// Bringing an old program folder's Data/, Firmalarım/ and prgDosyaları/ into the user's folder:
// copied byte for byte, or refused with the reason and nothing written on either side.
#include "store/DataImport.h"

#include "support/Files.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

using namespace Qt::StringLiterals;

namespace tavlix::store {
namespace {

// Every folder and file under `root` with the digest of its bytes (folders: empty).
std::map<QString, QByteArray> snapshot(const QString& root) {
    std::map<QString, QByteArray> state;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        state[entry.filePath().mid(root.size())] =
            entry.isDir() ? QByteArray() : test::fileDigest(entry.filePath());
    }
    return state;
}

enum class Target { Empty, FreshWorkbook, ChangedFreshWorkbook, OwnWorkbook, Conflict };

TEST(DataImport, CopiesEveryFileOrNothingAndSaysWhy) {
    const struct {
        const char* name;
        Target target;
        bool programFolder; // the source holds Data/DATA.xlsx
        bool link;          // the source holds a symbolic link
        bool copied;
        const char* says;
    } cases[] = {
        {"empty user folder", Target::Empty, true, false, true, "kopyalandı"},
        {"first start's empty workbook", Target::FreshWorkbook, true, false, true, "kenara alındı"},
        {"that workbook changed since", Target::ChangedFreshWorkbook, true, false, false,
         "kendi DATA.xlsx"},
        {"own workbook", Target::OwnWorkbook, true, false, false, "kendi DATA.xlsx"},
        {"a different file in the way", Target::Conflict, true, false, false, "zaten var"},
        {"not a program folder", Target::Empty, false, false, false, "program klasörü değil"},
        {"a link in the source", Target::Empty, true, true, false, "bağlantı"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir temp;
        ASSERT_TRUE(temp.isValid());
        const QString source = temp.path() + u"/eski/Tavlix"_s;
        const QString target = temp.path() + u"/Belgeler/Tavlix"_s;
        if (c.programFolder)
            test::writeFile(source + u"/Data/DATA.xlsx"_s, "eski kitap");
        test::writeFile(source + u"/Data/DATA.xlsx.20250101-101010"_s, "daha eski");
        test::writeFile(source + u"/Firmalarım/Alfa Ltd/Satış Faturaları/Pdf/F1.pdf"_s,
                        QByteArray(200000, 'p'));
        test::writeFile(source + u"/prgDosyaları/.gizli"_s, "gizli");
        ASSERT_TRUE(QDir().mkpath(source + u"/Firmalarım/Alfa Ltd/Alış Faturaları"_s));
        if (c.link) {
            ASSERT_TRUE(QFile::link(u"/etc"_s, source + u"/Firmalarım/etc"_s));
        }

        ASSERT_TRUE(QDir().mkpath(target));
        if (c.target == Target::FreshWorkbook || c.target == Target::ChangedFreshWorkbook ||
            c.target == Target::OwnWorkbook)
            test::writeFile(target + u"/Data/DATA.xlsx"_s, "ilk açılışın boş kitabı");
        if (c.target == Target::FreshWorkbook || c.target == Target::ChangedFreshWorkbook)
            markFreshDataWorkbook(target);
        if (c.target == Target::ChangedFreshWorkbook)
            test::writeFile(target + u"/Data/DATA.xlsx"_s, "kullanıcı bir firma yazdı");
        if (c.target == Target::Conflict)
            test::writeFile(target + u"/prgDosyaları/.gizli"_s, "başka");

        const auto sourceBefore = snapshot(source);
        const auto targetBefore = snapshot(target);
        const DataImportReport report = importProgramData(source, target);
        EXPECT_EQ(report.copied, c.copied) << report.message.toStdString();
        EXPECT_TRUE(report.message.contains(QString::fromUtf8(c.says)))
            << report.message.toStdString();
        EXPECT_EQ(snapshot(source), sourceBefore) << "the original stays as it was";
        if (!c.copied) {
            EXPECT_TRUE(report.message.contains(u"Hiçbir şey kopyalanmadı."_s));
            EXPECT_EQ(snapshot(target), targetBefore);
            continue;
        }
        auto after = snapshot(target);
        for (const auto& [path, digest] : sourceBefore) {
            EXPECT_EQ(after[path], digest) << path.toStdString();
            after.erase(path);
        }
        // Beyond the copies, only the first start's workbook set aside.
        if (c.target == Target::FreshWorkbook) {
            ASSERT_EQ(after.size(), 1u);
            EXPECT_EQ(after.begin()->second, targetBefore.at(u"/Data/DATA.xlsx"_s));
            EXPECT_TRUE(report.message.contains(after.begin()->first.mid(6)));
        } else {
            EXPECT_TRUE(after.empty());
        }
    }
}

} // namespace
} // namespace tavlix::store
