// The unpacking of a downloaded invoice package into the company's folders.
#include "portal/PackageFiling.h"

#include "support/Files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace tavlix::portal;
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
    tavlix::Result<QString> run() {
        return unzip({dir.path(), u"Deneme A.Ş."_s, u"GIB2024000000012"_s, u"Ayşe Yıldırım"_s});
    }
    QTemporaryDir dir;
    QString sales;
};

TEST_F(UnzipTest, TheLastPackageIsFiledUnderItsNamesAndTempEmptied) {
    const QString ettn = u"5C1B3E2A-0000-4000-8000-000000000001"_s;
    writeFile(sales + u"/Temp/0-ONCEKI.zip"_s, makeZip({{u"0-ONCEKI.html"_s, "eski"}}));
    writeFile(sales + u"/Temp/"_s + ettn + u".zip"_s,
              makeZip({{ettn + u".html"_s, "<html/>"}, {ettn + u".xml"_s, "<Invoice/>"}}));
    const auto result = run();
    ASSERT_TRUE(result.ok()) << result.message().toStdString();
    const QString names = u"GIB2024000000012-Ayşe Yıldırım-"_s + ettn;
    EXPECT_EQ(files(u"Html"_s), QStringList{names + u".html"_s});
    EXPECT_EQ(files(u"Xml"_s), QStringList{names + u".xml"_s});
    EXPECT_EQ(files(u"Zip"_s), QStringList{names + u".zip"_s});
    EXPECT_EQ(readAll(sales + u"/Xml/"_s + names + u".xml"_s), "<Invoice/>");
    EXPECT_EQ(QDir(sales + u"/Temp"_s).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList());
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
        const auto result = run();
        EXPECT_FALSE(result.ok());
        EXPECT_TRUE(result.message().contains(u"Temp klasörüne dokunulmadı"_s));
        EXPECT_EQ(files(u"Temp"_s), QStringList{u"A.zip"_s});
        EXPECT_FALSE(QFile::exists(sales + u"/evil"_s));
        EXPECT_FALSE(QFile::exists(u"/tmp/evil-tavlix"_s));
        EXPECT_TRUE(files(u"Html"_s).isEmpty());
    }
}

} // namespace
