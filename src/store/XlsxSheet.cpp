#include "store/XlsxWorkbook.h"

#include "platform/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

using namespace Qt::StringLiterals;

namespace tavlix::store::detail {

namespace {

constexpr qint64 kMaxFormattedCells = 1000000;

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

} // namespace

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

} // namespace tavlix::store::detail
