// "Portal Durumlarını Güncelle" against the portal stand-in with real headless Chromium: the
// states the document list shows, date by date, written into the journal; "İptal" between dates.
#include "portal/PortalStates.h"

#include "support/PortalDrafts.h"
#include "support/PortalSite.h"
#include "support/Processes.h"
#include "support/RecordingPrompt.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <httplib.h>

using namespace Qt::StringLiterals;
using namespace tavlix::portal;

namespace {

class PortalStatesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        qputenv("TAVLIX_HEADLESS", "1");
        qputenv("TAVLIX_CONNECTIVITY", "online");
        tavlix::test::becomeSubreaper();
    }
    void SetUp() override {
        ASSERT_TRUE(site.start());
        ASSERT_TRUE(dir.isValid());
        QDir().mkpath(dir.path() + u"/Firmalarım/Firma/Satış Faturaları"_s);
        const QDate today = QDate::currentDate();
        // Yesterday: signed and deleted; today: unsigned, an unknown word, and one never listed.
        const std::pair<QDate, const char*> saved[] = {{today.addDays(-1), "Onaylandı"},
                                                       {today.addDays(-1), "Silinmiş"},
                                                       {today, nullptr},
                                                       {today, "İmza bekleniyor"}};
        int n = 0;
        for (const auto& [date, state] : saved) {
            const QString ettn = u"0E0E0E0E-0000-4000-8000-00000000000%1"_s.arg(++n);
            httplib::Client client(site.url().toStdString());
            const QJsonObject draft{{u"ettn"_s, ettn},
                                    {u"faturaTarihi"_s, date.toString(u"dd/MM/yyyy"_s)},
                                    {u"aliciVkn"_s, u"1234567890"_s}};
            const auto answer = client.Post(
                "/api/taslak", QJsonDocument(draft).toJson().toStdString(), "application/json");
            ASSERT_TRUE(answer && answer->status == 200);
            if (state) {
                ASSERT_TRUE(drafts.setState(ettn, QString::fromUtf8(state)));
            }
        }
        for (const QJsonValue& d : drafts.drafts()) {
            const QJsonObject o = d.toObject();
            input.invoices.append(
                {o[u"ettn"_s].toString(), o[u"belgeNo"_s].toString(),
                 QDate::fromString(o[u"faturaTarihi"_s].toString(), u"dd/MM/yyyy"_s), u"SATIŞ"_s,
                 u"1234567890"_s, u"ÖRNEK"_s, 11800, QDateTime::currentDateTime()});
        }
        input.invoices.append({u"0E0E0E0E-0000-4000-8000-000000000009"_s, u"GIB2026000000099"_s,
                               today, u"SATIŞ"_s, u"1234567890"_s, u"ÖRNEK"_s, 100,
                               QDateTime::currentDateTime()});
        input.programDir = dir.path();
        input.portalBase = site.url();
        input.company = u"Firma"_s;
        input.settings.portalUser = u"33333333"_s;
        input.settings.portalPassword = u"Şifre-123"_s;
        input.listLimitMs = 1500;
    }
    void TearDown() override { EXPECT_EQ(tavlix::test::ourBrowserProcesses(), QStringList()); }

    QStringList journalStates() const {
        QStringList states;
        const auto journal = readJournal(*journalPath(dir.path(), u"Firma"_s));
        EXPECT_TRUE(journal) << journal.message().toStdString();
        for (const JournalEntry& e : journal ? *journal : QList<JournalEntry>())
            states << e.ettn.right(1) + u':' + e.approvalState;
        return states;
    }

    tavlix::test::PortalSite site;
    tavlix::test::PortalDrafts drafts{site.server()};
    QTemporaryDir dir;
    StateRefreshInput input;
    tavlix::test::RecordingPrompt prompt;
};

TEST_F(PortalStatesTest, EachFiledInvoiceGetsTheStateItsRowShows) {
    // One invoice uploaded by this version already has its row; the others get theirs.
    const QString path = *journalPath(dir.path(), u"Firma"_s);
    JournalEntry uploaded;
    uploaded.ettn = input.invoices.at(0).ettn;
    uploaded.portalNumber = input.invoices.at(0).number;
    uploaded.outcome = QString::fromUtf16(kJournalPrepared);
    uploaded.sourceWorkbook = u"kaynak.xlsx"_s;
    ASSERT_TRUE(appendJournalEntry(path, uploaded));

    ASSERT_EQ(refreshPortalStates(input, prompt, makeSession), StateRefreshOutcome::Done)
        << prompt.messages.join(u'\n').toStdString();
    EXPECT_EQ(journalStates(), (QStringList{u"1:Onaylandı"_s, u"2:Silinmiş"_s, u"3:Onaylanmadı"_s,
                                            u"4:?"_s, u"9:portalda bulunamadı"_s}));
    const auto journal = readJournal(path);
    ASSERT_TRUE(journal);
    EXPECT_EQ(journal->first().sourceWorkbook, u"kaynak.xlsx"_s) << "the upload's row is kept";
    EXPECT_TRUE(journal->last().stateReadAt.isValid());
    EXPECT_EQ(journal->last().outcome, QString::fromUtf16(kJournalPrepared));
    EXPECT_EQ(prompt.steps.filter(u"Portal durumları okunuyor"_s).size(), 2) << "one per date";

    // A portal that words the signed state its own way: only the exact word counts.
    site.server().setSwitch(u"durumMetni"_s,
                            QJsonObject{{u"Onaylandı"_s, u"Onaylandı (imzalı)"_s}});
    ASSERT_EQ(refreshPortalStates(input, prompt, makeSession), StateRefreshOutcome::Done);
    EXPECT_EQ(journalStates().first(), u"1:?"_s);
}

// Failures before and between the dates: nothing read is lost, the journal is never written
// over, and the browser ends with the operation.
TEST_F(PortalStatesTest, CancelAndFailuresKeepWhatWasRead) {
    prompt.cancelAfterSteps = 3; // the login, the first date, then "İptal"
    EXPECT_EQ(refreshPortalStates(input, prompt, makeSession), StateRefreshOutcome::Cancelled);
    EXPECT_EQ(journalStates(),
              (QStringList{u"1:Onaylandı"_s, u"2:Silinmiş"_s, u"3:"_s, u"4:"_s, u"9:"_s}));

    const QString path = *journalPath(dir.path(), u"Firma"_s);
    const auto before = readJournal(path);
    tavlix::test::RecordingPrompt wrong;
    input.settings.portalPassword = u"yanlış"_s;
    EXPECT_EQ(refreshPortalStates(input, wrong, makeSession), StateRefreshOutcome::LoginFailed);
    EXPECT_EQ(readJournal(path)->size(), before->size());
    EXPECT_TRUE(wrong.last().endsWith(u"Portal durumları güncellenmedi."_s));
}

} // namespace
