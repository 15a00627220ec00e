// The proforma mail as one value: its prefilled texts and the MIME message (UTF-8 subject and
// body, the saved invoice workbook attached under its own name) that both ways of sending hand on.
#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tavlix::mail {

struct ProformaMail {
    QString from;                // Text13
    QString to;                  // Text14
    QString cc;                  // Text15, addresses separated by ";" or ","
    QString subject;             // Text16
    QString body;                // Text17
    QString attachmentPath;      // the selected saved invoice
    QString attachmentName;      // the name the attachment carries
    QStringList moreAttachments; // further files, each under its own name
};

// company + " Proforma Faturası".
QString proformaSubject(const QString& company);
// "Sayın;", the customer, "Proforma faturamız ek'te gönderilmiştir.", "İyi çalışmalar dileriz",
// the company: five lines joined by CR LF.
QString proformaBody(const QString& customer, const QString& company);

// The addresses of a To or CC field: split at ";" and ",", trimmed, empty ones dropped.
QStringList addressList(const QString& field);

// The whole message with CR LF line ends. `withFrom` false leaves the From header to the
// system that sends it. Fails with a Turkish message when an address is missing or malformed
// or the attachment cannot be read.
Result<QByteArray> mimeMessage(const ProformaMail& mail, bool withFrom);

} // namespace tavlix::mail
