// An xlsx workbook held in memory: opened from a file, read and written cell by cell, saved
// atomically. Package parts that were not changed are written back byte for byte, so the user's
// formatting, other sheets and column widths survive a save.
#pragma once

#include "platform/Result.h"

#include <QString>
#include <QStringList>

#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

namespace tavlix::store {

// A cell's stored value. Formula cells give their cached value.
struct CellValue {
    enum class Kind { Empty, Number, Text, Boolean };
    Kind kind = Kind::Empty;
    double number = 0;
    QString text;
    bool boolean = false;

    bool isEmpty() const { return kind == Kind::Empty || (kind == Kind::Text && text.isEmpty()); }
};

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
};

// The spreadsheet application's standard 56-colour palette by colour index (1 → black,
// 15 → C0C0C0, 40 → FFCC99, 46 → FF6600); std::nullopt outside 1 … 56.
std::optional<Rgb> paletteColor(int index);

// What "format range" applies to every cell of a rectangle.
struct RangeFormat {
    bool bold = false;
    std::optional<Rgb> fontColor;
    std::optional<Rgb> fillColor; // solid fill by RGB
    std::optional<int>
        fillPaletteIndex; // solid fill by the legacy 56-colour palette (15, 40, 46 …)
    bool centerHorizontally = false;
    bool centerVertically = false;
    bool autoFitColumns = false; // widen the range's columns to their longest text
    bool moneyFormat = false;    // numbers shown as "#,##0.00" (the built-in number format 4)
};

class Workbook;

class Worksheet {
public:
    virtual ~Worksheet() = default;

    virtual QString name() const = 0;
    virtual void setName(const QString& name) = 0;

    // Rows and columns count from 1. An empty or missing cell gives CellValue::Kind::Empty.
    virtual CellValue value(int row, int column) const = 0;
    // The cell as text: texts as stored, numbers as shown in the General format with the Turkish
    // separators (12.5 → "12,5", 18 → "18"), booleans "DOĞRU"/"YANLIŞ", empty → "".
    virtual QString text(int row, int column) const = 0;

    // True when the cell holds a formula or lies inside an array formula's range.
    virtual bool hasFormula(int row, int column) const = 0;
    // A cell with a value or a formula (one that shows nothing counts too).
    bool isOccupied(int row, int column) const;

    // A text beginning with an apostrophe is stored as text without it ("'0123" → "0123").
    // Writing an empty text clears the cell. A cell with a formula is never written over: the
    // write is dropped and the next save refuses with a message naming the cell, so a save never
    // removes a formula it did not write (nor breaks a shared or array formula group).
    virtual void writeText(int row, int column, const QString& text) = 0;
    virtual void writeNumber(int row, int column, double number) = 0;

    // first/last as "A1", "D1". Fails only on a malformed reference.
    virtual Result<void> formatRange(const QString& first, const QString& last,
                                     const RangeFormat& format) = 0;

    // The largest row number holding a non-empty cell; 0 for an empty sheet.
    virtual int lastRow() const = 0;
    // From row 1 down, the first row whose cell in `column` is empty (the header counts as used).
    int firstFreeRow(int column) const;
};

class Workbook {
public:
    virtual ~Workbook() = default;

    // Reads an xlsx file. Fails with a Turkish message (and changes nothing on disk) when the file
    // is missing, not a zip, has no workbook part or is otherwise unreadable.
    static Result<std::unique_ptr<Workbook>> open(const QString& path);
    // A new workbook with one empty sheet "Sayfa1"; it has no path until saveAs.
    static std::unique_ptr<Workbook> create();

    virtual QString path() const = 0;
    // Sheet names in tab order.
    virtual QStringList sheetNames() const = 0;
    // nullptr when there is no sheet of that name; names compare without regard to case, as
    // spreadsheet programs compare them.
    virtual Worksheet* sheet(const QString& name) = 0;
    // The named sheet, or an error "… sayfası bulunamadı" naming the sheet and the file.
    Result<Worksheet*> requireSheet(const QString& name);
    virtual Worksheet* activeSheet() = 0;
    // A new sheet ("Sayfa2", …) inserted before the active sheet, which it becomes.
    virtual Worksheet& addSheet() = 0;

    // Writes to a temporary file in the target's folder and renames it over the target; on any
    // failure the old file stays as it was and the error says why. Refused, writing nothing, while
    // a spreadsheet program has the target open (see checkNotOpenElsewhere) or when a write fell
    // on a formula cell. A save that changed a sheet of a workbook with formulas asks spreadsheet
    // programs to recalculate on open; the calculation chain is kept as it was.
    virtual Result<void> save() = 0;
    virtual Result<void> saveAs(const QString& path) = 0;
};

// A workbook opened for one operation together with the sheets it needs, in the order asked.
struct OpenedSheets {
    std::unique_ptr<Workbook> book;
    std::vector<Worksheet*> sheets;
    Worksheet& operator[](std::size_t i) const { return *sheets.at(i); }
};

// Opens `path` and finds every named sheet; the first failure (unreadable file, missing sheet)
// comes back as the error.
Result<OpenedSheets> openWithSheets(const QString& path, std::initializer_list<QString> names);

// Fails with "<file> başka bir programda açık. Kapatıp yeniden deneyin." while the lock file of
// LibreOffice (".~lock.<file>#") or Excel ("~$<file>") lies beside `path`: that program would
// later save its own copy over ours.
Result<void> checkNotOpenElsewhere(const QString& path);

// Column letters ↔ numbers: 1 ↔ "A", 27 ↔ "AA".
QString columnName(int column);
int columnNumber(const QString& letters); // 0 when not letters

} // namespace tavlix::store
