// The xlsx store against an independent reader and writer (openpyxl).
#include "store/WorkbookStore.h"
#include "support/Openpyxl.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace tavlix;
using namespace tavlix::store;

namespace {

[[maybe_unused]] QByteArray fileHash(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

[[maybe_unused]] std::unique_ptr<Workbook> openOrFail(const QString& path) {
    auto r = Workbook::open(path);
    EXPECT_TRUE(r.ok()) << r.message().toStdString();
    return r.ok() ? std::move(r).value() : nullptr;
}

QStringList toStringList(const QJsonValue& v) {
    QStringList out;
    for (const QJsonValue& x : v.toArray())
        out.append(x.toString());
    return out;
}

class WorkbookStoreTest : public ::testing::Test {
protected:
    QString file(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(WorkbookStoreTest, NewWorkbookSavesTextsNumbersAndSheetsInOrder) {
    auto book = Workbook::create();
    ASSERT_EQ(book->sheetNames(), QStringList{u"Sayfa1"_s});
    Worksheet& second = book->addSheet();
    EXPECT_EQ(second.name(), u"Sayfa2"_s);
    second.setName(u"Özel Ünvan"_s);
    Worksheet& third = book->addSheet();
    EXPECT_EQ(third.name(), u"Sayfa2"_s); // the name became free again
    EXPECT_EQ(book->activeSheet(), &third);
    EXPECT_EQ(book->sheetNames(), (QStringList{u"Sayfa2"_s, u"Özel Ünvan"_s, u"Sayfa1"_s}));

    Worksheet* s = book->sheet(u"Özel Ünvan"_s);
    ASSERT_NE(s, nullptr);
    s->writeText(1, 1, u"Çağrı  "_s);
    s->writeText(2, 1, u"'0123"_s);
    s->writeNumber(3, 1, 12.5);
    s->writeNumber(4, 2, 18);
    s->writeText(5, 28, u"AB sütunu"_s);
    ASSERT_TRUE(book->saveAs(file(u"new.xlsx"_s)).ok());

    const QJsonObject wb = test::readWithOpenpyxl(file(u"new.xlsx"_s));
    EXPECT_EQ(toStringList(wb[u"sheets"_s]),
              (QStringList{u"Sayfa2"_s, u"Özel Ünvan"_s, u"Sayfa1"_s}));
    EXPECT_EQ(wb[u"active"_s].toString(), u"Sayfa2"_s);
    const QJsonObject cells = wb[u"cells"_s][u"Özel Ünvan"_s].toObject();
    EXPECT_EQ(cells[u"A1"_s].toString(), u"Çağrı  "_s);
    EXPECT_EQ(cells[u"A2"_s].toString(), u"0123"_s);
    EXPECT_DOUBLE_EQ(cells[u"A3"_s].toDouble(), 12.5);
    EXPECT_DOUBLE_EQ(cells[u"B4"_s].toDouble(), 18);
    EXPECT_EQ(cells[u"AB5"_s].toString(), u"AB sütunu"_s);
}
