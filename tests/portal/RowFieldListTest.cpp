// The line-table walk over recorded entries: which field gets which cell of which line, without
// a browser. Pages are described column by column as the portal lays a row out.
#include "portal/RowFieldList.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using tavlix::portal::FieldKind;
using tavlix::portal::FillPlan;
using tavlix::portal::LineTableElement;
using tavlix::portal::planRowFill;
using tavlix::portal::rowFieldEntry;
using tavlix::portal::RowFieldList;
using tavlix::portal::SelectFollowUp;

namespace {

// One column of a portal row: "text" input, "select" or a computed "rospan" span.
enum class Cell { Text, Select, Rospan };

// Rows as the stand-in lays them out: 32 id slots per row from gen__2000, the columns in order,
// a delete button in the last slot, and a row number without a gen id.
QList<LineTableElement> pageRows(const QList<Cell>& columns, int rowCount) {
    QList<LineTableElement> inputs, selects, spans;
    for (int r = 0; r < rowCount; ++r) {
        const int base = 2000 + r * 32;
        spans.append(
            {u"span"_s, QString(), QString(), QString(), u"rownum"_s, QString::number(r + 1)});
        for (int c = 0; c < columns.size(); ++c) {
            const QString id = u"gen__%1"_s.arg(base + c);
            switch (columns[c]) {
            case Cell::Text:
                inputs.append({u"input"_s, id, u"text"_s, QString(), QString(), QString()});
                break;
            case Cell::Select:
                selects.append({u"select"_s, id, u"select-one"_s, u"0"_s, QString(), QString()});
                break;
            case Cell::Rospan:
                spans.append(
                    {u"span"_s, id, QString(), QString(), u"csc-span rospan"_s, u"0,00"_s});
                break;
            }
        }
        inputs.append(
            {u"input"_s, u"gen__%1"_s.arg(base + 31), u"button"_s, u"Sil"_s, QString(), QString()});
    }
    return inputs + selects + spans; // the order the list is built in: inputs, selects, spans
}

// A line of the invoice: the row number, then cell texts "r<line>c<subItem>".
QList<QStringList> invoiceLines(int count, int columns) {
    QList<QStringList> lines;
    for (int r = 0; r < count; ++r) {
        QStringList line{QString::number(r + 1)};
        for (int c = 1; c < columns; ++c)
            line.append(u"r%1c%2"_s.arg(r).arg(c));
        lines.append(line);
    }
    return lines;
}

FillPlan fill(const QList<LineTableElement>& page, const QList<QStringList>& lines, int columns,
              const QString& typeValue, RowFieldList* out = nullptr) {
    RowFieldList list(int(lines.size()), columns);
    for (const LineTableElement& e : page)
        list.add(e);
    list.sort();
    if (out)
        *out = list;
    return planRowFill(list.entries(), lines, columns, typeValue);
}

const QList<Cell> kBase{Cell::Text,   Cell::Text,   Cell::Select, Cell::Text,  Cell::Text,
                        Cell::Rospan, Cell::Rospan, Cell::Select, Cell::Rospan};

} // namespace

TEST(RowFieldList, EntriesNameTheFieldAndSkipElementsWithoutGenId) {
    EXPECT_EQ(rowFieldEntry({u"input"_s, u"gen__2001"_s, u"text"_s, u"5"_s, {}, {}}),
              u"gen__2001-text|5"_s);
    EXPECT_EQ(rowFieldEntry({u"select"_s, u"gen__2003"_s, u"select-one"_s, u"C62"_s, {}, {}}),
              u"gen__2003-select-one|C62"_s);
    EXPECT_EQ(rowFieldEntry({u"span"_s, u"gen__2006"_s, {}, {}, u"rospan"_s, u"1,00"_s}),
              u"gen__2006-rospan|1,00"_s);
    EXPECT_TRUE(rowFieldEntry({u"span"_s, u"row-1"_s, {}, {}, u"rospan"_s, u"1"_s}).isEmpty());
    EXPECT_TRUE(rowFieldEntry({u"input"_s, QString(), u"checkbox"_s, u"on"_s, {}, {}}).isEmpty());
}

TEST(RowFieldList, RoomDropsTheRestAndTheEmptyRoomSortsFirst) {
    RowFieldList list(1, 2); // room 3
    EXPECT_TRUE(list.add({u"input"_s, u"gen__2002"_s, u"text"_s, {}, {}, {}}));
    EXPECT_TRUE(list.add({u"input"_s, u"nogen"_s, u"text"_s, {}, {}, {}}));     // not entered
    EXPECT_TRUE(list.add({u"input"_s, u"GEN__2001"_s, u"text"_s, {}, {}, {}})); // nor this
    EXPECT_TRUE(list.add({u"input"_s, u"gen__2000"_s, u"text"_s, {}, {}, {}}));
    EXPECT_TRUE(list.add({u"input"_s, u"gen__1999"_s, u"text"_s, {}, {}, {}}));
    EXPECT_FALSE(list.add({u"input"_s, u"gen__1998"_s, u"text"_s, {}, {}, {}}));
    EXPECT_EQ(list.room(), 3);
    EXPECT_EQ(list.dropped(), 1);

    RowFieldList withRoom(2, 2); // room 5: two entries stay empty
    // Upper-cased for the comparison: "|b" sorts before "|C" although "C" < "b".
    for (const char16_t* value : {u"C", u"b", u"a"})
        withRoom.add({u"input"_s, u"gen__2000"_s, u"text"_s, QString::fromUtf16(value), {}, {}});
    withRoom.sort();
    EXPECT_EQ(withRoom.entries(), (QStringList{QString(), QString(), u"gen__2000-text|a"_s,
                                               u"gen__2000-text|b"_s, u"gen__2000-text|C"_s}));
}

// Every line cell lands in the field of its own row and column, for the column layouts of the
// six invoice types (with and without an extra-tax pair), however many lines there are.
TEST(RowFieldList, FillPutsEveryCellIntoItsOwnField) {
    struct Case {
        const char* name;
        QString typeValue;
        QList<Cell> typeColumns;
        int taxPairs;
        int lines;
    };
    const QList<Case> cases{
        {"satis", u"SATIS"_s, {}, 0, 3},
        {"satis with a tax", u"SATIS"_s, {}, 1, 3},
        {"iade", u"IADE"_s, {}, 0, 1},
        {"tevkifat", u"TEVKIFAT"_s, {Cell::Select, Cell::Rospan, Cell::Rospan}, 0, 2},
        {"istisna with two taxes", u"ISTISNA"_s, {Cell::Text}, 2, 2},
        {"ozel matrah", u"OZELMATRAH"_s, {Cell::Select, Cell::Text}, 0, 2},
        {"ihrac kayitli", u"IHRACKAYITLI"_s, {}, 0, 12},
    };
    for (const Case& tc : cases) {
        SCOPED_TRACE(tc.name);
        QList<Cell> columns = kBase + tc.typeColumns;
        for (int t = 0; t < tc.taxPairs; ++t)
            columns += {Cell::Text, Cell::Rospan};
        const int listColumns = int(columns.size()) + 1; // "s" has no field
        const QList<QStringList> lines = invoiceLines(tc.lines, listColumns);
        const FillPlan plan = fill(pageRows(columns, tc.lines), lines, listColumns, tc.typeValue);

        EXPECT_TRUE(plan.incompleteLines.isEmpty());
        int typed = 0;
        for (const Cell cell : columns)
            typed += cell != Cell::Rospan;
        ASSERT_EQ(plan.steps.size(), typed * tc.lines);
        for (const auto& step : plan.steps) {
            const int slot = step.id.mid(5).toInt() - 2000;
            EXPECT_EQ(slot / 32, step.line) << step.id.toStdString();
            EXPECT_EQ(slot % 32 + 1, step.subItem) << step.id.toStdString();
            EXPECT_EQ(step.text, u"r%1c%2"_s.arg(step.line).arg(step.subItem));
            EXPECT_EQ(step.kind,
                      columns[slot % 32] == Cell::Select ? FieldKind::Select : FieldKind::Input);
        }
    }
}

TEST(RowFieldList, SelectsBeyondTheVatColumnFollowTheType) {
    const QList<Cell> withholding = kBase + QList<Cell>{Cell::Select, Cell::Rospan, Cell::Rospan};
    const QList<Cell> special = kBase + QList<Cell>{Cell::Select, Cell::Text};
    auto line = [](const QString& code, const QString& amount) {
        QStringList l{u"1"_s,     u"Ürün"_s, u"1"_s,    u"Adet"_s, u"10,00"_s, u"0"_s,   u"0,00"_s,
                      u"10,00"_s, u"18"_s,   u"1,80"_s, code,      amount,     u"0,00"_s};
        return l;
    };
    struct Case {
        const char* name;
        QList<Cell> columns;
        QString typeValue;
        QStringList line;
        SelectFollowUp followUp;
        QString code;
        bool dialog;
        QString amount;
    };
    const QList<Case> cases{
        {"601", withholding, u"TEVKIFAT"_s, line(u"601 YAPIM % 40"_s, u"40"_s),
         SelectFollowUp::Withholding, u"601"_s, false, QString()},
        {"801", withholding, u"TEVKIFAT"_s, line(u"801 YAPIM % 100"_s, u"100"_s),
         SelectFollowUp::Withholding, u"801"_s, true, QString()},
        {"8A1 is no dialog code", withholding, u"TEVKIFAT"_s, line(u"8A1"_s, u"1"_s),
         SelectFollowUp::Withholding, u"8A1"_s, false, QString()},
        {"special base", special, u"OZELMATRAH"_s, line(u"805"_s, u"1.500,50"_s),
         SelectFollowUp::SpecialBase, u"805"_s, false, u"1.500,50"_s},
        {"same layout on SATIS", special, u"SATIS"_s, line(u"805"_s, u"1"_s), SelectFollowUp::None,
         QString(), false, QString()},
    };
    for (const Case& tc : cases) {
        SCOPED_TRACE(tc.name);
        const int listColumns = int(tc.columns.size()) + 1;
        QStringList cells = tc.line.mid(0, listColumns);
        const FillPlan plan = fill(pageRows(tc.columns, 1), {cells}, listColumns, tc.typeValue);
        int followUps = 0;
        for (const auto& step : plan.steps) {
            if (step.subItem != 10) {
                // The unit and VAT selects (sub-items 3 and 8) never get a follow-up.
                EXPECT_EQ(step.followUp, SelectFollowUp::None) << step.subItem;
                continue;
            }
            ++followUps;
            EXPECT_EQ(step.followUp, tc.followUp);
            EXPECT_EQ(step.code, tc.code);
            EXPECT_EQ(step.withDialog, tc.dialog);
            EXPECT_EQ(step.amount, tc.amount);
        }
        EXPECT_EQ(followUps, 1);
    }
}

// What the walk does when the page does not match the invoice: more rows than lines overflow
// the room (inputs are entered first, so selects and spans are dropped and the walk slips), and
// a page with a missing column leaves lines incomplete instead of typing past the table.
TEST(RowFieldList, MismatchedPagesShowAsIncompleteLines) {
    const int listColumns = int(kBase.size()) + 1;
    RowFieldList list(0, 0);
    const FillPlan overflow =
        fill(pageRows(kBase, 3), invoiceLines(1, listColumns), listColumns, u"SATIS"_s, &list);
    EXPECT_GT(list.dropped(), 0);
    EXPECT_EQ(overflow.incompleteLines, QList<int>{0});

    QList<Cell> short_ = kBase;
    short_.removeLast();
    const FillPlan missing =
        fill(pageRows(short_, 2), invoiceLines(2, listColumns), listColumns, u"SATIS"_s);
    EXPECT_FALSE(missing.incompleteLines.isEmpty());
    for (const auto& step : missing.steps)
        EXPECT_LT(step.entry, 2 * listColumns);

    // Blank entries inside the list (a gen span with no class) are still a column: the
    // "neither" kind, nothing typed, the column counted.
    QList<LineTableElement> odd = pageRows(kBase, 1);
    for (auto& e : odd)
        if (e.id == u"gen__2005"_s)
            e.cls = u"csc-span"_s;
    const FillPlan other = fill(odd, invoiceLines(1, listColumns), listColumns, u"SATIS"_s);
    EXPECT_TRUE(other.incompleteLines.isEmpty());
    bool sawOther = false;
    for (const auto& step : other.steps)
        sawOther |= step.kind == FieldKind::Other && step.subItem == 6;
    EXPECT_TRUE(sawOther);
}
