// The workbook store's guards: a write never falls on a formula (the save is refused naming the
// cell), a save never goes over a file another program holds, and a changed workbook with
// formulas is recalculated when it is next opened.
#include "store/XlsxWorkbook.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tavlix::store {

namespace detail {

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

void WorkbookImpl::refuseFormulaWrite(const QString& sheet, int row, int column) {
    if (m_refusedWrite.isEmpty())
        m_refusedWrite = sheet + u"!"_s + QString::fromStdString(cellRef(row, column));
}

Result<void> WorkbookImpl::guardSave() {
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
    return {};
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

} // namespace detail

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

} // namespace tavlix::store
