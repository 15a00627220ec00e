// The rows of a report list: removing columns takes their cells along, also from rows shorter
// than the header, and requests outside the columns change nothing.
#include "widgets/ReportModel.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace tavlix {
namespace {

TEST(ReportModelColumns, RemovalKeepsLaterCellsUnderTheirHeaders) {
    const struct {
        const char* name;
        int first;
        int count;
        QStringList headers;
        QList<QStringList> rows;
    } cases[] = {
        {"middle pair", 1, 2, {u"A"_s, u"D"_s}, {{u"a1"_s, u"d1"_s}, {u"a2"_s}, {u"a3"_s}}},
        {"count past the end",
         3,
         5,
         {u"A"_s, u"B"_s, u"C"_s},
         {{u"a1"_s, u"b1"_s, u"c1"_s}, {u"a2"_s, u"b2"_s}, {u"a3"_s}}},
        {"before the first",
         -1,
         1,
         {u"A"_s, u"B"_s, u"C"_s, u"D"_s},
         {{u"a1"_s, u"b1"_s, u"c1"_s, u"d1"_s}, {u"a2"_s, u"b2"_s}, {u"a3"_s}}},
        {"past the last",
         4,
         1,
         {u"A"_s, u"B"_s, u"C"_s, u"D"_s},
         {{u"a1"_s, u"b1"_s, u"c1"_s, u"d1"_s}, {u"a2"_s, u"b2"_s}, {u"a3"_s}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReportModel model;
        model.setColumns({{u"A"_s}, {u"B"_s}, {u"C"_s}, {u"D"_s}});
        // Rows as short as a list view lets them be.
        model.setRows({{u"a1"_s, u"b1"_s, u"c1"_s, u"d1"_s}, {u"a2"_s, u"b2"_s}, {u"a3"_s}});
        model.removeColumnsWithCells(c.first, c.count);
        EXPECT_EQ(model.headers(), c.headers);
        ASSERT_EQ(model.rowTotal(), c.rows.size());
        for (int r = 0; r < model.rowTotal(); ++r)
            EXPECT_EQ(model.rowCells(r), c.rows.at(r)) << r;
        EXPECT_EQ(model.columnCount(), c.headers.size());
        EXPECT_TRUE(model.cell(1, 3).isEmpty()); // beyond a short row
    }
}

} // namespace
} // namespace tavlix
