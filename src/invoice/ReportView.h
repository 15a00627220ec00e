// A report-style list view over a ReportModel: keeps the model's column widths (twips ÷ 15).
#pragma once

#include <QTreeView>

namespace tavlix {

class ReportModel;

class ReportView : public QTreeView {
    Q_OBJECT
public:
    explicit ReportView(QWidget* parent = nullptr);
    void setReportModel(ReportModel* model);
    ReportModel* reportModel() const { return m_model; }

private:
    void applyWidths();
    ReportModel* m_model = nullptr;
};

} // namespace tavlix
