// A stand-in for the main window in window tests: holds the line list and records what the
// windows hand over.
#pragma once

#include "invoice/InvoiceHost.h"
#include "invoice/InvoiceType.h"
#include "invoice/Totals.h"
#include "widgets/ReportModel.h"

#include <QList>

namespace tavlix::test {

class RecordingHost : public InvoiceHost {
public:
    QString dataWorkbookPath() const override { return workbookPath; }
    QString companyName() const override { return QStringLiteral("Deneme Ltd"); }
    int lastCompanyColumn() const override { return 21; }
    int invoiceTypeIndex() const override { return typeIndex; }
    QString invoiceTypeText() const override { return tavlix::invoiceTypeText(typeIndex); }
    void setInvoiceTypeEnabled(bool enabled) override { typeEnabledCalls << enabled; }
    ReportModel& lines() override { return lineModel; }
    void recomputeTotals() override {
        totals = yekunal(lineModel, TotalsInput{typeIndex, tavlix::invoiceTypeText(typeIndex),
                                                QStringLiteral("n1"), QStringLiteral("n2"),
                                                QStringLiteral("n3")});
    }
    void setReturnCount(const QString& count) override { returnCount = count; }
    void setLastReturnReference(const QString& serial, const QString& date) override {
        lastSerial = serial;
        lastDate = date;
    }
    void setCustomer(const CustomerFields& customer) override { customers << customer; }
    void hideCustomerSearch() override { ++searchHidden; }
    QStringList countries() const override { return countryList; }
    QDate today() const override { return todayDate; }
    CompanySettings currentCompanySettings() const override { return settings; }

    bool typeEnabled() const { return typeEnabledCalls.isEmpty() || typeEnabledCalls.last(); }

    QString workbookPath;
    int typeIndex = Satis;
    ReportModel lineModel;
    TotalsResult totals;
    QList<bool> typeEnabledCalls;
    QString returnCount;
    QString lastSerial;
    QString lastDate;
    QList<CustomerFields> customers;
    int searchHidden = 0;
    QStringList countryList;
    QDate todayDate{2024, 2, 10};
    CompanySettings settings;
};

} // namespace tavlix::test
