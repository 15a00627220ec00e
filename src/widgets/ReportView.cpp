#include "widgets/ReportView.h"

#include "widgets/CapitalRowsView.h"
#include "widgets/ReportModel.h"

#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>

#include <algorithm>

namespace tavlix {

ReportView::ReportView(QWidget* parent)
    : QTreeView(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setStretchLastSection(false);
    keepCapitalsWhole(static_cast<QAbstractItemView&>(*this));
}

void ReportView::setReportModel(ReportModel* model) {
    m_model = model;
    setModel(model);
    connect(model, &ReportModel::columnsRebuilt, this, &ReportView::applyWidths);
    for (auto rowsChanged : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(model, rowsChanged, this, &ReportView::rowsChanged);
    connect(model, &QAbstractItemModel::modelReset, this, &ReportView::rowsChanged);
    connect(model, &QAbstractItemModel::dataChanged, this, &ReportView::applyWidths);
    applyWidths();
}

int ReportView::leastWidth(int column) const {
    const int modelWidth = m_model->column(column).widthTwips / 15;
    const int least = std::max(modelWidth, header()->sectionSizeHint(column));
    // Amounts are never cut: the column is as wide as its widest value.
    if (column == kNameColumn || m_model->rowTotal() == 0)
        return least;
    return std::max(least, sizeHintForColumn(column));
}

void ReportView::rowsChanged() {
    updateMinimumHeight();
    applyWidths();
}

void ReportView::setMinimumVisibleRows(int rows) {
    m_minimumRows = rows;
    updateMinimumHeight();
}

// A firm least height, so that a layout squeezing the list cannot hide its last rows. Measured
// on a real row once there is one.
void ReportView::updateMinimumHeight() {
    if (m_minimumRows <= 0)
        return;
    int row = capitalRowHeight(font()) + 4;
    int rows = m_minimumRows;
    if (m_model && m_model->rowTotal() > 0) {
        row = std::max(row, sizeHintForRow(0));
        rows = std::max(rows, m_model->rowTotal());
    }
    setMinimumHeight(header()->sizeHint().height() + rows * row + 2 * frameWidth() +
                     horizontalScrollBar()->sizeHint().height());
}

void ReportView::applyWidths() {
    for (int c = 0; c < m_model->columnTotal(); ++c)
        setColumnWidth(c, leastWidth(c));
    fitNameColumn();
}

void ReportView::fitNameColumn() {
    if (!m_model || m_model->columnTotal() <= kNameColumn)
        return;
    int others = 0;
    for (int c = 0; c < m_model->columnTotal(); ++c) {
        if (c != kNameColumn)
            others += columnWidth(c);
    }
    setColumnWidth(kNameColumn, std::max(leastWidth(kNameColumn), viewport()->width() - others));
}

bool ReportView::viewportEvent(QEvent* event) {
    const bool handled = QTreeView::viewportEvent(event);
    // Also when a scroll bar comes or goes: the free width is the viewport's.
    if (event->type() == QEvent::Resize)
        fitNameColumn();
    return handled;
}

} // namespace tavlix
