// FormOzet "Aylık Özet": one company's month at a glance — its issued invoices by type and VAT
// rate, the invoices it received, the last twelve months as a chart — and "Excel'e Aktar". The
// filed XMLs are read a few at a time on the event loop: the window opens at once and fills as
// it reads. Nothing is written but the export.
#pragma once

#include "summary/MonthSummary.h"

#include <QDate>
#include <QWidget>

#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;
class QTimer;

namespace tavlix {
class ReportModel;
}

namespace tavlix::summary {

class SummaryChartView;

class SummaryWindow : public QWidget {
    Q_OBJECT
public:
    SummaryWindow(QString programDir, const QStringList& companies, const QString& company,
                  const QDate& today, QWidget* parent = nullptr);
    ~SummaryWindow() override;

    // "Portal Durumlarını Güncelle" runs this for the chosen company and month; the states are
    // then read again from the journal.
    using StateRefresh = std::function<void(const QString& company, const Month& month)>;
    void setStateRefresh(StateRefresh refresh) { m_refresh = std::move(refresh); }

    // Event handlers, public so that tests drive them as the events would.
    void companyChosen();
    void monthChosen();
    void exportClicked();  // "Excel'e Aktar"
    void refreshClicked(); // "Portal Durumlarını Güncelle"

    bool reading() const;
    ReportModel& salesModel() { return *m_salesModel; }
    ReportModel& purchaseModel() { return *m_purchaseModel; }
    SummaryChartView& chart() { return *m_chart; }

signals:
    void readingFinished();

private:
    void startReading();
    void readStep();
    void showSales();     // the sales table and the chart's sales bars from what is read so far
    void showPurchases(); // the month's received list and the chart's received bars
    void showNotes();
    Month currentMonth() const;

    QString m_programDir;
    QList<Month> m_months;
    std::unique_ptr<SalesFolderReader> m_reader;
    SalesTable m_sales;
    PurchaseTable m_purchases;
    std::vector<MonthFigures> m_figures;
    ApprovalStates m_states;
    StateRefresh m_refresh;

    QComboBox* m_company = nullptr;
    QComboBox* m_month = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_status = nullptr;
    ReportModel* m_salesModel = nullptr;
    ReportModel* m_purchaseModel = nullptr;
    QTableView* m_salesView = nullptr;
    QTableView* m_purchaseView = nullptr;
    QLabel* m_notes = nullptr;
    SummaryChartView* m_chart = nullptr;
    QPushButton* m_export = nullptr;
    QPushButton* m_refreshButton = nullptr;
    QPushButton* m_close = nullptr;
    QTimer* m_timer = nullptr;
};

} // namespace tavlix::summary
