// The invoice being edited, as one plain value: what upload, saved workbooks and mail take from
// the main window instead of reading its controls by name. MainWindow::invoiceRecord() makes it.
#pragma once

#include "invoice/Money.h"
#include "store/CompanySettings.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace tavlix {

struct InvoiceRecord {
    // Header (the main window's controls).
    QString company;        // Combo4
    int typeIndex = -1;     // Combo1 position; -1 while no type is chosen
    QString typeText;       // Combo1 text: "SATIŞ", "İADE", "TEVKİFAT" …
    QString currency;       // Combo2
    QString exchangeRate;   // Text7
    QString invoiceDate;    // Text8, "dd/MM/yyyy"
    QString issueTime;      // Text9, "hh:mm:ss"
    QString dispatchDate;   // Text10, "dd/MM/yyyy"
    QString dispatchSerial; // Text11

    // Customer.
    QString customerName;      // Combo3
    QString customerAddress;   // Text2
    QString customerCountry;   // Text12
    QString taxOffice;         // Text3
    QString taxNumber;         // Text4
    QString customerEmail;     // Text5
    QString customerTitle;     // uunvan: the card's name (mDATA C) once a card was chosen
    QString customerFirstName; // aad
    QString customerSurname;   // ssoyad

    // Notes Text6, lines "\n"-separated as the box shows them.
    QString notes;

    // Lines ListView1: headers, then every row's cells as text.
    QStringList lineHeaders;
    QList<QStringList> lines;
    // Totals ListView2 rows ("s", "Açıklama", "Tutar").
    QList<QStringList> totals;

    // Purchase-invoice references of a return invoice, "serial---dd/mm/yyyy", in order.
    QStringList returnReferences;

    // The company's settings and the values the totals routine builds.
    CompanySettings settings;
    QString kdvMatStr;
    QString yazTopStr;
    money::Kurus checkTotal = 0;

    // Set once the portal's document list showed this invoice after its upload; a new invoice on
    // the main window (other lines, type or company) and a loaded workbook have none.
    QString portalNumber;
    QString portalEttn;

    // The saved workbook's file name when the invoice was loaded from one ("Excel Yükle").
    QString sourceWorkbook;

    bool hasLines() const { return !lines.isEmpty(); }
};

} // namespace tavlix
