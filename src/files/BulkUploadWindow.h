// "Toplu e-Arşiv" (FormToplu): the chosen company's saved invoices ticked and uploaded in one
// portal session, with the result table, the progress "n / N" with the time left, and the table
// saved beside the saved invoices.
#pragma once

#include "portal/InvoiceSet.h"
#include "store/CompanySettings.h"

#include <QWidget>

#include <functional>

class QCheckBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace tavlix::files {

class BulkUploadWindow : public QWidget {
    Q_OBJECT
public:
    explicit BulkUploadWindow(QWidget* parent = nullptr);

    // Lists the saved invoices of `folder`, the company's, none ticked; the last table stays.
    void showCompany(const QString& folder, const QString& company,
                     const CompanySettings& settings);
    // Called after a set ran (the issued invoices changed).
    void setFinished(std::function<void()> finished) { m_finished = std::move(finished); }
    // The tests' portal and folders; the program's own by default.
    void setUploadOptions(const portal::UploadOptions& options) { m_options = options; }

    // The user's acts, as the buttons run them.
    void tickAll();   // "Hepsini Seç"
    void start();     // "Başlat"
    void saveTable(); // "Tabloyu Kaydet"

private:
    void showRow(int row, const portal::SetRow& r);

    QString m_folder;
    QString m_company;
    CompanySettings m_settings;
    portal::UploadOptions m_options;
    QList<portal::SetRow> m_rows;
    QString m_summary;
    std::function<void()> m_finished;

    QListWidget* m_list = nullptr;
    QCheckBox* m_stopOnDifference = nullptr;
    QCheckBox* m_includeIssued = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_save = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_left = nullptr;
    QTableWidget* m_table = nullptr;
    QLabel* m_summaryLabel = nullptr;
};

} // namespace tavlix::files
