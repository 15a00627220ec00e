// The last twelve months side by side: the VAT of the issued invoices and the taxes of the
// received ones as a bar pair per month; hovering a bar shows the month's figures.
#pragma once

#include "summary/MonthSummary.h"

#include <QChartView>

#include <vector>

class QBarSet;

namespace tavlix::summary {

class SummaryChartView : public QChartView {
    Q_OBJECT
public:
    explicit SummaryChartView(QWidget* parent = nullptr);

    void setFigures(const std::vector<MonthFigures>& figures);

    // The two bar sets in lira, one value per month, oldest first.
    QBarSet* salesVat() const { return m_salesVat; }
    QBarSet* receivedTaxes() const { return m_receivedTaxes; }
    // The figures of the month the pointer rests on (empty when none), also the tooltip.
    QString hoverText() const { return m_hoverText; }
    void showMonth(int index); // what hovering the month's bars does

signals:
    void hovered(const QString& text);

private:
    QBarSet* m_salesVat = nullptr;
    QBarSet* m_receivedTaxes = nullptr;
    std::vector<MonthFigures> m_figures;
    QString m_hoverText;
};

} // namespace tavlix::summary
