// A report-style list view over a ReportModel. A column is as wide as the model says (twips ÷ 15)
// but never narrower than its header in the font in use, nor than its values; the name column
// (the second) takes the width the others leave free.
#pragma once

#include <QTreeView>

namespace tavlix {

class ReportModel;

class ReportView : public QTreeView {
    Q_OBJECT
public:
    static constexpr int kNameColumn = 1;

    explicit ReportView(QWidget* parent = nullptr);
    void setReportModel(ReportModel* model);
    ReportModel* reportModel() const { return m_model; }

    // The width a column needs at least: the model's width, its header's or, but for the name,
    // its widest value's, whichever is wider.
    int leastWidth(int column) const;

    // The view keeps room for its header and this many rows (or all its rows, when more) and a
    // scroll bar.
    void setMinimumVisibleRows(int rows);

protected:
    bool viewportEvent(QEvent* event) override;

private:
    void applyWidths();
    void rowsChanged();
    void fitNameColumn();
    void updateMinimumHeight();
    int m_minimumRows = 0;
    ReportModel* m_model = nullptr;
};

} // namespace tavlix
