#include "files/IssuedInvoices.h"

#include "invoice/InvoiceType.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <pugixml.hpp>

#include <algorithm>
#include <cstring>
#include <tuple>

using namespace Qt::StringLiterals;

namespace tavlix::files {

namespace {

// UBL prefixes differ from producer to producer: elements are matched by their local name.
bool isLocal(const pugi::xml_node& node, const char* name) {
    const char* full = node.name();
    const char* colon = std::strrchr(full, ':');
    return std::strcmp(colon ? colon + 1 : full, name) == 0;
}

pugi::xml_node child(const pugi::xml_node& parent, const char* name) {
    for (pugi::xml_node n = parent.first_child(); n; n = n.next_sibling())
        if (n.type() == pugi::node_element && isLocal(n, name))
            return n;
    return {};
}

QString textOf(const pugi::xml_node& node) {
    return QString::fromUtf8(node.child_value()).trimmed();
}

void readXml(const QString& xmlPath, IssuedInvoice& invoice) {
    QFile file(xmlPath);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    pugi::xml_document doc;
    if (!doc.load_buffer(bytes.constData(), size_t(bytes.size())))
        return;
    const pugi::xml_node root = doc.document_element();
    if (!isLocal(root, "Invoice"))
        return;
    if (const QString number = textOf(child(root, "ID")); !number.isEmpty())
        invoice.number = number;
    invoice.date = QDate::fromString(textOf(child(root, "IssueDate")), u"yyyy-MM-dd"_s);
    invoice.ettn = textOf(child(root, "UUID")).toUpper();
    invoice.typeCode = textOf(child(root, "InvoiceTypeCode"));
    bool numeric = false;
    const double payable =
        textOf(child(child(root, "LegalMonetaryTotal"), "PayableAmount")).toDouble(&numeric);
    if (numeric)
        invoice.payable = money::kurus(payable);
    const pugi::xml_node party = child(child(root, "AccountingCustomerParty"), "Party");
    invoice.taxNumber = textOf(child(child(party, "PartyIdentification"), "ID"));
    invoice.buyer = textOf(child(child(party, "PartyName"), "Name"));
    if (invoice.buyer.isEmpty()) {
        const pugi::xml_node person = child(party, "Person");
        invoice.buyer =
            (textOf(child(person, "FirstName")) + u' ' + textOf(child(person, "FamilyName")))
                .trimmed();
    }
}

} // namespace

QString IssuedInvoice::caption() const {
    if (!date.isValid())
        return QFileInfo(pdfPath).fileName();
    return number + u"  "_s + date.toString(u"dd.MM.yyyy"_s) + u"  "_s + buyer;
}

IssuedInvoice readIssuedInvoice(const QString& pdfPath) {
    const QFileInfo pdf(pdfPath);
    const QString sales = QDir::cleanPath(pdf.absolutePath() + u"/.."_s);
    const QString stem = pdf.completeBaseName();
    IssuedInvoice invoice;
    invoice.pdfPath = pdf.absoluteFilePath();
    invoice.htmlPath = sales + u"/Html/"_s + stem + u".html"_s;
    invoice.number = stem.section(u'-', 0, 0);
    invoice.printed = pdf.lastModified();
    readXml(sales + u"/Xml/"_s + stem + u".xml"_s, invoice);
    return invoice;
}

QList<IssuedInvoice> listIssuedInvoices(const QString& companyFolder) {
    QList<IssuedInvoice> list;
    if (companyFolder.isEmpty())
        return list;
    const QDir pdfs(companyFolder + u"/Satış Faturaları/Pdf"_s);
    for (const QString& name : pdfs.entryList(QDir::Files))
        if (name.toLower().endsWith(u".pdf"_s))
            list.append(readIssuedInvoice(pdfs.filePath(name)));
    std::stable_sort(list.begin(), list.end(), [](const IssuedInvoice& a, const IssuedInvoice& b) {
        return std::tie(a.date, a.number, a.printed) > std::tie(b.date, b.number, b.printed);
    });
    return list;
}

QHash<QString, QString> issuedStates(const QString& companyFolder) {
    if (companyFolder.isEmpty())
        return {};
    const auto journal = portal::readJournal(portal::journalPathIn(companyFolder));
    return journal ? portal::statesByEttn(*journal) : QHash<QString, QString>();
}

QList<portal::FiledInvoice> filedInvoicesOfMonth(const QString& companyFolder, int year,
                                                 int month) {
    static const QStringList codes = {u"SATIS"_s,   u"IADE"_s,       u"TEVKIFAT"_s,
                                      u"ISTISNA"_s, u"OZELMATRAH"_s, u"IHRACKAYITLI"_s};
    QList<portal::FiledInvoice> list;
    if (companyFolder.isEmpty())
        return list;
    QSet<QString> seen;
    const QDir xmls(companyFolder + u"/Satış Faturaları/Xml"_s);
    for (const QString& name : xmls.entryList(QDir::Files, QDir::Name)) {
        if (!name.endsWith(u".xml"_s, Qt::CaseInsensitive))
            continue;
        IssuedInvoice read;
        readXml(xmls.filePath(name), read);
        if (read.ettn.isEmpty() || read.date.year() != year || read.date.month() != month ||
            seen.contains(read.ettn))
            continue;
        seen.insert(read.ettn);
        const qsizetype type = codes.indexOf(read.typeCode);
        list.append({read.ettn, read.number, read.date,
                     type < 0 ? read.typeCode : invoiceTypeText(int(type)), read.taxNumber,
                     read.buyer, read.payable, QFileInfo(xmls.filePath(name)).lastModified()});
    }
    return list;
}

} // namespace tavlix::files
