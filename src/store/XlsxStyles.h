// The package's styles part: cell formats (xf) derived from existing ones for "format range",
// keeping every existing entry so cells that already carry a style keep it.
#pragma once

#include "store/WorkbookStore.h"
#include "store/XlsxXml.h"

#include <QHash>

#include <optional>

namespace tavlix::store::detail {

class StyleSheet {
public:
    // A minimal valid styles part (one font, the two required fills, one border, one xf).
    static QByteArray defaultXml();

    XmlPart& part() { return m_part; }
    const XmlPart& part() const { return m_part; }

    // The index of a cell format equal to `xfIndex` with `format` applied on top; new font, fill
    // and xf entries are appended. Requests with the same base and format share one entry.
    int derive(int xfIndex, const RangeFormat& format);
    // True when the cell format's font is bold.
    bool isBold(int xfIndex) const;

private:
    pugi::xml_node section(const char* local, pugi::xml_node before = {});
    static pugi::xml_node nthChild(const pugi::xml_node& parent, int index);
    static int countChildren(const pugi::xml_node& parent, const char* local);
    static void setCount(pugi::xml_node section, const char* local);

    XmlPart m_part;
    QHash<QString, int> m_derived;
};

} // namespace tavlix::store::detail
