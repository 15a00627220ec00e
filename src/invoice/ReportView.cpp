#include "invoice/ReportView.h"

#include "invoice/ReportModel.h"

#include <QHeaderView>

namespace tavlix {

ReportView::ReportView(QWidget* parent)
    : QTreeView(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setStretchLastSection(false);
}

void ReportView::setReportModel(ReportModel* model) {
    m_model = model;
    setModel(model);
    connect(model, &ReportModel::columnsRebuilt, this, &ReportView::applyWidths);
    applyWidths();
}

void ReportView::applyWidths() {
    for (int c = 0; c < m_model->columnTotal(); ++c)
        setColumnWidth(c, m_model->column(c).widthTwips / 15);
}

} // namespace tavlix
