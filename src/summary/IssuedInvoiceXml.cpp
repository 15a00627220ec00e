#include "summary/IssuedInvoiceXml.h"

#include <QFile>

#include <pugixml.hpp>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace tavlix::summary {

namespace {

struct Decimal {
    long long units = 0;
    int scale = 0; // digits after the point
};

std::string_view trimmed(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::optional<Decimal> parseDecimal(std::string_view text) {
    text = trimmed(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    Decimal d;
    bool digits = false;
    bool point = false;
    for (const char c : text) {
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (c < '0' || c > '9')
            return std::nullopt;
        digits = true;
        if (d.units > (LLONG_MAX - 9) / 10) {
            if (point)
                continue; // decimals beyond what a long long holds change no kuruş
            return std::nullopt;
        }
        d.units = d.units * 10 + (c - '0');
        if (point)
            ++d.scale;
    }
    if (!digits)
        return std::nullopt;
    if (negative)
        d.units = -d.units;
    return d;
}

// units × 10^-scale in hundredths, rounded half away from zero.
std::optional<long long> hundredths(long long units, int scale) {
    if (scale <= 2) {
        long long out = units;
        for (int i = scale; i < 2; ++i)
            if (__builtin_mul_overflow(out, 10LL, &out))
                return std::nullopt;
        return out;
    }
    if (scale - 2 > 18)
        return std::llround(static_cast<long double>(units) / std::pow(10.0L, scale - 2));
    long long p = 1;
    for (int i = 2; i < scale; ++i)
        p *= 10;
    long long q = units / p;
    const long long r = units % p;
    if (2 * (r < 0 ? -r : r) >= p)
        q += units < 0 ? -1 : 1;
    return q;
}

const char* localName(const pugi::xml_node& node) {
    const char* name = node.name();
    const char* colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
}

bool isElement(const pugi::xml_node& node, const char* local) {
    return node.type() == pugi::node_element && std::strcmp(localName(node), local) == 0;
}

pugi::xml_node child(const pugi::xml_node& node, const char* local) {
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling())
        if (isElement(c, local))
            return c;
    return {};
}

template <typename F> void forChildren(const pugi::xml_node& node, const char* local, F&& f) {
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling())
        if (isElement(c, local))
            f(c);
}

std::string_view textOf(const pugi::xml_node& node) {
    return trimmed(node.child_value());
}

// Amounts in the invoice's currency become lira at its exchange rate; an amount that names lira
// as its own currency stays as it is.
struct Amounts {
    std::string_view rate; // empty for an invoice in lira

    std::optional<money::Kurus> operator()(const pugi::xml_node& amount) const {
        if (!amount)
            return std::nullopt;
        const std::string_view currency = trimmed(amount.attribute("currencyID").value());
        const bool lira = currency == "TRY" || currency == "TL";
        return decimalKurus(textOf(amount), lira ? std::string_view() : rate);
    }
};

struct Subtotal {
    money::Kurus taxable = 0;
    money::Kurus tax = 0;
    int rate = 0;
    bool vat = false;
};

std::optional<Subtotal> readSubtotal(const pugi::xml_node& node, const Amounts& amounts) {
    Subtotal s;
    const auto tax = amounts(child(node, "TaxAmount"));
    if (!tax)
        return std::nullopt;
    s.tax = *tax;
    const std::string_view code =
        textOf(child(child(child(node, "TaxCategory"), "TaxScheme"), "TaxTypeCode"));
    s.vat = code == "0015";
    if (!s.vat)
        return s;
    const auto taxable = amounts(child(node, "TaxableAmount"));
    const auto rate = decimalKurus(textOf(child(node, "Percent")));
    if (!taxable || !rate)
        return std::nullopt;
    s.taxable = *taxable;
    s.rate = static_cast<int>(*rate);
    return s;
}

struct Extra {
    money::Kurus withheld = 0;
    money::Kurus other = 0;
    bool operator==(const Extra&) const = default;
};

// The withheld VAT and other taxes of a node (the invoice or one of its lines), and the VAT rate
// of its first VAT subtotal (-1 without one); false when an amount is unreadable.
bool readTaxes(const pugi::xml_node& node, const Amounts& amounts, Extra& extra, int& vatRate,
               std::map<int, RateShare>* shares) {
    bool ok = true;
    vatRate = -1;
    forChildren(node, "TaxTotal", [&](const pugi::xml_node& total) {
        forChildren(total, "TaxSubtotal", [&](const pugi::xml_node& sub) {
            const auto s = readSubtotal(sub, amounts);
            if (!s) {
                ok = false;
                return;
            }
            if (!s->vat) {
                extra.other += s->tax;
                return;
            }
            if (vatRate < 0)
                vatRate = s->rate;
            if (shares) {
                RateShare& share = (*shares)[s->rate];
                share.rateHundredths = s->rate;
                share.taxable += s->taxable;
                share.vat += s->tax;
            }
        });
    });
    forChildren(node, "WithholdingTaxTotal", [&](const pugi::xml_node& total) {
        const auto tax = amounts(child(total, "TaxAmount"));
        if (!tax)
            ok = false;
        else
            extra.withheld += *tax;
    });
    return ok;
}

Error unreadable(const QString& reason) {
    return Error{ErrorCode::BadFormat, reason};
}

// A filed XML larger than this is no invoice of the portal's.
constexpr long long kMaxXmlSize = 64 * 1024 * 1024;

Error tooLarge() {
    return unreadable(u"çok büyük"_s);
}

Error notRead() {
    return Error{ErrorCode::Io, u"okunamadı"_s};
}

// "2026-11-02" read digit by digit; anything else is left to QDate's own ISO reading.
QDate isoDate(std::string_view text) {
    const auto digits = [&](size_t from, size_t count, int& out) {
        out = 0;
        for (size_t i = from; i < from + count; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return false;
            out = out * 10 + (text[i] - '0');
        }
        return true;
    };
    int y = 0, m = 0, d = 0;
    if (text.size() == 10 && text[4] == '-' && text[7] == '-' && digits(0, 4, y) &&
        digits(5, 2, m) && digits(8, 2, d) && y > 0)
        return QDate(y, m, d);
    return QDate::fromString(QString::fromLatin1(text), Qt::ISODate);
}

bool isNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.' || static_cast<unsigned char>(c) >= 0x80;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Cuts the text out of every EmbeddedDocumentBinaryObject: a portal package carries its stylesheet
// there in base64, most of the file's bytes and nothing the summary reads. Only plain text that
// runs from the start tag straight to the element's end tag is cut.
void dropEmbeddedObjects(std::string& xml) {
    constexpr std::string_view kName = "EmbeddedDocumentBinaryObject";
    size_t at = 0;
    while ((at = std::string_view(xml).find(kName, at)) != std::string_view::npos) {
        size_t open = at;
        if (open > 0 && xml[open - 1] == ':')
            for (--open; open > 0 && isNameChar(xml[open - 1]);)
                --open;
        at += kName.size();
        if (open == 0 || xml[open - 1] != '<' || at >= xml.size() ||
            !(xml[at] == '>' || isBlank(xml[at])))
            continue;
        char quote = 0;
        size_t end = at;
        for (; end < xml.size() && (quote || xml[end] != '>'); ++end)
            if (xml[end] == '"' || xml[end] == '\'')
                quote = quote == xml[end] ? 0 : (quote ? quote : xml[end]);
        if (end >= xml.size())
            return;
        if (xml[end - 1] == '/')
            continue; // an empty element
        const char* text = xml.data() + end + 1;
        const size_t rest = xml.size() - end - 1;
        const auto* next = static_cast<const char*>(std::memchr(text, '<', rest));
        if (!next)
            return;
        const size_t length = static_cast<size_t>(next - text);
        if (next + 1 == xml.data() + xml.size() || next[1] != '/' ||
            std::memchr(text, '>', length) || std::memchr(text, '"', length) ||
            std::memchr(text, '\'', length))
            continue;
        xml.erase(end + 1, length);
        at = end + 1;
    }
}

} // namespace

std::optional<money::Kurus> decimalKurus(std::string_view amount, std::string_view rate) {
    const auto a = parseDecimal(amount);
    if (!a)
        return std::nullopt;
    if (trimmed(rate).empty())
        return hundredths(a->units, a->scale);
    const auto r = parseDecimal(rate);
    if (!r)
        return std::nullopt;
    long long product = 0;
    if (!__builtin_mul_overflow(a->units, r->units, &product))
        return hundredths(product, a->scale + r->scale);
    const long double value =
        static_cast<long double>(a->units) * r->units / std::pow(10.0L, a->scale + r->scale - 2);
    return std::llround(value);
}

Result<IssuedInvoice> readIssuedInvoice(const QByteArray& xml) {
    std::string copy(xml.constData(), static_cast<size_t>(xml.size()));
    return readIssuedInvoice(copy);
}

Result<IssuedInvoice> readIssuedInvoiceFile(const QString& path, std::string& buffer) {
    const QByteArray local = QFile::encodeName(path);
    const int fd = ::open(local.constData(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd < 0)
        return ::stat(local.constData(), &st) == 0 && st.st_size > kMaxXmlSize ? tooLarge()
                                                                               : notRead();
    const struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    if (::fstat(fd, &st) != 0)
        return notRead();
    if (st.st_size > kMaxXmlSize)
        return tooLarge();
    // One byte beyond the size lets the read that meets the end find room; a file that grew
    // meanwhile is read to its end all the same.
    buffer.resize(static_cast<size_t>(st.st_size) + 1);
    size_t got = 0;
    for (;;) {
        if (got == buffer.size()) {
            if (got > static_cast<size_t>(kMaxXmlSize))
                return tooLarge();
            buffer.resize(got + 65536);
        }
        const ssize_t n = ::read(fd, buffer.data() + got, buffer.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return notRead();
        if (n == 0)
            break;
        got += static_cast<size_t>(n);
    }
    buffer.resize(got);
    return readIssuedInvoice(buffer);
}

Result<IssuedInvoice> readIssuedInvoice(std::string& xml) {
    dropEmbeddedObjects(xml);
    pugi::xml_document doc;
    if (!doc.load_buffer_inplace(xml.data(), xml.size()))
        return unreadable(u"XML bozuk ya da yarım"_s);
    const pugi::xml_node root = doc.document_element();
    if (!isElement(root, "Invoice"))
        return unreadable(u"UBL fatura değil"_s);

    IssuedInvoice invoice;
    invoice.ettn = QString::fromUtf8(textOf(child(root, "UUID"))).toUpper();
    if (invoice.ettn.isEmpty())
        return unreadable(u"ETTN yok"_s);
    const std::string_view date = textOf(child(root, "IssueDate")).substr(0, 10);
    invoice.issueDate = isoDate(date);
    if (!invoice.issueDate.isValid())
        return unreadable(u"düzenleme tarihi yok"_s);
    invoice.type = QString::fromUtf8(textOf(child(root, "InvoiceTypeCode"))).toUpper();
    if (invoice.type.isEmpty())
        return unreadable(u"fatura tipi yok"_s);

    Amounts amounts;
    const std::string_view currency = textOf(child(root, "DocumentCurrencyCode"));
    if (!currency.empty() && currency != "TRY" && currency != "TL") {
        amounts.rate = textOf(child(child(root, "PricingExchangeRate"), "CalculationRate"));
        const auto rate = parseDecimal(amounts.rate);
        if (!rate || rate->units <= 0)
            return unreadable(u"döviz kuru yok"_s);
    }

    std::map<int, RateShare> shares;
    Extra total;
    int firstRate = -1;
    if (!readTaxes(root, amounts, total, firstRate, &shares))
        return unreadable(u"vergi tutarı okunamadı"_s);
    if (shares.empty())
        return unreadable(u"KDV alt toplamı yok"_s);

    // Withheld VAT and other taxes by the rate of the lines that carry them, when the lines tell.
    bool byLine = false;
    if (total != Extra{}) {
        std::map<int, Extra> perRate;
        Extra lines;
        byLine = true;
        forChildren(root, "InvoiceLine", [&](const pugi::xml_node& line) {
            Extra extra;
            int rate = -1;
            if (!readTaxes(line, amounts, extra, rate, nullptr) ||
                (extra != Extra{} && !shares.contains(rate))) {
                byLine = false;
                return;
            }
            perRate[rate].withheld += extra.withheld;
            perRate[rate].other += extra.other;
            lines.withheld += extra.withheld;
            lines.other += extra.other;
        });
        byLine = byLine && lines == total;
        if (byLine) {
            for (const auto& [rate, extra] : perRate) {
                if (extra == Extra{})
                    continue;
                shares[rate].withheld += extra.withheld;
                shares[rate].otherTaxes += extra.other;
            }
        }
    }
    if (!byLine && total != Extra{}) {
        auto largest = shares.begin();
        for (auto it = shares.begin(); it != shares.end(); ++it)
            if (it->second.taxable > largest->second.taxable)
                largest = it;
        largest->second.withheld += total.withheld;
        largest->second.otherTaxes += total.other;
    }
    for (const auto& [rate, share] : shares)
        invoice.rates.push_back(share);
    return invoice;
}

} // namespace tavlix::summary
