#include "store/XlsxStyles.h"

#include <array>

using namespace Qt::StringLiterals;

namespace tavlix::store::detail {

namespace {

constexpr std::array<unsigned, 56> kPalette = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
    0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080,
    0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF,
    0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF,
    0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696,
    0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333,
};

std::string argb(const Rgb& c) {
    return u"FF%1%2%3"_s.arg(c.r & 0xFF, 2, 16, QChar(u'0'))
        .arg(c.g & 0xFF, 2, 16, QChar(u'0'))
        .arg(c.b & 0xFF, 2, 16, QChar(u'0'))
        .toUpper()
        .toStdString();
}

QString formatKey(int xf, const RangeFormat& f, const std::optional<Rgb>& fill) {
    auto rgb = [](const std::optional<Rgb>& c) {
        return c ? u"%1.%2.%3"_s.arg(c->r).arg(c->g).arg(c->b) : u"-"_s;
    };
    return u"%1|%2|%3|%4|%5|%6|%7"_s.arg(xf)
        .arg(int(f.bold))
        .arg(rgb(f.fontColor), rgb(fill))
        .arg(int(f.centerHorizontally))
        .arg(int(f.centerVertically))
        .arg(int(f.moneyFormat));
}

} // namespace

} // namespace tavlix::store::detail

namespace tavlix::store {

std::optional<Rgb> paletteColor(int index) {
    if (index < 1 || index > int(detail::kPalette.size()))
        return std::nullopt;
    const unsigned v = detail::kPalette[size_t(index - 1)];
    return Rgb{int((v >> 16) & 0xFF), int((v >> 8) & 0xFF), int(v & 0xFF)};
}

} // namespace tavlix::store

namespace tavlix::store::detail {

QByteArray StyleSheet::defaultXml() {
    return QByteArrayLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<fonts count=\"1\"><font><sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/>"
        "</font></fonts>"
        "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
        "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
        "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
        "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/>"
        "</cellStyleXfs>"
        "<cellXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" "
        "xfId=\"0\"/></cellXfs>"
        "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/>"
        "</cellStyles></styleSheet>");
}

pugi::xml_node StyleSheet::nthChild(const pugi::xml_node& parent, int index) {
    int i = 0;
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element)
            continue;
        if (i == index)
            return c;
        ++i;
    }
    return {};
}

int StyleSheet::countChildren(const pugi::xml_node& parent, const char* local) {
    int n = 0;
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
        if (isElement(c, local))
            ++n;
    }
    return n;
}

void StyleSheet::setCount(pugi::xml_node section, const char* local) {
    ensureAttribute(section, "count") = countChildren(section, local);
}

// The section element, created in schema order when missing.
pugi::xml_node StyleSheet::section(const char* local, pugi::xml_node before) {
    pugi::xml_node root = m_part.root();
    if (pugi::xml_node s = firstChild(root, local))
        return s;
    return insertChildBefore(root, local, before);
}

int StyleSheet::derive(int xfIndex, const RangeFormat& format) {
    std::optional<Rgb> fillRgb = format.fillColor;
    if (!fillRgb && format.fillPaletteIndex)
        fillRgb = paletteColor(*format.fillPaletteIndex);
    const QString key = formatKey(xfIndex, format, fillRgb);
    if (const auto it = m_derived.constFind(key); it != m_derived.constEnd())
        return *it;

    pugi::xml_node root = m_part.root();
    pugi::xml_node cellXfs = firstChild(root, "cellXfs");
    if (!cellXfs) {
        cellXfs = section("cellXfs", firstChild(root, "cellStyles"));
        pugi::xml_node xf = appendChild(cellXfs, "xf");
        for (const char* a : {"numFmtId", "fontId", "fillId", "borderId", "xfId"})
            xf.append_attribute(a) = 0;
    }
    pugi::xml_node base = nthChild(cellXfs, xfIndex);
    if (!base)
        base = nthChild(cellXfs, 0);
    pugi::xml_node xf = base ? cellXfs.append_copy(base) : appendChild(cellXfs, "xf");

    if (format.bold || format.fontColor) {
        pugi::xml_node fonts = section("fonts", firstChild(root, "fills"));
        pugi::xml_node baseFont = nthChild(fonts, xf.attribute("fontId").as_int());
        pugi::xml_node font = baseFont ? fonts.append_copy(baseFont) : appendChild(fonts, "font");
        if (format.bold) {
            while (pugi::xml_node b = firstChild(font, "b"))
                font.remove_child(b);
            prependChild(font, "b");
        }
        if (format.fontColor) {
            while (pugi::xml_node c = firstChild(font, "color"))
                font.remove_child(c);
            pugi::xml_node before = firstChild(font, "name");
            insertChildBefore(font, "color", before).append_attribute("rgb") =
                argb(*format.fontColor).c_str();
        }
        setCount(fonts, "font");
        ensureAttribute(xf, "fontId") = countChildren(fonts, "font") - 1;
        ensureAttribute(xf, "applyFont") = 1;
    }
    if (fillRgb) {
        pugi::xml_node fills = section("fills", firstChild(root, "borders"));
        pugi::xml_node pattern = appendChild(appendChild(fills, "fill"), "patternFill");
        pattern.append_attribute("patternType") = "solid";
        appendChild(pattern, "fgColor").append_attribute("rgb") = argb(*fillRgb).c_str();
        appendChild(pattern, "bgColor").append_attribute("indexed") = 64;
        setCount(fills, "fill");
        ensureAttribute(xf, "fillId") = countChildren(fills, "fill") - 1;
        ensureAttribute(xf, "applyFill") = 1;
    }
    if (format.centerHorizontally || format.centerVertically) {
        pugi::xml_node alignment = firstChild(xf, "alignment");
        if (!alignment)
            alignment = prependChild(xf, "alignment");
        if (format.centerHorizontally)
            ensureAttribute(alignment, "horizontal") = "center";
        if (format.centerVertically)
            ensureAttribute(alignment, "vertical") = "center";
        ensureAttribute(xf, "applyAlignment") = 1;
    }
    if (format.moneyFormat) {
        ensureAttribute(xf, "numFmtId") = 4;
        ensureAttribute(xf, "applyNumberFormat") = 1;
    }
    setCount(cellXfs, "xf");
    m_part.dirty = true;
    const int index = countChildren(cellXfs, "xf") - 1;
    m_derived.insert(key, index);
    return index;
}

bool StyleSheet::isBold(int xfIndex) const {
    const pugi::xml_node root = m_part.root();
    const pugi::xml_node xf = nthChild(firstChild(root, "cellXfs"), xfIndex);
    const pugi::xml_node font =
        nthChild(firstChild(root, "fonts"), xf ? xf.attribute("fontId").as_int() : 0);
    const pugi::xml_node b = firstChild(font, "b");
    return b && b.attribute("val").as_bool(true);
}

} // namespace tavlix::store::detail
