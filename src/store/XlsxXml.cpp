#include "store/XlsxXml.h"

#include <QStringList>

#include <cstring>

using namespace Qt::StringLiterals;

namespace tavlix::store::detail {

namespace {

struct ByteWriter final : pugi::xml_writer {
    QByteArray* out;
    explicit ByteWriter(QByteArray* o)
        : out(o) {}
    void write(const void* data, size_t size) override {
        out->append(static_cast<const char*>(data), qsizetype(size));
    }
};

std::string withPrefixOf(const pugi::xml_node& node, const char* local) {
    const char* name = node.name();
    const char* colon = std::strchr(name, ':');
    if (colon == nullptr)
        return local;
    return std::string(name, colon + 1) + local;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

bool XmlPart::parse(const QByteArray& bytes) {
    const unsigned flags =
        pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single;
    const pugi::xml_parse_result r =
        doc.load_buffer(bytes.constData(), size_t(bytes.size()), flags, pugi::encoding_auto);
    if (!r || !doc.document_element())
        return false;
    // The content is written back as UTF-8 whatever it was read as; the declaration must agree.
    const pugi::xml_node declaration = doc.first_child();
    if (declaration.type() == pugi::node_declaration && declaration.attribute("encoding"))
        declaration.attribute("encoding").set_value("UTF-8");
    return true;
}

QByteArray XmlPart::serialize(qsizetype sizeHint) const {
    QByteArray out;
    if (sizeHint > 0)
        out.reserve(sizeHint);
    ByteWriter writer(&out);
    doc.save(writer, "", pugi::format_raw, pugi::encoding_utf8);
    return out;
}

const char* localName(const pugi::xml_node& node) {
    const char* name = node.name();
    const char* colon = std::strchr(name, ':');
    return colon != nullptr ? colon + 1 : name;
}

const char* localName(const pugi::xml_attribute& attr) {
    const char* name = attr.name();
    const char* colon = std::strchr(name, ':');
    return colon != nullptr ? colon + 1 : name;
}

bool isElement(const pugi::xml_node& node, const char* local) {
    return node.type() == pugi::node_element && std::strcmp(localName(node), local) == 0;
}

pugi::xml_node firstChild(const pugi::xml_node& parent, const char* local) {
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
        if (isElement(c, local))
            return c;
    }
    return {};
}

pugi::xml_node appendChild(pugi::xml_node parent, const char* local) {
    return parent.append_child(withPrefixOf(parent, local).c_str());
}

pugi::xml_node prependChild(pugi::xml_node parent, const char* local) {
    return parent.prepend_child(withPrefixOf(parent, local).c_str());
}

pugi::xml_node insertChildBefore(pugi::xml_node parent, const char* local, pugi::xml_node before) {
    if (!before)
        return appendChild(parent, local);
    return parent.insert_child_before(withPrefixOf(parent, local).c_str(), before);
}

pugi::xml_attribute prefixedAttribute(const pugi::xml_node& node, const char* local) {
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
        if (std::strchr(a.name(), ':') != nullptr && std::strcmp(localName(a), local) == 0 &&
            std::strncmp(a.name(), "xmlns", 5) != 0)
            return a;
    }
    return {};
}

pugi::xml_attribute ensureAttribute(pugi::xml_node node, const char* name) {
    pugi::xml_attribute a = node.attribute(name);
    return a ? a : node.append_attribute(name);
}

QString toQString(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QString stringItemText(const pugi::xml_node& item) {
    QString out;
    for (pugi::xml_node c = item.first_child(); c; c = c.next_sibling()) {
        if (isElement(c, "t")) {
            out += decodeEscapes(c.child_value());
        } else if (isElement(c, "r")) {
            if (const pugi::xml_node t = firstChild(c, "t"))
                out += decodeEscapes(t.child_value());
        }
    }
    return out;
}

QString decodeEscapes(const char* utf8) {
    if (std::strstr(utf8, "_x") == nullptr)
        return QString::fromUtf8(utf8);
    std::string s(utf8);
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '_' && i + 6 < s.size() && s[i + 1] == 'x' && s[i + 6] == '_') {
            int value = 0;
            bool hex = true;
            for (size_t k = 2; k < 6; ++k) {
                const int h = hexValue(s[i + k]);
                if (h < 0) {
                    hex = false;
                    break;
                }
                value = value * 16 + h;
            }
            if (hex) {
                out += QString(QChar(char16_t(value))).toStdString();
                i += 6;
                continue;
            }
        }
        out.push_back(s[i]);
    }
    return QString::fromStdString(out);
}

std::string encodeEscapes(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        const bool control = (u < 0x20 && u != '\t' && u != '\n') || u == 0xFFFE || u == 0xFFFF;
        const bool literalEscape =
            u == '_' && i + 6 < text.size() && text.at(i + 1) == u'x' && text.at(i + 6) == u'_';
        if (control || literalEscape)
            out += u"_x%1_"_s.arg(int(u), 4, 16, QChar(u'0')).toUpper().replace(u"_X"_s, u"_x"_s);
        else
            out += c;
    }
    return out.toStdString();
}

QString resolveTarget(const QString& ownerPart, const QString& target) {
    QString t = target;
    t.replace(u'\\', u'/');
    QString base;
    if (t.startsWith(u'/')) {
        t = t.mid(1);
    } else {
        const qsizetype slash = ownerPart.lastIndexOf(u'/');
        base = slash >= 0 ? ownerPart.left(slash + 1) : QString();
    }
    const QStringList pieces = (base + t).split(u'/', Qt::SkipEmptyParts);
    QStringList parts;
    for (const QString& p : pieces) {
        if (p == u".")
            continue;
        if (p == u"..") {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts.append(p);
    }
    return parts.join(u'/');
}

QString relsPartFor(const QString& part) {
    if (part.isEmpty())
        return u"_rels/.rels"_s;
    const qsizetype slash = part.lastIndexOf(u'/');
    const QString dir = slash >= 0 ? part.left(slash + 1) : QString();
    return dir + u"_rels/"_s + part.mid(slash + 1) + u".rels"_s;
}

QString relativeTarget(const QString& ownerPart, const QString& part) {
    const qsizetype slash = ownerPart.lastIndexOf(u'/');
    const QString dir = slash >= 0 ? ownerPart.left(slash + 1) : QString();
    if (!dir.isEmpty() && part.startsWith(dir))
        return part.mid(dir.size());
    return u"/"_s + part;
}

} // namespace tavlix::store::detail
