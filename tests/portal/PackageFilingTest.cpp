// The unpacking of a downloaded invoice package into the company's folders.
#include "portal/PackageFiling.h"

#include "support/Files.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/fsuid.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace tavlix::portal;
using tavlix::test::fileDigest;
using tavlix::test::makeZip;
using tavlix::test::readAll;
using tavlix::test::writeFile;

namespace {

class UnzipTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        sales = dir.filePath(u"Firmalarım/Deneme A.Ş./Satış Faturaları"_s);
        for (const char16_t* sub : {u"Temp", u"Html", u"Xml", u"Zip"})
            QDir().mkpath(sales + u"/"_s + QString::fromUtf16(sub));
    }
    QStringList files(const QString& sub) const {
        return QDir(sales + u"/"_s + sub).entryList(QDir::Files, QDir::Name);
    }
    tavlix::Result<QString> run(const QString& package, const QString& ettn = kEttn) {
        return unzip({dir.path(), u"Deneme A.Ş."_s, u"GIB2024000000012"_s, u"Ayşe Yıldırım"_s,
                      package, ettn});
    }
    static inline const QString kEttn = u"5C1B3E2A-0000-4000-8000-000000000001"_s;
    QTemporaryDir dir;
    QString sales;
};

TEST_F(UnzipTest, TheGivenPackageIsFiledUnderItsNamesAndOnlyItLeavesTemp) {
    const QString ettn = kEttn;
    writeFile(sales + u"/Temp/0-ONCEKI.zip"_s, makeZip({{u"0-ONCEKI.html"_s, "eski"}}));
    writeFile(sales + u"/Temp/"_s + ettn + u".zip"_s,
              makeZip({{ettn + u".html"_s, "<html/>"}, {ettn + u".xml"_s, "<Invoice/>"}}));
    writeFile(sales + u"/Temp/ZZ-SONRAKI.zip"_s, makeZip({{u"ZZ-SONRAKI.html"_s, "sonra"}}));
    const auto result = run(ettn + u".zip"_s);
    ASSERT_TRUE(result.ok()) << result.message().toStdString();
    const QString names = u"GIB2024000000012-Ayşe Yıldırım-"_s + ettn;
    EXPECT_EQ(files(u"Html"_s), QStringList{names + u".html"_s});
    EXPECT_EQ(files(u"Xml"_s), QStringList{names + u".xml"_s});
    EXPECT_EQ(files(u"Zip"_s), QStringList{names + u".zip"_s});
    EXPECT_EQ(readAll(sales + u"/Xml/"_s + names + u".xml"_s), "<Invoice/>");
    EXPECT_EQ(QDir(sales + u"/Temp"_s)
                  .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name),
              (QStringList{u"0-ONCEKI.zip"_s, u"ZZ-SONRAKI.zip"_s}));
}

TEST_F(UnzipTest, UnsafeOrUnreadablePackagesLeaveTempAsItWas) {
    const struct {
        const char* name;
        QByteArray package;
    } cases[] = {
        {"entry climbing out", makeZip({{u"../evil"_s, "x"}, {u"A.html"_s, "a"}})},
        {"absolute entry", makeZip({{u"/tmp/evil-tavlix"_s, "x"}})},
        {"not a zip", QByteArray("PK\x03\x04 bozuk paket")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(sales + u"/Temp"_s).removeRecursively();
        writeFile(sales + u"/Temp/A.zip"_s, c.package);
        const auto result = run(u"A.zip"_s);
        EXPECT_FALSE(result.ok());
        EXPECT_TRUE(result.message().contains(u"Temp klasörüne dokunulmadı"_s));
        EXPECT_EQ(files(u"Temp"_s), QStringList{u"A.zip"_s});
        EXPECT_FALSE(QFile::exists(sales + u"/evil"_s));
        EXPECT_FALSE(QFile::exists(u"/tmp/evil-tavlix"_s));
        EXPECT_TRUE(files(u"Html"_s).isEmpty());
    }
}

// A copy that cannot be written or a package of another invoice leaves every filed file as it
// was and the package in Temp.
TEST_F(UnzipTest, AFilingThatFailsKeepsTheFiledFilesAndThePackage) {
    const QString names = u"GIB2024000000012-Ayşe Yıldırım-"_s + kEttn;
    const struct {
        const char* name;
        QString package;
        bool readOnlyZip;
        QString error;
    } cases[] = {
        {"read-only Zip folder", kEttn + u".zip"_s, true,
         u"Paketten kopyalanamayan dosyalar: "_s + names +
             u".zip. Paket Temp klasöründe bırakıldı."_s},
        {"another invoice's package", u"7D2C0000-0000-4000-8000-000000000002.zip"_s, false,
         u"7D2C0000-0000-4000-8000-000000000002.zip paketi ETTN "_s + kEttn +
             u" numaralı faturanın değil; Temp klasöründe bırakıldı."_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString base = c.package.left(c.package.size() - 4);
        writeFile(sales + u"/Temp/"_s + c.package,
                  makeZip({{base + u".html"_s, "<html/>"}, {base + u".xml"_s, "<Invoice/>"}}));
        const QStringList filed{u"/Html/GIB1-01-01-2024-A.html"_s, u"/Xml/GIB1-01-01-2024-A.xml"_s,
                                u"/Zip/GIB1-01-01-2024-A.zip"_s, u"/Zip/"_s + names + u".zip"_s};
        QList<QByteArray> digests;
        for (const QString& f : filed) {
            writeFile(sales + f, "önceden dosyalanmış " + f.toUtf8());
            digests << fileDigest(sales + f);
        }
        // Root writes into a read-only folder: the filing then runs as "nobody" for the file
        // system, over a tree opened up for it.
        const bool asNobody = c.readOnlyZip && geteuid() == 0;
        QDirIterator folders(dir.path(), QDir::Dirs | QDir::NoDotAndDotDot,
                             QDirIterator::Subdirectories);
        for (QString f = dir.path(); !f.isEmpty();
             f = folders.hasNext() ? folders.next() : QString())
            QFile::setPermissions(f, QFile::Permissions(0x7777));
        if (c.readOnlyZip)
            QFile::setPermissions(sales + u"/Zip"_s, QFile::Permissions(0x5555));
        if (asNobody)
            setfsuid(65534);
        const auto result = run(c.package);
        if (asNobody)
            setfsuid(0);
        QFile::setPermissions(sales + u"/Zip"_s, QFile::Permissions(0x7755));

        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.message(), c.error);
        for (qsizetype i = 0; i < filed.size(); ++i)
            EXPECT_EQ(fileDigest(sales + filed[i]), digests[i]) << filed[i].toStdString();
        EXPECT_EQ(QDir(sales + u"/Temp"_s)
                      .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                  QStringList{c.package});
        EXPECT_EQ(files(u"Zip"_s).size(), 2);
        QDir(sales + u"/Temp"_s).removeRecursively();
    }
}

} // namespace
