// The in-memory workbook behind Workbook and Worksheet, shared by the files that implement it:
// WorkbookStore.cpp (the package: open, create, sheets, save), XlsxSheet.cpp (cells and formats)
// and WorkbookGuards.cpp (formulas never written over, files another program holds).
#pragma once

#include "store/WorkbookStore.h"
#include "store/XlsxPackage.h"
#include "store/XlsxStyles.h"
#include "store/XlsxXml.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tavlix::store::detail {

constexpr int kMaxRow = 1048576;
constexpr int kMaxColumn = 16384;

// "B12" → (12, 2); false when it is not a cell reference inside the sheet's limits.
bool parseCellRef(const char* ref, int& row, int& column);
// (12, 2) → "B12".
std::string cellRef(int row, int column);

class WorkbookImpl;

class SheetImpl final : public Worksheet {
public:
    SheetImpl(WorkbookImpl* book, pugi::xml_node entry)
        : m_book(book)
        , m_entry(entry) {}

    bool isWorksheet() const { return m_isWorksheet; }
    XmlPart& part() { return m_part; }
    pugi::xml_node entry() const { return m_entry; }
    bool load(const QString& partName, const QByteArray& bytes);
    void initNew(const QString& partName);
    void setSelected(bool selected);
    void prepareSave();

    QString name() const override { return toQString(m_entry.attribute("name").value()); }
    void setName(const QString& name) override;
    CellValue value(int row, int column) const override;
    QString text(int row, int column) const override;
    bool hasFormula(int row, int column) const override;
    bool holdsFormulas() const { return m_hasFormulas; }
    void writeText(int row, int column, const QString& text) override;
    void writeNumber(int row, int column, double number) override;
    Result<void> formatRange(const QString& first, const QString& last,
                             const RangeFormat& format) override;
    int lastRow() const override;

private:
    struct CellRef {
        int column;
        pugi::xml_node node;
    };
    struct RowRef {
        pugi::xml_node node;
        std::vector<CellRef> cells; // sorted by column
    };

    void buildIndex();
    void addArrayArea(const char* ref, int row, int column);
    pugi::xml_node findCell(int row, int column) const;
    pugi::xml_node ensureCell(int row, int column);
    pugi::xml_node resetCell(int row, int column);
    void clearCell(int row, int column);
    void setColumnWidth(int column, double width);
    void touch() { m_part.dirty = true; }

    WorkbookImpl* m_book;
    pugi::xml_node m_entry; // <sheet> in workbook.xml
    bool m_isWorksheet = false;
    XmlPart m_part;
    qsizetype m_loadedSize = 0;
    pugi::xml_node m_sheetData;
    std::map<int, RowRef> m_rows;
    struct Area {
        int top, left, bottom, right;
    };
    std::vector<Area> m_arrayAreas; // ranges of array formulas: every cell belongs to the formula
    bool m_hasFormulas = false;
    mutable std::map<int, RowRef>::const_iterator m_lastRow = m_rows.end();
};

class WorkbookImpl final : public Workbook {
public:
    static Result<std::unique_ptr<Workbook>> load(const QString& path);
    static std::unique_ptr<Workbook> createNew();

    QString path() const override { return m_path; }
    QStringList sheetNames() const override;
    Worksheet* sheet(const QString& name) override;
    Worksheet* activeSheet() override;
    Worksheet& addSheet() override;
    Result<void> save() override;
    Result<void> saveAs(const QString& path) override;

    const std::vector<QString>& sharedStrings() const { return m_sharedStrings; }
    StyleSheet& styles();
    void workbookChanged() { m_workbook.dirty = true; }
    void refuseFormulaWrite(const QString& sheet, int row, int column);
    bool nameTaken(const QString& name, const SheetImpl* except) const;

private:
    static Error openError(const QString& path, ErrorCode code, const QString& reason);
    Result<void> readPackage(const QString& path);
    QString newPartName(const QString& pattern) const;
    QString newRelationshipId() const;
    void addRelationship(const char* type, const QString& part);
    void addOverride(const QString& part, const char* contentType);
    bool partExists(const QString& part) const;
    // Refuses a save after a write fell on a formula or while another program holds the file;
    // asks for recalculation on open when a sheet of a workbook with formulas changed.
    Result<void> guardSave();
    void requestRecalculation();

    QString m_path;
    std::unique_ptr<ZipArchive> m_source;
    XmlPart m_contentTypes;
    XmlPart m_rootRels;
    XmlPart m_workbook;
    XmlPart m_workbookRels;
    std::unique_ptr<StyleSheet> m_styles;
    std::vector<QString> m_sharedStrings;
    std::vector<std::unique_ptr<SheetImpl>> m_sheets; // tab order
    int m_activeTab = 0;
    QString m_refusedWrite; // the first formula cell a write fell on, "mDATA!L4"
};

} // namespace tavlix::store::detail
