// Test doubles of the line editor tests: a main window that holds only the line list and runs
// the real totals, and DATA.xlsx workbooks made in a temporary folder.
#pragma once

#include "invoice/InvoiceHost.h"
#include "invoice/Totals.h"
#include "widgets/ReportModel.h"

#include <QList>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

namespace tavlix::test {

class FakeHost : public InvoiceHost {
public:
    // Lays out the base and type columns of the invoice type `typeText`.
    explicit FakeHost(const QString& workbookPath,
                      const QString& typeText = QStringLiteral("SATIŞ"));

    QString dataWorkbookPath() const override { return m_path; }
    QString companyName() const override { return company; }
    int lastCompanyColumn() const override { return lastColumn; }
    int invoiceTypeIndex() const override;
    QString invoiceTypeText() const override { return typeText; }
    void setInvoiceTypeEnabled(bool) override {}
    ReportModel& lines() override { return model; }
    void recomputeTotals() override;
    void setReturnCount(const QString&) override {}
    void setLastReturnReference(const QString&, const QString&) override {}
    void setCustomer(const CustomerFields&) override {}
    void hideCustomerSearch() override {}
    QStringList countries() const override { return {}; }
    QDate today() const override { return QDate(2026, 12, 8); }

    QString company;
    int lastColumn = 21;
    QString typeText;
    ReportModel model;
    int totalsRuns = 0;
    TotalsResult totals;
    std::function<void()> onTotals; // runs inside recomputeTotals, after the totals

private:
    QString m_path;
};

// What goes into a test DATA.xlsx besides the headers.
struct WorkbookContent {
    QStringList companies;          // prgDATA row 2 from column B on
    QList<QStringList> withholding; // kodDATA A, B, C
    QList<QStringList> otherTaxes;  // kodDATA E, F
    QStringList specialBaseReasons; // kodDATA M
    QStringList units;              // kodDATA O
    QStringList vatRates;           // kodDATA Q
    QList<QStringList> cards;       // sDATA rows from 2, 16 cells each (fewer are padded)
};

// Writes DATA.xlsx into `dir` and returns its path; fails the test when the store cannot.
QString makeDataWorkbook(const QTemporaryDir& dir, const WorkbookContent& content);

// A stock card row: code, filter, name, then the other columns in order.
QStringList card(const QString& code, const QString& filter, const QString& name,
                 const QStringList& rest = {});

} // namespace tavlix::test
