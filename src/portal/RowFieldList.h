// The portal's line table as a list of field descriptions, and the walk that pairs every line
// cell of the invoice with one of them. Both are plain functions over recorded entries, so the
// walk is the same whether the entries came from a browser or from a test.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tavlix::portal {

// One "input", "select" or "span" of the line table "gen__1069-b" as read from the page.
struct LineTableElement {
    QString tag;   // "input", "select" or "span"
    QString id;    // id attribute
    QString type;  // "type" attribute (inputs and selects; a select reports "select-one")
    QString value; // "value" attribute (inputs and selects)
    QString cls;   // "class" attribute (spans)
    QString text;  // visible text (spans)
};

// The entry of one element: an input or select gives id + "-" + type + "|" + value, a span
// gives id + "-" + class + "|" + text. Elements whose id does not begin with "gen" give nothing.
QString rowFieldEntry(const LineTableElement& element);

// Room for lines × columns + 1 entries, filled in the order elements are added; entries beyond
// the room are dropped (and counted), the rest of the room stays empty.
class RowFieldList {
public:
    RowFieldList(int lineCount, int columnCount);

    // Adds the element's entry when it has one; false when it was dropped for lack of room.
    bool add(const LineTableElement& element);
    // Ascending by upper-case text in plain character order; the empty room comes first.
    void sort();

    int room() const { return m_room; }
    int filled() const { return m_filled; }
    int dropped() const { return m_dropped; }
    // Always room() entries long.
    const QStringList& entries() const { return m_entries; }

private:
    int m_room = 0;
    int m_filled = 0;
    int m_dropped = 0;
    QStringList m_entries;
};

// What the fill does with one select beyond the VAT column on a withholding or special-base
// invoice, after its plain select-by-text.
enum class SelectFollowUp {
    None,
    Withholding, // choose `code` by value (after confirming the dialog first for an "8##" code)
    SpecialBase, // choose `code` by value, confirm the dialog, type `amount` into the select
};

enum class FieldKind { Input, Select, Other };

struct FillStep {
    int entry = 0;   // position k in the sorted RowFieldList
    int line = 0;    // 0-based invoice line
    int subItem = 0; // sub-item c of the line (column c + 1)
    QString id;      // first nine characters of the entry: "gen__" and four digits
    FieldKind kind = FieldKind::Other;
    QString text; // sub-item c of the line
    SelectFollowUp followUp = SelectFollowUp::None;
    QString code;            // first three characters of sub-item 10
    bool withDialog = false; // Withholding: code is "8##"
    QString amount;          // SpecialBase: sub-item 11
};

struct FillPlan {
    QList<FillStep> steps;
    // Lines the walk did not reach to their last column (the page has fewer fields than the
    // invoice has cells): 0-based line numbers.
    QList<int> incompleteLines;
};

// The fill walk over sorted entries: `lines` are the rows of the line list (cell 0 is the row
// number), `columns` the number of its columns, `typeValue` the portal's type value ("TEVKIFAT",
// "OZELMATRAH" …). Empty and "button" entries are passed over, a "rospan" entry takes the place
// of one column without typing, and one entry is passed over between two lines.
FillPlan planRowFill(const QStringList& entries, const QList<QStringList>& lines, int columns,
                     const QString& typeValue);

} // namespace tavlix::portal
