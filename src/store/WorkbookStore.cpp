#include "store/WorkbookStore.h"

#include "store/XlsxWorkbook.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <cstring>
#include <vector>

using namespace Qt::StringLiterals;

namespace tavlix::store {

using namespace detail;

namespace {

const char* const kRelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const char* const kWorksheetRel =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet";
const char* const kStylesRel =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles";
const char* const kWorksheetType =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";
const char* const kStylesType =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml";

bool endsWith(const char* s, const char* suffix) {
    const size_t a = std::strlen(s);
    const size_t b = std::strlen(suffix);
    return a >= b && std::strcmp(s + a - b, suffix) == 0;
}

} // namespace

namespace detail {

// ---- WorkbookImpl ------------------------------------------------------------------------------

Error WorkbookImpl::openError(const QString& path, ErrorCode code, const QString& reason) {
    return makeError(code, u"Çalışma kitabı açılamadı: %1 (%2)"_s.arg(path, reason));
}

Result<std::unique_ptr<Workbook>> WorkbookImpl::load(const QString& path) {
    std::unique_ptr<WorkbookImpl> book(new WorkbookImpl);
    book->m_path = path;
    if (Result<void> r = book->readPackage(path); !r)
        return r.error();
    return std::unique_ptr<Workbook>(std::move(book));
}

Result<void> WorkbookImpl::readPackage(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return openError(path, ErrorCode::NotFound, u"dosya bulunamadı"_s);
    if (info.isDir())
        return openError(path, ErrorCode::BadFormat, u"bir klasör, dosya değil"_s);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return openError(path, ErrorCode::Io, u"dosya okunamadı"_s);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return openError(path, ErrorCode::Io, u"dosya okunamadı"_s);
    file.close();

    auto archive = ZipArchive::fromBytes(std::move(bytes));
    if (!archive)
        return openError(path, ErrorCode::BadFormat, u"geçerli bir xlsx dosyası değil"_s);
    m_source = std::move(archive.value());

    auto readXml = [&](XmlPart& part, const QString& name, bool required) -> Result<void> {
        part.name = name;
        const auto data = m_source->read(name);
        if (!data) {
            if (!required)
                return {};
            return openError(path, ErrorCode::BadFormat, u"%1 bulunamadı"_s.arg(name));
        }
        if (!part.parse(*data))
            return openError(path, ErrorCode::BadFormat, u"bozuk XML: %1"_s.arg(name));
        return {};
    };

    if (auto r = readXml(m_contentTypes, u"[Content_Types].xml"_s, true); !r)
        return r;
    if (auto r = readXml(m_rootRels, u"_rels/.rels"_s, false); !r)
        return r;
    QString workbookPart = u"xl/workbook.xml"_s;
    for (pugi::xml_node rel = m_rootRels.root().first_child(); rel; rel = rel.next_sibling()) {
        if (endsWith(rel.attribute("Type").value(), "/officeDocument")) {
            workbookPart = resolveTarget(QString(), toQString(rel.attribute("Target").value()));
            break;
        }
    }
    if (auto r = readXml(m_workbook, workbookPart, true); !r)
        return r;
    if (!isElement(m_workbook.root(), "workbook"))
        return openError(path, ErrorCode::BadFormat, u"bozuk XML: %1"_s.arg(workbookPart));
    if (auto r = readXml(m_workbookRels, relsPartFor(workbookPart), true); !r)
        return r;

    QHash<QString, std::pair<QString, QString>> rels; // id → (type, part)
    QString sharedStringsPart;
    QString stylesPart;
    for (pugi::xml_node rel = m_workbookRels.root().first_child(); rel; rel = rel.next_sibling()) {
        if (!isElement(rel, "Relationship") ||
            std::strcmp(rel.attribute("TargetMode").value(), "External") == 0)
            continue;
        const char* type = rel.attribute("Type").value();
        const QString part =
            resolveTarget(workbookPart, toQString(rel.attribute("Target").value()));
        rels.insert(toQString(rel.attribute("Id").value()), {toQString(type), part});
        if (endsWith(type, "/sharedStrings"))
            sharedStringsPart = part;
        else if (endsWith(type, "/styles"))
            stylesPart = part;
    }

    if (!sharedStringsPart.isEmpty()) {
        XmlPart strings;
        if (auto r = readXml(strings, sharedStringsPart, false); !r)
            return r;
        for (pugi::xml_node si = strings.root().first_child(); si; si = si.next_sibling()) {
            if (isElement(si, "si"))
                m_sharedStrings.push_back(stringItemText(si));
        }
    }
    if (!stylesPart.isEmpty() && m_source->contains(stylesPart)) {
        m_styles = std::make_unique<StyleSheet>();
        if (auto r = readXml(m_styles->part(), stylesPart, true); !r)
            return r;
    }

    const pugi::xml_node sheets = firstChild(m_workbook.root(), "sheets");
    for (pugi::xml_node s = sheets.first_child(); s; s = s.next_sibling()) {
        if (!isElement(s, "sheet"))
            continue;
        auto sheet = std::make_unique<SheetImpl>(this, s);
        const auto rel = rels.constFind(toQString(prefixedAttribute(s, "id").value()));
        if (rel != rels.constEnd() && rel->first.endsWith(u"/worksheet")) {
            const auto data = m_source->read(rel->second);
            if (!data) {
                return openError(path, ErrorCode::BadFormat,
                                 u"%1 sayfasının verisi okunamadı"_s.arg(sheet->name()));
            }
            if (!sheet->load(rel->second, *data))
                return openError(path, ErrorCode::BadFormat, u"bozuk XML: %1"_s.arg(rel->second));
        }
        m_sheets.push_back(std::move(sheet));
    }
    if (m_sheets.empty())
        return openError(path, ErrorCode::BadFormat, u"çalışma kitabında sayfa yok"_s);
    const pugi::xml_node view =
        firstChild(firstChild(m_workbook.root(), "bookViews"), "workbookView");
    m_activeTab = std::clamp(view.attribute("activeTab").as_int(0), 0, int(m_sheets.size()) - 1);
    return {};
}

std::unique_ptr<Workbook> WorkbookImpl::createNew() {
    std::unique_ptr<WorkbookImpl> book(new WorkbookImpl);
    auto init = [](XmlPart& part, const char* name, const char* xml) {
        part.name = QString::fromUtf8(name);
        part.parse(QByteArray(xml));
        part.dirty = true;
    };
    init(book->m_contentTypes, "[Content_Types].xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
         "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
         "<Default Extension=\"rels\" "
         "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
         "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
         "<Override PartName=\"/xl/workbook.xml\" "
         "ContentType=\"application/"
         "vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/></Types>");
    init(book->m_rootRels, "_rels/.rels",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" "
         "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
         "officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>");
    init(book->m_workbook, "xl/workbook.xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
         "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
         "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
         "<bookViews><workbookView activeTab=\"0\"/></bookViews><sheets/></workbook>");
    init(book->m_workbookRels, "xl/_rels/workbook.xml.rels",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"/>");
    book->styles();
    pugi::xml_node entry = appendChild(firstChild(book->m_workbook.root(), "sheets"), "sheet");
    entry.append_attribute("name") = "Sayfa1";
    entry.append_attribute("sheetId") = 1;
    const QString part = u"xl/worksheets/sheet1.xml"_s;
    book->addRelationship(kWorksheetRel, part);
    const pugi::xml_node rel = book->m_workbookRels.root().last_child();
    entry.append_attribute("r:id") = rel.attribute("Id").value();
    book->addOverride(part, kWorksheetType);
    auto sheet = std::make_unique<SheetImpl>(book.get(), entry);
    sheet->initNew(part);
    sheet->setSelected(true);
    book->m_sheets.push_back(std::move(sheet));
    return book;
}

StyleSheet& WorkbookImpl::styles() {
    if (!m_styles) {
        m_styles = std::make_unique<StyleSheet>();
        const QString part = newPartName(u"xl/styles%1.xml"_s);
        m_styles->part().name = part;
        m_styles->part().parse(StyleSheet::defaultXml());
        m_styles->part().dirty = true;
        addRelationship(kStylesRel, part);
        addOverride(part, kStylesType);
    }
    return *m_styles;
}

bool WorkbookImpl::partExists(const QString& part) const {
    const QString lower = part.toLower();
    if (m_source && m_source->contains(part))
        return true;
    if (m_styles && m_styles->part().name.toLower() == lower)
        return true;
    return std::any_of(m_sheets.begin(), m_sheets.end(), [&](const auto& s) {
        return s->isWorksheet() && s->part().name.toLower() == lower;
    });
}

// The pattern with %1 replaced by "" or the smallest number that names no existing part
// ("xl/styles%1.xml" → "xl/styles.xml"; "xl/worksheets/sheet%1.xml" → "…/sheet5.xml").
QString WorkbookImpl::newPartName(const QString& pattern) const {
    if (!pattern.contains(u"sheet%1"_s) && !partExists(pattern.arg(QString())))
        return pattern.arg(QString());
    for (int n = 1;; ++n) {
        const QString name = pattern.arg(n);
        if (!partExists(name))
            return name;
    }
}

QString WorkbookImpl::newRelationshipId() const {
    QSet<QString> ids;
    for (pugi::xml_node rel = m_workbookRels.root().first_child(); rel; rel = rel.next_sibling())
        ids.insert(toQString(rel.attribute("Id").value()));
    for (int n = 1;; ++n) {
        const QString id = u"rId%1"_s.arg(n);
        if (!ids.contains(id))
            return id;
    }
}

void WorkbookImpl::addRelationship(const char* type, const QString& part) {
    const QString id = newRelationshipId();
    pugi::xml_node rel = appendChild(m_workbookRels.root(), "Relationship");
    rel.append_attribute("Id") = id.toStdString().c_str();
    rel.append_attribute("Type") = type;
    rel.append_attribute("Target") = relativeTarget(m_workbook.name, part).toStdString().c_str();
    m_workbookRels.dirty = true;
}

void WorkbookImpl::addOverride(const QString& part, const char* contentType) {
    pugi::xml_node o = appendChild(m_contentTypes.root(), "Override");
    o.append_attribute("PartName") = (u"/"_s + part).toStdString().c_str();
    o.append_attribute("ContentType") = contentType;
    m_contentTypes.dirty = true;
}

bool WorkbookImpl::nameTaken(const QString& name, const SheetImpl* except) const {
    return std::any_of(m_sheets.begin(), m_sheets.end(), [&](const auto& s) {
        return s.get() != except && s->name().compare(name, Qt::CaseInsensitive) == 0;
    });
}

QStringList WorkbookImpl::sheetNames() const {
    QStringList names;
    for (const auto& s : m_sheets)
        names.append(s->name());
    return names;
}

Worksheet* WorkbookImpl::sheet(const QString& name) {
    for (const auto& s : m_sheets) {
        if (s->isWorksheet() && s->name().compare(name, Qt::CaseInsensitive) == 0)
            return s.get();
    }
    return nullptr;
}

Worksheet* WorkbookImpl::activeSheet() {
    return m_sheets[size_t(m_activeTab)].get();
}

Worksheet& WorkbookImpl::addSheet() {
    QString name;
    for (int n = 2;; ++n) {
        name = u"Sayfa%1"_s.arg(n);
        if (!nameTaken(name, nullptr))
            break;
    }
    const int position = m_activeTab;
    SheetImpl* previous = m_sheets[size_t(position)].get();

    int sheetId = 0;
    pugi::xml_node sheets = firstChild(m_workbook.root(), "sheets");
    for (pugi::xml_node s = sheets.first_child(); s; s = s.next_sibling())
        sheetId = std::max(sheetId, s.attribute("sheetId").as_int());
    const QString part = newPartName(u"xl/worksheets/sheet%1.xml"_s);
    QString relType = QString::fromUtf8(kWorksheetRel);
    for (pugi::xml_node rel = m_workbookRels.root().first_child(); rel; rel = rel.next_sibling()) {
        if (endsWith(rel.attribute("Type").value(), "/worksheet")) {
            relType = toQString(rel.attribute("Type").value());
            break;
        }
    }
    addRelationship(relType.toStdString().c_str(), part);
    const std::string relId = m_workbookRels.root().last_child().attribute("Id").value();

    pugi::xml_node entry = insertChildBefore(sheets, "sheet", previous->entry());
    entry.append_attribute("name") = name.toStdString().c_str();
    entry.append_attribute("sheetId") = sheetId + 1;
    // Use the prefix the document binds to the relationships namespace.
    std::string relAttr;
    for (pugi::xml_attribute a = m_workbook.root().first_attribute(); a; a = a.next_attribute()) {
        if (std::strcmp(a.value(), kRelNs) == 0 && std::strncmp(a.name(), "xmlns:", 6) == 0) {
            relAttr = std::string(a.name() + 6) + ":id";
            break;
        }
    }
    if (relAttr.empty()) {
        m_workbook.root().append_attribute("xmlns:r") = kRelNs;
        relAttr = "r:id";
    }
    entry.append_attribute(relAttr.c_str()) = relId.c_str();
    addOverride(part, kWorksheetType);

    // Sheet-local names count sheets by position; the ones after the insertion move up by one.
    const pugi::xml_node names = firstChild(m_workbook.root(), "definedNames");
    for (pugi::xml_node dn = names.first_child(); dn; dn = dn.next_sibling()) {
        pugi::xml_attribute local = dn.attribute("localSheetId");
        if (local && local.as_int() >= position)
            local = local.as_int() + 1;
    }

    auto sheet = std::make_unique<SheetImpl>(this, entry);
    sheet->initNew(part);
    SheetImpl* added = sheet.get();
    m_sheets.insert(m_sheets.begin() + position, std::move(sheet));
    previous->setSelected(false);
    added->setSelected(true);

    pugi::xml_node root = m_workbook.root();
    pugi::xml_node views = firstChild(root, "bookViews");
    if (!views)
        views = insertChildBefore(root, "bookViews", sheets);
    pugi::xml_node view = firstChild(views, "workbookView");
    if (!view)
        view = appendChild(views, "workbookView");
    ensureAttribute(view, "activeTab") = position;
    if (pugi::xml_attribute firstTab = view.attribute("firstSheet");
        firstTab && firstTab.as_int() > position)
        firstTab = position;
    m_activeTab = position;
    m_workbook.dirty = true;
    return *added;
}

Result<void> WorkbookImpl::save() {
    if (m_path.isEmpty()) {
        return makeError(ErrorCode::InvalidInput,
                         u"Çalışma kitabı kaydedilemedi: dosya yolu belirtilmemiş"_s);
    }
    if (Result<void> allowed = guardSave(); !allowed)
        return allowed;

    std::vector<XmlPart*> parts = {&m_contentTypes, &m_rootRels, &m_workbook, &m_workbookRels};
    if (m_styles)
        parts.push_back(&m_styles->part());
    for (const auto& s : m_sheets) {
        if (s->isWorksheet()) {
            s->prepareSave();
            parts.push_back(&s->part());
        }
    }
    QHash<QString, XmlPart*> dirty; // lower-cased name → part
    for (XmlPart* p : parts) {
        if (p->dirty)
            dirty.insert(p->name.toLower(), p);
    }

    std::vector<OutEntry> entries;
    QSet<QString> written;
    auto addDirty = [&](XmlPart* p) {
        entries.push_back({p->name, p->serialize(), std::nullopt});
        written.insert(p->name.toLower());
    };
    if (m_source) {
        const QStringList& names = m_source->entryNames();
        for (int i = 0; i < names.size(); ++i) {
            const QString lower = names[i].toLower();
            if (written.contains(lower))
                continue;
            if (XmlPart* p = dirty.value(lower))
                addDirty(p);
            else
                entries.push_back({names[i], {}, i});
            written.insert(lower);
        }
    }
    for (XmlPart* p : parts) {
        if (p->dirty && !written.contains(p->name.toLower()))
            addDirty(p);
    }

    auto zip = buildZip(m_source.get(), entries);
    const QString failed = u"Çalışma kitabı kaydedilemedi: %1 (%2)"_s;
    if (!zip)
        return makeError(ErrorCode::Io, failed.arg(m_path, zip.message()));
    if (auto r = writeFileAtomically(m_path, zip.value()); !r)
        return makeError(r.error().code, failed.arg(m_path, r.message()));
    return {};
}

Result<void> WorkbookImpl::saveAs(const QString& path) {
    const QString old = m_path;
    m_path = path;
    Result<void> r = save();
    if (!r)
        m_path = old;
    return r;
}

} // namespace detail

// ---- public functions --------------------------------------------------------------------------

Result<std::unique_ptr<Workbook>> Workbook::open(const QString& path) {
    return WorkbookImpl::load(path);
}

std::unique_ptr<Workbook> Workbook::create() {
    return WorkbookImpl::createNew();
}

Result<Worksheet*> Workbook::requireSheet(const QString& name) {
    if (Worksheet* s = sheet(name))
        return s;
    const QString file = path().isEmpty() ? u"yeni çalışma kitabı"_s : QFileInfo(path()).fileName();
    return makeError(ErrorCode::NotFound, u"%1 sayfası bulunamadı (%2)"_s.arg(name, file));
}

Result<OpenedSheets> openWithSheets(const QString& path, std::initializer_list<QString> names) {
    auto opened = Workbook::open(path);
    if (!opened)
        return opened.error();
    OpenedSheets out{std::move(opened).value(), {}};
    for (const QString& name : names) {
        auto sheet = out.book->requireSheet(name);
        if (!sheet)
            return sheet.error();
        out.sheets.push_back(sheet.value());
    }
    return out;
}

bool Worksheet::isOccupied(int row, int column) const {
    return !value(row, column).isEmpty() || hasFormula(row, column);
}

int Worksheet::firstFreeRow(int column) const {
    int row = 1;
    while (row < kMaxRow && !value(row, column).isEmpty())
        ++row;
    return row;
}

QString columnName(int column) {
    QString out;
    while (column > 0) {
        const int rem = (column - 1) % 26;
        out.prepend(QChar(u'A' + rem));
        column = (column - 1) / 26;
    }
    return out;
}

int columnNumber(const QString& letters) {
    if (letters.isEmpty() || letters.size() > 3)
        return 0;
    int n = 0;
    for (const QChar c : letters) {
        const char16_t u = c.toUpper().unicode();
        if (u < u'A' || u > u'Z')
            return 0;
        n = n * 26 + (u - u'A' + 1);
    }
    return n <= kMaxColumn ? n : 0;
}

} // namespace tavlix::store
