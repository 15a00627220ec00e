// A filed XML read as the summary reads it: the embedded stylesheet is skipped without losing a
// figure or hiding a broken file, odd dates go the long way, and one buffer serves every file.
#include "summary/IssuedInvoiceXml.h"

#include "support/Files.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace tavlix::summary {
namespace {

const QByteArray kBase64 = QByteArray(3000, 'Q') + "==";

QByteArray package(const QByteArray& embedded, const char* date = "2026-11-02") {
    return "<?xml version=\"1.0\"?><Invoice xmlns=\"urn:ubl:Invoice-2\" xmlns:cac=\"urn:cac\" "
           "xmlns:cbc=\"urn:cbc\"><cbc:UUID>e-1</cbc:UUID><cbc:IssueDate>" +
           QByteArray(date) +
           "</cbc:IssueDate><cbc:InvoiceTypeCode>SATIS</cbc:InvoiceTypeCode>"
           "<cac:AdditionalDocumentReference><cac:Attachment>" +
           embedded +
           "</cac:Attachment></cac:AdditionalDocumentReference><cac:TaxTotal><cac:TaxSubtotal>"
           "<cbc:TaxableAmount currencyID=\"TRY\">1000.00</cbc:TaxableAmount><cbc:TaxAmount "
           "currencyID=\"TRY\">200.00</cbc:TaxAmount><cbc:Percent>20</cbc:Percent>"
           "<cac:TaxCategory><cac:TaxScheme><cbc:TaxTypeCode>0015</cbc:TaxTypeCode></cac:TaxScheme>"
           "</cac:TaxCategory></cac:TaxSubtotal></cac:TaxTotal></Invoice>";
}

QByteArray object(const QByteArray& attributes, const QByteArray& text) {
    return "<cbc:EmbeddedDocumentBinaryObject" + attributes + ">" + text +
           "</cbc:EmbeddedDocumentBinaryObject>";
}

TEST(FiledXmlReading, EmbeddedStylesheetsAndDatesReadOrFailAsAWholeParseWould) {
    const QByteArray whole = package(object(" mimeCode=\"a>b\" filename='x.xslt'", kBase64));
    const struct {
        const char* name;
        QByteArray xml;
        QString reason; // empty: read, 1000,00 at 20 % on the date below
        QDate date = QDate(2026, 11, 2);
    } cases[] = {
        {"quoted '>' in the start tag", whole, {}},
        {"no prefix, blank before '>'",
         package("<EmbeddedDocumentBinaryObject >" + kBase64 + "</EmbeddedDocumentBinaryObject>"),
         {}},
        {"an empty element", package("<cbc:EmbeddedDocumentBinaryObject/>"), {}},
        {"the name in a comment", package("<!-- <cbc:EmbeddedDocumentBinaryObject>AB -->"), {}},
        {"text with a child", package(object("", "AB<cbc:X/>CD")), {}},
        {"a look-alike name", package(object("", "AB").replace("Object", "ObjectX")), {}},
        {"cut inside the base64", whole.left(whole.indexOf("QQQ") + 100),
         u"XML bozuk ya da yarım"_s},
        {"cut inside a quoted value", whole.left(whole.indexOf("a>b") + 2),
         u"XML bozuk ya da yarım"_s},
        {"end tag missing",
         package(object("", kBase64)).replace("</cbc:EmbeddedDocumentBinaryObject>", ""),
         u"XML bozuk ya da yarım"_s},
        {"empty file", {}, u"XML bozuk ya da yarım"_s},
        {"month 13", package({}, "2026-13-01"), u"düzenleme tarihi yok"_s},
        {"year 0", package({}, "0000-01-01"), u"düzenleme tarihi yok"_s},
        {"other separators", package({}, "2026/11/02"), {}},
        {"date and time", package({}, "2026-11-02T10:00:00"), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Result<IssuedInvoice> read = readIssuedInvoice(c.xml);
        ASSERT_EQ(read.ok(), c.reason.isEmpty()) << read.message().toStdString();
        if (!read) {
            EXPECT_EQ(read.message(), c.reason);
            continue;
        }
        EXPECT_EQ(read->ettn, u"E-1"_s);
        EXPECT_EQ(read->issueDate, c.date);
        ASSERT_EQ(read->rates.size(), 1u);
        EXPECT_EQ(read->rates[0].taxable, 100000);
        EXPECT_EQ(read->rates[0].vat, 20000);
    }
}

// One buffer from a large file to a small one and past files that cannot be read.
TEST(FiledXmlReading, OneBufferServesLargeSmallAndUnreadableFiles) {
    QTemporaryDir dir;
    const QString large = dir.filePath(u"large.xml"_s);
    const QString small = dir.filePath(u"small.xml"_s);
    test::writeFile(large, package(object("", kBase64 + kBase64)));
    test::writeFile(small, package({}).replace("e-1", "e-2"));
    std::string buffer;
    const struct {
        QString path;
        QString ettnOrReason;
    } files[] = {
        {large, u"E-1"_s},
        {small, u"E-2"_s},
        {dir.filePath(u"yok.xml"_s), u"okunamadı"_s},
        {dir.path(), u"okunamadı"_s}, // a folder opens but cannot be read
        {large, u"E-1"_s},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.path.toStdString());
        const Result<IssuedInvoice> read = readIssuedInvoiceFile(f.path, buffer);
        EXPECT_EQ(read ? read->ettn : read.message(), f.ettnOrReason);
    }
}

} // namespace
} // namespace tavlix::summary
