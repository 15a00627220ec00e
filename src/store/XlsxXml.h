// XML helpers for package parts: namespace-prefix-tolerant element lookup, parsing and writing a
// part, relationship targets, and the _xHHHH_ escapes of spreadsheet strings.
#pragma once

#include <QByteArray>
#include <QString>

#include <pugixml.hpp>

#include <string>

namespace tavlix::store::detail {

// An XML part of the package. `dirty` means its content differs from the file it was read from.
struct XmlPart {
    QString name; // zip entry name, e.g. "xl/worksheets/sheet1.xml"
    pugi::xml_document doc;
    bool dirty = false;

    // False when the bytes are not well-formed XML with a root element.
    bool parse(const QByteArray& bytes);
    QByteArray serialize(qsizetype sizeHint = 0) const;
    pugi::xml_node root() const { return doc.document_element(); }
};

// The name without its namespace prefix ("x:row" → "row").
const char* localName(const pugi::xml_node& node);
const char* localName(const pugi::xml_attribute& attr);
bool isElement(const pugi::xml_node& node, const char* local);
pugi::xml_node firstChild(const pugi::xml_node& parent, const char* local);
// A new child named with the parent's prefix, so prefixed documents stay consistent.
pugi::xml_node appendChild(pugi::xml_node parent, const char* local);
pugi::xml_node prependChild(pugi::xml_node parent, const char* local);
pugi::xml_node insertChildBefore(pugi::xml_node parent, const char* local, pugi::xml_node before);
// The first attribute with this local name that carries a prefix ("r:id").
pugi::xml_attribute prefixedAttribute(const pugi::xml_node& node, const char* local);
pugi::xml_attribute ensureAttribute(pugi::xml_node node, const char* name);

// Text content of an element's <t> children and of <r><t> runs (phonetic runs skipped).
QString stringItemText(const pugi::xml_node& item);
QString decodeEscapes(const char* utf8);
// Encodes characters XML cannot hold and literal "_xHHHH_" sequences.
std::string encodeEscapes(const QString& text);

// The part a relationship target points to, from the part that owns the relationship.
QString resolveTarget(const QString& ownerPart, const QString& target);
// "xl/workbook.xml" → "xl/_rels/workbook.xml.rels"; "" (the package) → "_rels/.rels".
QString relsPartFor(const QString& part);
// A target for `part` relative to the folder of `ownerPart`.
QString relativeTarget(const QString& ownerPart, const QString& part);

QString toQString(const char* utf8);

} // namespace tavlix::store::detail
