#include "store/WorkbookStore.h"

#include "platform/NumberText.h"
#include "store/XlsxPackage.h"
#include "store/XlsxStyles.h"
#include "store/XlsxXml.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <map>
#include <vector>

using namespace Qt::StringLiterals;

namespace tavlix::store {

using namespace detail;

namespace {

constexpr int kMaxRow = 1048576;
constexpr int kMaxColumn = 16384;
constexpr qint64 kMaxFormattedCells = 1000000;

const char* const kRelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const char* const kWorksheetRel =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet";
const char* const kStylesRel =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles";
const char* const kWorksheetType =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";
const char* const kStylesType =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml";

bool endsWith(const char* s, const char* suffix) {
    const size_t a = std::strlen(s);
    const size_t b = std::strlen(suffix);
    return a >= b && std::strcmp(s + a - b, suffix) == 0;
}

// "B12" → (12, 2); false when it is not a cell reference inside the sheet's limits.
bool parseCellRef(const char* ref, int& row, int& column) {
    const char* p = ref;
    while (*p == '$')
        ++p;
    int c = 0;
    while ((*p >= 'A' && *p <= 'Z') || (*p >= 'a' && *p <= 'z')) {
        c = c * 26 + ((*p & ~0x20) - 'A' + 1);
        if (c > kMaxColumn)
            return false;
        ++p;
    }
    while (*p == '$')
        ++p;
    int r = 0;
    const char* digits = p;
    while (*p >= '0' && *p <= '9') {
        r = r * 10 + (*p - '0');
        if (r > kMaxRow)
            return false;
        ++p;
    }
    if (*p != '\0' || c == 0 || p == digits || r == 0)
        return false;
    row = r;
    column = c;
    return true;
}

std::string cellRef(int row, int column) {
    return (columnName(column) + QString::number(row)).toStdString();
}

std::string numberText(double value) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

bool fromChars(const char* s, double& out) {
    while (*s == ' ')
        ++s;
    const char* end = s + std::strlen(s);
    while (end > s && end[-1] == ' ')
        --end;
    if (s == end)
        return false;
    const auto r = std::from_chars(s, end, out);
    return r.ec == std::errc() && r.ptr == end;
}

// Rough width in the sheet's character units of a text in the default font: capitals are wider
// than digits, dots and spaces narrower.
double textWidth(const QString& text, bool bold) {
    double widest = 0;
    for (const QString& line : text.split(u'\n')) {
        double w = 0;
        for (const QChar c : line) {
            if (u".,:;'!|iIlıj ()[]/\\-"_s.contains(c))
                w += 0.55;
            else if (c.isUpper() || u"mwMW%@"_s.contains(c))
                w += 1.25;
            else
                w += 1.0;
        }
        widest = std::max(widest, w);
    }
    if (bold)
        widest *= 1.08;
    return widest > 0 ? std::min(255.0, widest + 1.7) : 0;
}

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

// ---- SheetImpl ---------------------------------------------------------------------------------

bool SheetImpl::load(const QString& partName, const QByteArray& bytes) {
    m_isWorksheet = true;
    m_part.name = partName;
    m_loadedSize = bytes.size();
    if (!m_part.parse(bytes) || !isElement(m_part.root(), "worksheet"))
        return false;
    buildIndex();
    return true;
}

void SheetImpl::initNew(const QString& partName) {
    static const QByteArray xml = QByteArrayLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
        "<dimension ref=\"A1\"/><sheetViews><sheetView workbookViewId=\"0\"/></sheetViews>"
        "<sheetFormatPr defaultRowHeight=\"15\"/><sheetData/>"
        "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" "
        "footer=\"0.3\"/></worksheet>");
    m_isWorksheet = true;
    m_part.name = partName;
    m_part.parse(xml);
    m_part.dirty = true;
    buildIndex();
}

void SheetImpl::buildIndex() {
    pugi::xml_node root = m_part.root();
    m_sheetData = firstChild(root, "sheetData");
    if (!m_sheetData) {
        pugi::xml_node before;
        for (const char* next :
             {"sheetCalcPr",  "sheetProtection", "protectedRanges",       "scenarios",
              "autoFilter",   "sortState",       "dataConsolidate",       "customSheetViews",
              "mergeCells",   "phoneticPr",      "conditionalFormatting", "dataValidations",
              "hyperlinks",   "printOptions",    "pageMargins",           "pageSetup",
              "headerFooter", "drawing",         "legacyDrawing",         "tableParts",
              "extLst"}) {
            if ((before = firstChild(root, next)))
                break;
        }
        m_sheetData = insertChildBefore(root, "sheetData", before);
    }
    m_rows.clear();
    m_lastRow = m_rows.end();
    m_arrayAreas.clear();
    m_hasFormulas = false;
    int previousRow = 0;
    for (pugi::xml_node row = m_sheetData.first_child(); row; row = row.next_sibling()) {
        if (!isElement(row, "row"))
            continue;
        int r = row.attribute("r").as_int(0);
        if (r <= previousRow || r > kMaxRow) {
            r = previousRow + 1;
            ensureAttribute(row, "r") = r;
        }
        previousRow = r;
        RowRef& ref = m_rows[r];
        ref.node = row;
        int previousColumn = 0;
        bool sorted = true;
        for (pugi::xml_node c = row.first_child(); c; c = c.next_sibling()) {
            if (!isElement(c, "c"))
                continue;
            int cr = 0;
            int cc = 0;
            if (!parseCellRef(c.attribute("r").value(), cr, cc) || cr != r) {
                cc = previousColumn + 1;
                ensureAttribute(c, "r") = cellRef(r, cc).c_str();
            }
            if (cc <= previousColumn)
                sorted = false;
            previousColumn = cc;
            ref.cells.push_back({cc, c});
            if (const pugi::xml_node f = firstChild(c, "f")) {
                m_hasFormulas = true;
                if (std::strcmp(f.attribute("t").value(), "array") == 0)
                    addArrayArea(f.attribute("ref").value(), r, cc);
            }
        }
        if (!sorted) {
            std::stable_sort(
                ref.cells.begin(), ref.cells.end(),
                [](const CellRef& a, const CellRef& b) { return a.column < b.column; });
        }
    }
}

// "E2:E4" (or one cell) as an area; a missing or broken reference covers the master cell alone.
void SheetImpl::addArrayArea(const char* ref, int row, int column) {
    Area a{row, column, row, column};
    const std::string text(ref);
    const size_t colon = text.find(':');
    int r1 = 0;
    int c1 = 0;
    if (parseCellRef(text.substr(0, colon).c_str(), r1, c1)) {
        a = {r1, c1, r1, c1};
        int r2 = 0;
        int c2 = 0;
        if (colon != std::string::npos && parseCellRef(text.substr(colon + 1).c_str(), r2, c2))
            a = {std::min(r1, r2), std::min(c1, c2), std::max(r1, r2), std::max(c1, c2)};
    }
    m_arrayAreas.push_back(a);
}

bool SheetImpl::hasFormula(int row, int column) const {
    if (firstChild(findCell(row, column), "f"))
        return true;
    return std::any_of(m_arrayAreas.begin(), m_arrayAreas.end(), [&](const Area& a) {
        return row >= a.top && row <= a.bottom && column >= a.left && column <= a.right;
    });
}

pugi::xml_node SheetImpl::findCell(int row, int column) const {
    const auto it = m_rows.find(row);
    if (it == m_rows.end())
        return {};
    const auto& cells = it->second.cells;
    const auto c = std::lower_bound(cells.begin(), cells.end(), column,
                                    [](const CellRef& a, int col) { return a.column < col; });
    if (c == cells.end() || c->column != column)
        return {};
    return c->node;
}

pugi::xml_node SheetImpl::ensureCell(int row, int column) {
    if (!m_isWorksheet || row < 1 || row > kMaxRow || column < 1 || column > kMaxColumn)
        return {};
    auto it = m_rows.find(row);
    if (it == m_rows.end()) {
        const auto next = m_rows.upper_bound(row);
        pugi::xml_node before = next != m_rows.end() ? next->second.node : pugi::xml_node();
        pugi::xml_node node = insertChildBefore(m_sheetData, "row", before);
        node.append_attribute("r") = row;
        it = m_rows.emplace(row, RowRef{node, {}}).first;
    }
    RowRef& r = it->second;
    auto c = std::lower_bound(r.cells.begin(), r.cells.end(), column,
                              [](const CellRef& a, int col) { return a.column < col; });
    if (c != r.cells.end() && c->column == column)
        return c->node;
    // A row's "spans" is only a hint for readers; it goes once the row gets a new cell.
    r.node.remove_attribute("spans");
    pugi::xml_node before = c != r.cells.end() ? c->node : pugi::xml_node();
    pugi::xml_node node = insertChildBefore(r.node, "c", before);
    node.append_attribute("r") = cellRef(row, column).c_str();
    r.cells.insert(c, CellRef{column, node});
    touch();
    return node;
}

// The cell with its value and type removed and its style kept, ready for a new value; a null node
// when the cell may not be written (outside the sheet, or holding a formula).
pugi::xml_node SheetImpl::resetCell(int row, int column) {
    if (m_isWorksheet && hasFormula(row, column)) {
        m_book->refuseFormulaWrite(name(), row, column);
        return {};
    }
    pugi::xml_node c = ensureCell(row, column);
    if (!c)
        return {};
    while (pugi::xml_node child = c.first_child())
        c.remove_child(child);
    for (const char* a : {"t", "cm", "vm", "ph"})
        c.remove_attribute(a);
    touch();
    return c;
}

void SheetImpl::clearCell(int row, int column) {
    pugi::xml_node c = findCell(row, column);
    if (!c)
        return;
    if (!resetCell(row, column))
        return;
    if (c.attribute("s"))
        return; // the cell keeps its formatting, as clearing contents does
    RowRef& r = m_rows[row];
    r.node.remove_child(c);
    r.cells.erase(std::find_if(r.cells.begin(), r.cells.end(),
                               [column](const CellRef& x) { return x.column == column; }));
    if (r.cells.empty() && !r.node.first_attribute().next_attribute()) {
        m_sheetData.remove_child(r.node);
        m_rows.erase(row);
        m_lastRow = m_rows.end();
    }
}

CellValue SheetImpl::value(int row, int column) const {
    CellValue v;
    const pugi::xml_node c = findCell(row, column);
    if (!c)
        return v;
    const char* t = c.attribute("t").value();
    const pugi::xml_node vNode = firstChild(c, "v");
    const char* raw = vNode.child_value();
    if (std::strcmp(t, "s") == 0) {
        const auto& strings = m_book->sharedStrings();
        char* end = nullptr;
        const long index = std::strtol(raw, &end, 10);
        if (vNode && end != raw && index >= 0 && size_t(index) < strings.size()) {
            v.kind = CellValue::Kind::Text;
            v.text = strings[size_t(index)];
        }
    } else if (std::strcmp(t, "inlineStr") == 0) {
        v.kind = CellValue::Kind::Text;
        v.text = stringItemText(firstChild(c, "is"));
    } else if (std::strcmp(t, "b") == 0) {
        if (vNode) {
            v.kind = CellValue::Kind::Boolean;
            v.boolean = std::strcmp(raw, "1") == 0 || std::strcmp(raw, "true") == 0;
        }
    } else if (std::strcmp(t, "str") == 0 || std::strcmp(t, "e") == 0 || std::strcmp(t, "d") == 0) {
        if (vNode) {
            v.kind = CellValue::Kind::Text;
            v.text = decodeEscapes(raw);
        }
    } else if (vNode) {
        double number = 0;
        if (fromChars(raw, number)) {
            v.kind = CellValue::Kind::Number;
            v.number = number;
        } else {
            v.kind = CellValue::Kind::Text;
            v.text = decodeEscapes(raw);
        }
    }
    return v;
}

QString SheetImpl::text(int row, int column) const {
    const CellValue v = value(row, column);
    switch (v.kind) {
    case CellValue::Kind::Empty:
        return {};
    case CellValue::Kind::Number:
        return generalNumberText(v.number);
    case CellValue::Kind::Boolean:
        return v.boolean ? u"DOĞRU"_s : u"YANLIŞ"_s;
    case CellValue::Kind::Text:
        break;
    }
    return v.text;
}

void SheetImpl::writeText(int row, int column, const QString& text) {
    const QString stored = text.startsWith(u'\'') ? text.mid(1) : text;
    if (stored.isEmpty()) {
        clearCell(row, column);
        return;
    }
    pugi::xml_node c = resetCell(row, column);
    if (!c)
        return;
    // Inline strings leave the shared-string table (and with it its zip entry) untouched.
    c.append_attribute("t") = "inlineStr";
    pugi::xml_node t = appendChild(appendChild(c, "is"), "t");
    if (stored.front().isSpace() || stored.back().isSpace() || stored.contains(u'\n'))
        t.append_attribute("xml:space") = "preserve";
    t.text() = encodeEscapes(stored).c_str();
}

void SheetImpl::writeNumber(int row, int column, double number) {
    pugi::xml_node c = resetCell(row, column);
    if (!c)
        return;
    if (!std::isfinite(number)) {
        c.append_attribute("t") = "e";
        appendChild(c, "v").text() = "#NUM!";
        return;
    }
    appendChild(c, "v").text() = numberText(number).c_str();
}

Result<void> SheetImpl::formatRange(const QString& first, const QString& last,
                                    const RangeFormat& format) {
    int r1 = 0;
    int c1 = 0;
    int r2 = 0;
    int c2 = 0;
    if (!parseCellRef(first.toLatin1().constData(), r1, c1) ||
        !parseCellRef(last.toLatin1().constData(), r2, c2) || first.contains(u'\0')) {
        return makeError(ErrorCode::InvalidInput,
                         u"Geçersiz hücre aralığı: %1:%2"_s.arg(first, last));
    }
    if (format.fillPaletteIndex && !paletteColor(*format.fillPaletteIndex)) {
        return makeError(ErrorCode::InvalidInput,
                         u"Geçersiz renk numarası: %1"_s.arg(*format.fillPaletteIndex));
    }
    if (!m_isWorksheet)
        return makeError(ErrorCode::Unsupported, u"%1 bir çalışma sayfası değil"_s.arg(name()));
    if (r1 > r2)
        std::swap(r1, r2);
    if (c1 > c2)
        std::swap(c1, c2);
    // Every cell of the range gets its own style entry, so whole-sheet ranges are refused.
    if (qint64(r2 - r1 + 1) * (c2 - c1 + 1) > kMaxFormattedCells) {
        return makeError(ErrorCode::InvalidInput,
                         u"Hücre aralığı biçimlenemeyecek kadar büyük: %1:%2"_s.arg(first, last));
    }
    StyleSheet& styles = m_book->styles();
    for (int r = r1; r <= r2; ++r) {
        for (int col = c1; col <= c2; ++col) {
            pugi::xml_node c = ensureCell(r, col);
            const int base = c.attribute("s").as_int(0);
            ensureAttribute(c, "s") = styles.derive(base, format);
        }
    }
    touch();
    if (format.autoFitColumns) {
        for (int col = c1; col <= c2; ++col) {
            double width = 0;
            for (int r = r1; r <= r2; ++r) {
                const pugi::xml_node c = findCell(r, col);
                const bool bold = styles.isBold(c.attribute("s").as_int(0));
                width = std::max(width, textWidth(text(r, col), bold));
            }
            if (width > 0)
                setColumnWidth(col, width);
        }
    }
    return {};
}

// Gives one column its own <col> entry with a custom width, splitting a range entry around it.
void SheetImpl::setColumnWidth(int column, double width) {
    pugi::xml_node root = m_part.root();
    pugi::xml_node cols = firstChild(root, "cols");
    if (!cols)
        cols = insertChildBefore(root, "cols", m_sheetData);
    pugi::xml_node target;
    pugi::xml_node before;
    for (pugi::xml_node col = cols.first_child(); col; col = col.next_sibling()) {
        if (!isElement(col, "col"))
            continue;
        const int lo = col.attribute("min").as_int();
        const int hi = col.attribute("max").as_int();
        if (column < lo) {
            before = col;
            break;
        }
        if (column > hi)
            continue;
        if (lo < column) {
            pugi::xml_node left = cols.insert_copy_before(col, col);
            left.attribute("max") = column - 1;
            col.attribute("min") = column;
        }
        if (column < hi) {
            pugi::xml_node right = cols.insert_copy_after(col, col);
            right.attribute("min") = column + 1;
            col.attribute("max") = column;
        }
        target = col;
        break;
    }
    if (!target) {
        target = insertChildBefore(cols, "col", before);
        target.append_attribute("min") = column;
        target.append_attribute("max") = column;
    }
    ensureAttribute(target, "width") = QByteArray::number(width, 'f', 2).constData();
    ensureAttribute(target, "customWidth") = 1;
    target.remove_attribute("bestFit");
    touch();
}

int SheetImpl::lastRow() const {
    for (auto it = m_rows.rbegin(); it != m_rows.rend(); ++it) {
        for (const CellRef& c : it->second.cells) {
            if (!value(it->first, c.column).isEmpty())
                return it->first;
        }
    }
    return 0;
}

void SheetImpl::setName(const QString& name) {
    static const QString forbidden = u"[]:*?/\\"_s;
    const bool valid = !name.isEmpty() && name.size() <= 31 && !name.startsWith(u'\'') &&
                       !name.endsWith(u'\'') && std::none_of(name.begin(), name.end(), [](QChar c) {
                           return forbidden.contains(c) || c.unicode() < 0x20;
                       });
    // An invalid or duplicate name would make the file unreadable; the sheet keeps its name.
    if (!valid || m_book->nameTaken(name, this))
        return;
    m_entry.attribute("name") = name.toStdString().c_str();
    m_book->workbookChanged();
}

void SheetImpl::setSelected(bool selected) {
    pugi::xml_node views = firstChild(m_part.root(), "sheetViews");
    for (pugi::xml_node view = views.first_child(); view; view = view.next_sibling()) {
        if (!isElement(view, "sheetView"))
            continue;
        const bool was = view.attribute("tabSelected").as_bool(false);
        if (was == selected)
            continue;
        if (selected)
            ensureAttribute(view, "tabSelected") = 1;
        else
            view.remove_attribute("tabSelected");
        touch();
    }
}

void SheetImpl::prepareSave() {
    if (!m_part.dirty || !m_isWorksheet)
        return;
    int minRow = 0;
    int maxRow = 0;
    int minCol = kMaxColumn + 1;
    int maxCol = 0;
    for (const auto& [r, row] : m_rows) {
        if (row.cells.empty())
            continue;
        if (minRow == 0)
            minRow = r;
        maxRow = r;
        minCol = std::min(minCol, row.cells.front().column);
        maxCol = std::max(maxCol, row.cells.back().column);
    }
    pugi::xml_node dim = firstChild(m_part.root(), "dimension");
    if (!dim)
        return;
    const std::string ref =
        minRow == 0 ? std::string("A1") : cellRef(minRow, minCol) + ":" + cellRef(maxRow, maxCol);
    ensureAttribute(dim, "ref") = ref.c_str();
}

// ---- WorkbookImpl ------------------------------------------------------------------------------

Error WorkbookImpl::openError(const QString& path, ErrorCode code, const QString& reason) {
    return makeError(code, u"Çalışma kitabı açılamadı: %1 (%2)"_s.arg(path, reason));
}

Result<std::unique_ptr<Workbook>> WorkbookImpl::load(const QString& path) {
    std::unique_ptr<WorkbookImpl> book(new WorkbookImpl);
    book->m_path = path;
    if (Result<void> r = book->readPackage(path); !r)
        return r.error();
    return std::unique_ptr<Workbook>(std::move(book));
}

Result<void> WorkbookImpl::readPackage(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return openError(path, ErrorCode::NotFound, u"dosya bulunamadı"_s);
    if (info.isDir())
        return openError(path, ErrorCode::BadFormat, u"bir klasör, dosya değil"_s);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return openError(path, ErrorCode::Io, u"dosya okunamadı"_s);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return openError(path, ErrorCode::Io, u"dosya okunamadı"_s);
    file.close();

    auto archive = ZipArchive::fromBytes(std::move(bytes));
    if (!archive)
        return openError(path, ErrorCode::BadFormat, u"geçerli bir xlsx dosyası değil"_s);
    m_source = std::move(archive.value());

    auto readXml = [&](XmlPart& part, const QString& name, bool required) -> Result<void> {
        part.name = name;
        const auto data = m_source->read(name);
        if (!data) {
            if (!required)
                return {};
            return openError(path, ErrorCode::BadFormat, u"%1 bulunamadı"_s.arg(name));
        }
        if (!part.parse(*data))
            return openError(path, ErrorCode::BadFormat, u"bozuk XML: %1"_s.arg(name));
        return {};
    };

    if (auto r = readXml(m_contentTypes, u"[Content_Types].xml"_s, true); !r)
        return r;
    if (auto r = readXml(m_rootRels, u"_rels/.rels"_s, false); !r)
        return r;
    QString workbookPart = u"xl/workbook.xml"_s;
    for (pugi::xml_node rel = m_rootRels.root().first_child(); rel; rel = rel.next_sibling()) {
        if (endsWith(rel.attribute("Type").value(), "/officeDocument")) {
            workbookPart = resolveTarget(QString(), toQString(rel.attribute("Target").value()));
            break;
        }
    }
    if (auto r = readXml(m_workbook, workbookPart, true); !r)
        return r;
    if (!isElement(m_workbook.root(), "workbook"))
        return openError(path, ErrorCode::BadFormat, u"bozuk XML: %1"_s.arg(workbookPart));
    if (auto r = readXml(m_workbookRels, relsPartFor(workbookPart), true); !r)
        return r;

    QHash<QString, std::pair<QString, QString>> rels; // id → (type, part)
    QString sharedStringsPart;
    QString stylesPart;
    for (pugi::xml_node rel = m_workbookRels.root().first_child(); rel; rel = rel.next_sibling()) {
        if (!isElement(rel, "Relationship") ||
            std::strcmp(rel.attribute("TargetMode").value(), "External") == 0)
            continue;
        const char* type = rel.attribute("Type").value();
        const QString part =
            resolveTarget(workbookPart, toQString(rel.attribute("Target").value()));
        rels.insert(toQString(rel.attribute("Id").value()), {toQString(type), part});
        if (endsWith(type, "/sharedStrings"))
            sharedStringsPart = part;
        else if (endsWith(type, "/styles"))
            stylesPart = part;
    }

    if (!sharedStringsPart.isEmpty()) {
        XmlPart strings;
        if (auto r = readXml(strings, sharedStringsPart, false); !r)
            return r;
        for (pugi::xml_node si = strings.root().first_child(); si; si = si.next_sibling()) {
            if (isElement(si, "si"))
                m_sharedStrings.push_back(stringItemText(si));
        }
    }
    if (!stylesPart.isEmpty() && m_source->contains(stylesPart)) {
        m_styles = std::make_unique<StyleSheet>();
        if (auto r = readXml(m_styles->part(), stylesPart, true); !r)
            return r;
    }

    const pugi::xml_node sheets = firstChild(m_workbook.root(), "sheets");
    for (pugi::xml_node s = sheets.first_child(); s; s = s.next_sibling()) {
        if (!isElement(s, "sheet"))
            continue;
        auto sheet = std::make_unique<SheetImpl>(this, s);
        const auto rel = rels.constFind(toQString(prefixedAttribute(s, "id").value()));
        if (rel != rels.constEnd() && rel->first.endsWith(u"/worksheet")) {
            const auto data = m_source->read(rel->second);
            if (!data) {
                return openError(path, ErrorCode::BadFormat,
                                 u"%1 sayfasının verisi okunamadı"_s.arg(sheet->name()));
            }
            if (!sheet->load(rel->second, *data))
                return openError(path, ErrorCode::BadFormat, u"bozuk XML: %1"_s.arg(rel->second));
        }
        m_sheets.push_back(std::move(sheet));
    }
    if (m_sheets.empty())
        return openError(path, ErrorCode::BadFormat, u"çalışma kitabında sayfa yok"_s);
    const pugi::xml_node view =
        firstChild(firstChild(m_workbook.root(), "bookViews"), "workbookView");
    m_activeTab = std::clamp(view.attribute("activeTab").as_int(0), 0, int(m_sheets.size()) - 1);
    return {};
}

std::unique_ptr<Workbook> WorkbookImpl::createNew() {
    std::unique_ptr<WorkbookImpl> book(new WorkbookImpl);
    auto init = [](XmlPart& part, const char* name, const char* xml) {
        part.name = QString::fromUtf8(name);
        part.parse(QByteArray(xml));
        part.dirty = true;
    };
    init(book->m_contentTypes, "[Content_Types].xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
         "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
         "<Default Extension=\"rels\" "
         "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
         "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
         "<Override PartName=\"/xl/workbook.xml\" "
         "ContentType=\"application/"
         "vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/></Types>");
    init(book->m_rootRels, "_rels/.rels",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" "
         "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
         "officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>");
    init(book->m_workbook, "xl/workbook.xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
         "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
         "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
         "<bookViews><workbookView activeTab=\"0\"/></bookViews><sheets/></workbook>");
    init(book->m_workbookRels, "xl/_rels/workbook.xml.rels",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"/>");
    book->styles();
    pugi::xml_node entry = appendChild(firstChild(book->m_workbook.root(), "sheets"), "sheet");
    entry.append_attribute("name") = "Sayfa1";
    entry.append_attribute("sheetId") = 1;
    const QString part = u"xl/worksheets/sheet1.xml"_s;
    book->addRelationship(kWorksheetRel, part);
    const pugi::xml_node rel = book->m_workbookRels.root().last_child();
    entry.append_attribute("r:id") = rel.attribute("Id").value();
    book->addOverride(part, kWorksheetType);
    auto sheet = std::make_unique<SheetImpl>(book.get(), entry);
    sheet->initNew(part);
    sheet->setSelected(true);
    book->m_sheets.push_back(std::move(sheet));
    return book;
}

StyleSheet& WorkbookImpl::styles() {
    if (!m_styles) {
        m_styles = std::make_unique<StyleSheet>();
        const QString part = newPartName(u"xl/styles%1.xml"_s);
        m_styles->part().name = part;
        m_styles->part().parse(StyleSheet::defaultXml());
        m_styles->part().dirty = true;
        addRelationship(kStylesRel, part);
        addOverride(part, kStylesType);
    }
    return *m_styles;
}

bool WorkbookImpl::partExists(const QString& part) const {
    const QString lower = part.toLower();
    if (m_source && m_source->contains(part))
        return true;
    if (m_styles && m_styles->part().name.toLower() == lower)
        return true;
    return std::any_of(m_sheets.begin(), m_sheets.end(), [&](const auto& s) {
        return s->isWorksheet() && s->part().name.toLower() == lower;
    });
}

// The pattern with %1 replaced by "" or the smallest number that names no existing part
// ("xl/styles%1.xml" → "xl/styles.xml"; "xl/worksheets/sheet%1.xml" → "…/sheet5.xml").
QString WorkbookImpl::newPartName(const QString& pattern) const {
    if (!pattern.contains(u"sheet%1"_s) && !partExists(pattern.arg(QString())))
        return pattern.arg(QString());
    for (int n = 1;; ++n) {
        const QString name = pattern.arg(n);
        if (!partExists(name))
            return name;
    }
}

QString WorkbookImpl::newRelationshipId() const {
    QSet<QString> ids;
    for (pugi::xml_node rel = m_workbookRels.root().first_child(); rel; rel = rel.next_sibling())
        ids.insert(toQString(rel.attribute("Id").value()));
    for (int n = 1;; ++n) {
        const QString id = u"rId%1"_s.arg(n);
        if (!ids.contains(id))
            return id;
    }
}

void WorkbookImpl::addRelationship(const char* type, const QString& part) {
    const QString id = newRelationshipId();
    pugi::xml_node rel = appendChild(m_workbookRels.root(), "Relationship");
    rel.append_attribute("Id") = id.toStdString().c_str();
    rel.append_attribute("Type") = type;
    rel.append_attribute("Target") = relativeTarget(m_workbook.name, part).toStdString().c_str();
    m_workbookRels.dirty = true;
}

void WorkbookImpl::addOverride(const QString& part, const char* contentType) {
    pugi::xml_node o = appendChild(m_contentTypes.root(), "Override");
    o.append_attribute("PartName") = (u"/"_s + part).toStdString().c_str();
    o.append_attribute("ContentType") = contentType;
    m_contentTypes.dirty = true;
}

void WorkbookImpl::refuseFormulaWrite(const QString& sheet, int row, int column) {
    if (m_refusedWrite.isEmpty())
        m_refusedWrite = sheet + u"!"_s + QString::fromStdString(cellRef(row, column));
}

// fullCalcOnLoad: spreadsheet programs recompute every formula when they open the file.
void WorkbookImpl::requestRecalculation() {
    pugi::xml_node root = m_workbook.root();
    pugi::xml_node calc = firstChild(root, "calcPr");
    if (!calc) {
        pugi::xml_node before;
        for (const char* next :
             {"oleSize", "customWorkbookViews", "pivotCaches", "smartTagPr", "smartTagTypes",
              "webPublishing", "fileRecoveryPr", "webPublishObjects", "extLst"}) {
            if ((before = firstChild(root, next)))
                break;
        }
        calc = insertChildBefore(root, "calcPr", before);
    }
    if (calc.attribute("fullCalcOnLoad").as_bool())
        return;
    ensureAttribute(calc, "fullCalcOnLoad") = 1;
    m_workbook.dirty = true;
}

bool WorkbookImpl::nameTaken(const QString& name, const SheetImpl* except) const {
    return std::any_of(m_sheets.begin(), m_sheets.end(), [&](const auto& s) {
        return s.get() != except && s->name().compare(name, Qt::CaseInsensitive) == 0;
    });
}

QStringList WorkbookImpl::sheetNames() const {
    QStringList names;
    for (const auto& s : m_sheets)
        names.append(s->name());
    return names;
}

Worksheet* WorkbookImpl::sheet(const QString& name) {
    for (const auto& s : m_sheets) {
        if (s->isWorksheet() && s->name().compare(name, Qt::CaseInsensitive) == 0)
            return s.get();
    }
    return nullptr;
}

Worksheet* WorkbookImpl::activeSheet() {
    return m_sheets[size_t(m_activeTab)].get();
}

Worksheet& WorkbookImpl::addSheet() {
    QString name;
    for (int n = 2;; ++n) {
        name = u"Sayfa%1"_s.arg(n);
        if (!nameTaken(name, nullptr))
            break;
    }
    const int position = m_activeTab;
    SheetImpl* previous = m_sheets[size_t(position)].get();

    int sheetId = 0;
    pugi::xml_node sheets = firstChild(m_workbook.root(), "sheets");
    for (pugi::xml_node s = sheets.first_child(); s; s = s.next_sibling())
        sheetId = std::max(sheetId, s.attribute("sheetId").as_int());
    const QString part = newPartName(u"xl/worksheets/sheet%1.xml"_s);
    QString relType = QString::fromUtf8(kWorksheetRel);
    for (pugi::xml_node rel = m_workbookRels.root().first_child(); rel; rel = rel.next_sibling()) {
        if (endsWith(rel.attribute("Type").value(), "/worksheet")) {
            relType = toQString(rel.attribute("Type").value());
            break;
        }
    }
    addRelationship(relType.toStdString().c_str(), part);
    const std::string relId = m_workbookRels.root().last_child().attribute("Id").value();

    pugi::xml_node entry = insertChildBefore(sheets, "sheet", previous->entry());
    entry.append_attribute("name") = name.toStdString().c_str();
    entry.append_attribute("sheetId") = sheetId + 1;
    // Use the prefix the document binds to the relationships namespace.
    std::string relAttr;
    for (pugi::xml_attribute a = m_workbook.root().first_attribute(); a; a = a.next_attribute()) {
        if (std::strcmp(a.value(), kRelNs) == 0 && std::strncmp(a.name(), "xmlns:", 6) == 0) {
            relAttr = std::string(a.name() + 6) + ":id";
            break;
        }
    }
    if (relAttr.empty()) {
        m_workbook.root().append_attribute("xmlns:r") = kRelNs;
        relAttr = "r:id";
    }
    entry.append_attribute(relAttr.c_str()) = relId.c_str();
    addOverride(part, kWorksheetType);

    // Sheet-local names count sheets by position; the ones after the insertion move up by one.
    const pugi::xml_node names = firstChild(m_workbook.root(), "definedNames");
    for (pugi::xml_node dn = names.first_child(); dn; dn = dn.next_sibling()) {
        pugi::xml_attribute local = dn.attribute("localSheetId");
        if (local && local.as_int() >= position)
            local = local.as_int() + 1;
    }

    auto sheet = std::make_unique<SheetImpl>(this, entry);
    sheet->initNew(part);
    SheetImpl* added = sheet.get();
    m_sheets.insert(m_sheets.begin() + position, std::move(sheet));
    previous->setSelected(false);
    added->setSelected(true);

    pugi::xml_node root = m_workbook.root();
    pugi::xml_node views = firstChild(root, "bookViews");
    if (!views)
        views = insertChildBefore(root, "bookViews", sheets);
    pugi::xml_node view = firstChild(views, "workbookView");
    if (!view)
        view = appendChild(views, "workbookView");
    ensureAttribute(view, "activeTab") = position;
    if (pugi::xml_attribute firstTab = view.attribute("firstSheet");
        firstTab && firstTab.as_int() > position)
        firstTab = position;
    m_activeTab = position;
    m_workbook.dirty = true;
    return *added;
}

Result<void> WorkbookImpl::save() {
    if (m_path.isEmpty()) {
        return makeError(ErrorCode::InvalidInput,
                         u"Çalışma kitabı kaydedilemedi: dosya yolu belirtilmemiş"_s);
    }
    if (!m_refusedWrite.isEmpty()) {
        return makeError(ErrorCode::InvalidInput,
                         u"%1 kaydedilmedi: %2 hücresinde formül var; Tavlix bir formülün üzerine "
                         u"yazmaz."_s.arg(QFileInfo(m_path).fileName(), m_refusedWrite));
    }
    if (Result<void> free = checkNotOpenElsewhere(m_path); !free)
        return free;
    // Formulas are never removed, so the calculation chain stays valid as it is; their cached
    // results may be stale after our writes.
    const bool sheetChanged = std::any_of(m_sheets.begin(), m_sheets.end(), [](const auto& s) {
        return s->isWorksheet() && s->part().dirty;
    });
    const bool formulas = std::any_of(m_sheets.begin(), m_sheets.end(),
                                      [](const auto& s) { return s->holdsFormulas(); });
    if (sheetChanged && formulas)
        requestRecalculation();

    std::vector<XmlPart*> parts = {&m_contentTypes, &m_rootRels, &m_workbook, &m_workbookRels};
    if (m_styles)
        parts.push_back(&m_styles->part());
    for (const auto& s : m_sheets) {
        if (s->isWorksheet()) {
            s->prepareSave();
            parts.push_back(&s->part());
        }
    }
    QHash<QString, XmlPart*> dirty; // lower-cased name → part
    for (XmlPart* p : parts) {
        if (p->dirty)
            dirty.insert(p->name.toLower(), p);
    }

    std::vector<OutEntry> entries;
    QSet<QString> written;
    auto addDirty = [&](XmlPart* p) {
        entries.push_back({p->name, p->serialize(), std::nullopt});
        written.insert(p->name.toLower());
    };
    if (m_source) {
        const QStringList& names = m_source->entryNames();
        for (int i = 0; i < names.size(); ++i) {
            const QString lower = names[i].toLower();
            if (written.contains(lower))
                continue;
            if (XmlPart* p = dirty.value(lower))
                addDirty(p);
            else
                entries.push_back({names[i], {}, i});
            written.insert(lower);
        }
    }
    for (XmlPart* p : parts) {
        if (p->dirty && !written.contains(p->name.toLower()))
            addDirty(p);
    }

    auto zip = buildZip(m_source.get(), entries);
    const QString failed = u"Çalışma kitabı kaydedilemedi: %1 (%2)"_s;
    if (!zip)
        return makeError(ErrorCode::Io, failed.arg(m_path, zip.message()));
    if (auto r = writeFileAtomically(m_path, zip.value()); !r)
        return makeError(r.error().code, failed.arg(m_path, r.message()));
    return {};
}

Result<void> WorkbookImpl::saveAs(const QString& path) {
    const QString old = m_path;
    m_path = path;
    Result<void> r = save();
    if (!r)
        m_path = old;
    return r;
}

} // namespace

// ---- public functions --------------------------------------------------------------------------

Result<std::unique_ptr<Workbook>> Workbook::open(const QString& path) {
    return WorkbookImpl::load(path);
}

std::unique_ptr<Workbook> Workbook::create() {
    return WorkbookImpl::createNew();
}

Result<Worksheet*> Workbook::requireSheet(const QString& name) {
    if (Worksheet* s = sheet(name))
        return s;
    const QString file = path().isEmpty() ? u"yeni çalışma kitabı"_s : QFileInfo(path()).fileName();
    return makeError(ErrorCode::NotFound, u"%1 sayfası bulunamadı (%2)"_s.arg(name, file));
}

Result<OpenedSheets> openWithSheets(const QString& path, std::initializer_list<QString> names) {
    auto opened = Workbook::open(path);
    if (!opened)
        return opened.error();
    OpenedSheets out{std::move(opened).value(), {}};
    for (const QString& name : names) {
        auto sheet = out.book->requireSheet(name);
        if (!sheet)
            return sheet.error();
        out.sheets.push_back(sheet.value());
    }
    return out;
}

bool Worksheet::isOccupied(int row, int column) const {
    return !value(row, column).isEmpty() || hasFormula(row, column);
}

Result<void> checkNotOpenElsewhere(const QString& path) {
    const QFileInfo info(path);
    const QString name = info.fileName();
    // Excel names its owner file "~$" + name, or for longer names puts "~$" over the first two
    // characters.
    QStringList locks = {u".~lock."_s + name + u"#"_s, u"~$"_s + name};
    if (name.size() > 2)
        locks.append(u"~$"_s + name.mid(2));
    for (const QString& lock : locks) {
        if (QFileInfo::exists(info.dir().filePath(lock))) {
            return makeError(ErrorCode::InvalidInput,
                             u"%1 başka bir programda açık. Kapatıp yeniden deneyin."_s.arg(name));
        }
    }
    return {};
}

int Worksheet::firstFreeRow(int column) const {
    int row = 1;
    while (row < kMaxRow && !value(row, column).isEmpty())
        ++row;
    return row;
}

QString columnName(int column) {
    QString out;
    while (column > 0) {
        const int rem = (column - 1) % 26;
        out.prepend(QChar(u'A' + rem));
        column = (column - 1) / 26;
    }
    return out;
}

int columnNumber(const QString& letters) {
    if (letters.isEmpty() || letters.size() > 3)
        return 0;
    int n = 0;
    for (const QChar c : letters) {
        const char16_t u = c.toUpper().unicode();
        if (u < u'A' || u > u'Z')
            return 0;
        n = n * 26 + (u - u'A' + 1);
    }
    return n <= kMaxColumn ? n : 0;
}

} // namespace tavlix::store
