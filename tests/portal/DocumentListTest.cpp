// Which row of the document list is the invoice just saved, on lists the stand-in does not draw.
#include "portal/DocumentList.h"

#include <gtest/gtest.h>

#include <functional>

using namespace Qt::StringLiterals;
using namespace tavlix::portal;

namespace {

const QString kEttn = u"AAAAAAAA-0000-4000-8000-000000000001"_s;

ListRow row(int index, const QString& number, const QString& ettn, const QString& date,
            const QString& total) {
    return {index, {QString(), number, ettn, u"1234567890"_s, date, u"Onaylanmadı"_s, total}};
}

TEST(DocumentList, PicksOnlyARowThatIsThisInvoice) {
    const QList<ListRow> rows{
        row(0, u"GIB1"_s, QString(), u"08-12-2026"_s, u"26,55"_s), // the day before
        row(1, u"GIB2"_s, kEttn.toLower(), u"09.12.2026"_s, u"26,55"_s),
        row(2, u"GIB3"_s, QString(), u"2026-12-09"_s, u"1.026,55"_s),
    };
    InvoiceRowQuery base;
    base.before = QSet<QString>{};
    base.taxNumber = u"1234567890"_s;
    base.portalTotal = 2655;
    base.invoiceDate = QDate(2026, 12, 9);
    struct Case {
        const char* name;
        std::function<void(InvoiceRowQuery&)> change;
        InvoiceRowMatch::Kind kind;
        QString number; // found: its number; ambiguous: the numbers joined
    };
    const QList<Case> cases{
        {"the ETTN of the form, also on a row listed before",
         [](auto& q) {
             q.ettns = {QString(), kEttn};
             q.before->insert(u"GIB2|"_s + kEttn);
         },
         InvoiceRowMatch::Kind::Found, u"GIB2"_s},
        {"a new row of the date with buyer and total", [](auto&) {}, InvoiceRowMatch::Kind::Found,
         u"GIB2"_s},
        {"listed before the save", [](auto& q) { q.before->insert(u"GIB2|"_s + kEttn); },
         InvoiceRowMatch::Kind::None, QString()},
        {"no list read before the save", [](auto& q) { q.before.reset(); },
         InvoiceRowMatch::Kind::None, QString()},
        {"no portal total: the buyer alone", [](auto& q) { q.portalTotal.reset(); },
         InvoiceRowMatch::Kind::Ambiguous, u"GIB2, GIB3"_s},
        {"another buyer", [](auto& q) { q.taxNumber = u"9999999999"_s; },
         InvoiceRowMatch::Kind::None, QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        InvoiceRowQuery query = base;
        c.change(query);
        const InvoiceRowMatch match = findInvoiceRow(rows, query);
        EXPECT_EQ(match.kind, c.kind);
        EXPECT_EQ(match.kind == InvoiceRowMatch::Kind::Ambiguous ? match.numbers.join(u", "_s)
                                                                 : match.row.number(),
                  c.number);
    }
    EXPECT_EQ(rows[1].ettn(), kEttn);
    // A list that shows neither buyers nor amounts: the one new document row of the date.
    const QList<ListRow> bare{{0, {u"Belge"_s}}, {1, {{}, u"GIB7"_s, {}, {}, u"09-12-2026"_s}}};
    EXPECT_EQ(findInvoiceRow(bare, base).row.number(), u"GIB7"_s);
}

} // namespace
