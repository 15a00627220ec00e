// The issued invoice's mail prefill: the recipient from the customer card of the invoice's tax
// number, the subject and message, the files attached.
#include "mail/IssuedInvoiceMail.h"
#include "store/DataStore.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <tuple>

using namespace Qt::StringLiterals;
using namespace tavlix::mail;

namespace tavlix::test {
namespace {

class IssuedMailTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_data = m_dir.filePath(u"DATA.xlsx"_s);
        const store::DataStore data(m_data);
        ASSERT_TRUE(data.create().ok());
        for (const auto& [name, vkn, mail] :
             {std::tuple{u"Kara ve AB İnşaat"_s, u"1234567890"_s, u"eski@kara.example"_s},
              std::tuple{u"Mavi Ltd"_s, u"5555555555"_s, u"muhasebe@mavi.example"_s}}) {
            store::NewCustomer card;
            card.displayName = name;
            card.taxNumber = vkn;
            card.email = mail;
            card.taxOffice = u"Kadıköy"_s;
            ASSERT_TRUE(data.addCustomer(card).ok());
        }
        m_pdf = m_dir.filePath(u"GIB2026000000007-08-12-2026-ETTN.pdf"_s);
        m_html = m_dir.filePath(u"GIB2026000000007-08-12-2026-ETTN.html"_s);
        for (const QString& path : {m_pdf, m_html}) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
    }

    IssuedInvoiceRef ref(const QString& taxNumber) const {
        return {u"GIB2026000000007"_s, u"Kara ve AB İnşaat"_s, taxNumber, m_pdf, m_html};
    }

    QTemporaryDir m_dir;
    QString m_data, m_pdf, m_html;
};

// The recipient is the card of the tax number, whatever name the invoice carries; anything
// that finds no card leaves it empty; a vanished HTML leaves the PDF alone.
TEST_F(IssuedMailTest, PrefillFindsTheBuyerByTaxNumber) {
    struct Case {
        const char* name;
        QString taxNumber;
        QString dataPath;
        bool htmlThere;
        QString to;
    };
    const QList<Case> cases{
        {"card of that tax number", u"1234567890"_s, m_data, true, u"eski@kara.example"_s},
        {"blanks in the tax number", u" 5555 555555 "_s, m_data, true, u"muhasebe@mavi.example"_s},
        {"no card", u"9999999999"_s, m_data, true, {}},
        {"no tax number", {}, m_data, true, {}},
        {"DATA.xlsx unreadable", u"1234567890"_s, m_dir.filePath(u"yok.xlsx"_s), true, {}},
        {"HTML gone", u"1234567890"_s, m_data, false, u"eski@kara.example"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.htmlThere)
            QFile::remove(m_html);
        const IssuedInvoiceMail mail =
            issuedInvoiceMail(u"Beta AŞ"_s, ref(c.taxNumber), c.dataPath);
        EXPECT_EQ(mail.to, c.to);
        EXPECT_EQ(mail.subject, u"Beta AŞ e-Arşiv Faturası GIB2026000000007"_s);
        EXPECT_EQ(mail.body, u"Sayın;\r\nKara ve AB İnşaat\r\nGIB2026000000007 numaralı e-Arşiv "
                             u"faturamız ekte gönderilmiştir.\r\nİyi çalışmalar dileriz\r\n"
                             u"Beta AŞ"_s);
        const QStringList attached =
            c.htmlThere ? QStringList({m_pdf, m_html}) : QStringList{m_pdf};
        EXPECT_EQ(mail.attachments, attached);
    }
}

} // namespace
} // namespace tavlix::test
