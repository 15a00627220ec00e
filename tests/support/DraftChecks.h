// What the stand-in portal received, compared with the invoice it was typed from, field by field.
// Header-only: it needs the program's InvoiceRecord, which the support library does not see.
#pragma once

#include "invoice/InvoiceRecord.h"
#include "portal/InvoiceUpload.h"

#include <QJsonArray>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace tavlix::test {

inline QString draftText(const QJsonObject& o, const char* key) {
    return o.value(QString::fromUtf8(key)).toString();
}

inline void expectDraftMatches(const QJsonObject& draft, const InvoiceRecord& inv) {
    using namespace Qt::StringLiterals;
    const QString type = portal::portalTypeValue(inv.typeText);
    EXPECT_EQ(draftText(draft, "faturaTarihi"), inv.invoiceDate);
    EXPECT_EQ(draftText(draft, "saat"), inv.issueTime);
    EXPECT_EQ(draftText(draft, "paraBirimi"), inv.currency);
    EXPECT_EQ(draftText(draft, "dovizKuru"), inv.exchangeRate);
    EXPECT_EQ(draftText(draft, "faturaTipi"), type);
    EXPECT_EQ(draftText(draft, "aliciVkn"), inv.taxNumber);
    EXPECT_EQ(draftText(draft, "ulke"), inv.customerCountry);
    EXPECT_EQ(draftText(draft, "adres"), inv.customerAddress);
    EXPECT_EQ(draftText(draft, "irsaliyeNo"),
              inv.dispatchDate.isEmpty() ? QString() : inv.dispatchSerial);
    EXPECT_EQ(draftText(draft, "irsaliyeTarihi"), inv.dispatchDate);
    // Every line break of the notes reached the page as Enter; the last Enter saved.
    EXPECT_EQ(draftText(draft, "not"), inv.notes + u"\n"_s);

    QStringList references;
    for (const QJsonValue& r : draft.value(u"iadeler"_s).toArray())
        references << draftText(r.toObject(), "seri") + u"---"_s + draftText(r.toObject(), "tarih");
    EXPECT_EQ(references, inv.typeText == u"İADE"_s ? inv.returnReferences : QStringList());

    const QJsonArray rows = draft.value(u"satirlar"_s).toArray();
    ASSERT_EQ(rows.size(), inv.lines.size());
    const int firstTax = type == u"TEVKIFAT"_s     ? 13
                         : type == u"OZELMATRAH"_s ? 12
                         : type == u"ISTISNA"_s    ? 11
                                                   : 10;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        SCOPED_TRACE(r + 1);
        const QJsonObject row = rows[r].toObject();
        const QStringList& cell = inv.lines[r];
        EXPECT_EQ(draftText(row, "ad"), cell.value(1));
        EXPECT_EQ(draftText(row, "miktar"), cell.value(2));
        EXPECT_EQ(draftText(row, "birim"), cell.value(3));
        EXPECT_EQ(draftText(row, "fiyat"), cell.value(4));
        EXPECT_EQ(draftText(row, "iskontoOrani"), cell.value(5));
        // Amounts the portal computed itself, equal to the program's.
        EXPECT_EQ(draftText(row, "iskonto"), cell.value(6));
        EXPECT_EQ(draftText(row, "net"), cell.value(7));
        EXPECT_EQ(draftText(row, "kdvOrani"), cell.value(8));
        if (type != u"ISTISNA"_s) {
            EXPECT_EQ(draftText(row, "kdv"), cell.value(9));
        }
        if (type == u"TEVKIFAT"_s) {
            const QString code = cell.value(10).left(3);
            EXPECT_EQ(draftText(row, "tevkifatKodu"), code);
            EXPECT_EQ(draftText(row, "tevkifat"), cell.value(12));
            EXPECT_EQ(draftText(row, "tevkifatOnay"), code.startsWith(u'8') ? code : QString());
        } else if (type == u"ISTISNA"_s) {
            EXPECT_EQ(draftText(row, "gtip"), cell.value(10));
        } else if (type == u"OZELMATRAH"_s) {
            EXPECT_EQ(draftText(row, "ozelMatrahNedeni"), cell.value(10).left(3));
            EXPECT_EQ(draftText(row, "ozelMatrahOnay"), cell.value(10).left(3));
            EXPECT_EQ(draftText(row, "ozelMatrah"), cell.value(11));
        }
        for (int c = firstTax; c + 1 < inv.lineHeaders.size(); c += 2) {
            const QString code = inv.lineHeaders[c].left(5);
            EXPECT_EQ(row.value(u"oran:"_s + code).toString(), cell.value(c)) << c;
            // A tax added in the taxes dialog has empty cells until the next recomputation.
            const QString amount = cell.value(c + 1);
            EXPECT_EQ(row.value(u"tutar:"_s + code).toString(),
                      amount.isEmpty() ? u"0,00"_s : amount)
                << c;
        }
    }
}

} // namespace tavlix::test
