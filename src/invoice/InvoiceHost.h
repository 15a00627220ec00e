// What the other windows may see and change of the invoice on the main window. The main window
// implements it; window tests pass a small fake instead, so no window reaches another by name.
#pragma once

#include "store/CompanySettings.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace tavlix {

class ReportModel;

struct CustomerFields {
    QString name;      // Combo3 and the search field Text19
    QString address;   // Text2
    QString country;   // Text12
    QString taxOffice; // Text3
    QString taxNumber; // Text4
    QString email;     // Text5
};

class InvoiceHost {
public:
    virtual ~InvoiceHost() = default;

    // The program's own DATA.xlsx.
    virtual QString dataWorkbookPath() const = 0;
    // Company box Combo4 text, and the last company column (Text1).
    virtual QString companyName() const = 0;
    virtual int lastCompanyColumn() const = 0;
    // Invoice type: Combo1 position (-1 when none is chosen) and its text.
    virtual int invoiceTypeIndex() const = 0;
    virtual QString invoiceTypeText() const = 0;
    virtual void setInvoiceTypeEnabled(bool enabled) = 0;
    // The lines ListView1, and the totals run after they change (yekunal).
    virtual ReportModel& lines() = 0;
    virtual void recomputeTotals() = 0;
    // Return references: the count Label20 and the last reference (Text100, Text200).
    virtual void setReturnCount(const QString& count) = 0;
    virtual void setLastReturnReference(const QString& serial, const QString& date) = 0;
    // The customer card hands a customer to the invoice; hideCustomerSearch hides List3.
    virtual void setCustomer(const CustomerFields& customer) = 0;
    virtual void hideCustomerSearch() = 0;
    // The country list read at start-up (kodDATA column J).
    virtual QStringList countries() const = 0;
    // The program's today (TAVLIX_TODAY when set).
    virtual QDate today() const = 0;
    // The selected company's settings (portal credentials for the tax-number lookup).
    virtual CompanySettings currentCompanySettings() const { return {}; }
    // The portal credentials just written into the company's column of prgDATA.
    virtual void setPortalCredentials(const QString& user, const QString& password) {
        (void)user;
        (void)password;
    }
};

} // namespace tavlix
