#include "portal/PortalStates.h"

#include "platform/Connectivity.h"
#include "platform/UserPrompt.h"

#include <QElapsedTimer>
#include <QFileInfo>

#include <memory>

using namespace Qt::StringLiterals;

namespace tavlix::portal {

namespace {

// The digits of the fourth input whose id begins with "date-gen__"; null if there are fewer.
const QString kFourthDateFieldScript = uR"js(
var n = 0;
var inputs = document.getElementsByTagName('input');
for (var i = 0; i < inputs.length; ++i) {
  var id = inputs[i].id || '';
  if (id.indexOf('date-gen__') === 0 && ++n === 4) return id.substring(10);
}
return null;)js"_s;

const ListRow* rowOf(const QList<ListRow>& rows, const FiledInvoice& invoice) {
    const QString ettn = invoice.ettn.trimmed();
    if (!ettn.isEmpty())
        for (const ListRow& row : rows)
            for (const QString& cell : row.cells)
                if (cell.contains(ettn, Qt::CaseInsensitive))
                    return &row;
    const QString number = invoice.number.trimmed();
    if (!number.isEmpty())
        for (const ListRow& row : rows)
            for (const QString& cell : row.cells)
                if (cell.trimmed() == number)
                    return &row;
    return nullptr;
}

bool sameInvoice(const JournalEntry& e, const FiledInvoice& invoice) {
    if (!e.ettn.isEmpty() && !invoice.ettn.isEmpty())
        return e.ettn.compare(invoice.ettn, Qt::CaseInsensitive) == 0;
    return !e.portalNumber.isEmpty() && e.portalNumber == invoice.number;
}

JournalEntry entryOfFiled(const FiledInvoice& invoice) {
    JournalEntry e;
    e.uploadedAt = invoice.filedAt;
    e.invoiceDate = invoice.date.toString(u"dd/MM/yyyy"_s);
    e.typeText = invoice.typeText;
    e.buyerTaxNumber = invoice.buyerTaxNumber;
    e.buyerName = invoice.buyerName;
    e.tavlixTotal = invoice.total.value_or(0);
    e.portalTotal = invoice.total;
    e.portalNumber = invoice.number;
    e.ettn = invoice.ettn.toUpper();
    e.outcome = QString::fromUtf16(kJournalPrepared);
    return e;
}

bool allShown(const QList<ListRow>& rows, const QList<const FiledInvoice*>& invoices) {
    for (const FiledInvoice* invoice : invoices)
        if (!rowOf(rows, *invoice))
            return false;
    return true;
}

} // namespace

QString stateInList(const QList<ListRow>& rows, const FiledInvoice& invoice) {
    const ListRow* row = rowOf(rows, invoice);
    if (!row)
        return QString::fromUtf16(kStateNotFound);
    for (const QString& cell : row->cells)
        for (const char16_t* word : {kStateApproved, kStateNotApproved, kStateDeleted})
            if (cell.trimmed() == QStringView(word))
                return QString::fromUtf16(word);
    return QString::fromUtf16(kStateUnknown);
}

void applyStates(QList<JournalEntry>& journal, const QList<FiledInvoice>& invoices,
                 const QHash<QString, QString>& stateByEttn, const QDateTime& now) {
    for (const FiledInvoice& invoice : invoices) {
        const auto state = stateByEttn.constFind(invoice.ettn.toUpper());
        JournalEntry* row = nullptr;
        // The newest row of it: a second upload of the same ETTN cannot be, a backfill only once.
        for (auto it = journal.rbegin(); it != journal.rend() && !row; ++it)
            if (sameInvoice(*it, invoice))
                row = &*it;
        if (!row) {
            journal.append(entryOfFiled(invoice));
            row = &journal.last();
        }
        if (state != stateByEttn.constEnd()) {
            row->approvalState = *state;
            row->stateReadAt = now;
        }
    }
}

QHash<QString, QString> statesByEttn(const QList<JournalEntry>& journal) {
    QHash<QString, QString> states;
    for (const JournalEntry& e : journal)
        if (!e.ettn.isEmpty() && !e.approvalState.isEmpty())
            states.insert(e.ettn.toUpper(), e.approvalState);
    return states;
}

ListQueryResult queryDocumentListOf(BrowserDriver& driver, const QString& date,
                                    const std::function<void()>& linkFollowed) {
    ListQueryResult r;
    const auto ok = [&r](const auto& result, const QString& step) {
        if (!result.ok())
            r.skipped.append(step);
        return result.ok();
    };
    const auto link = driver.FindByLinkText(kMenuIssuedDocuments);
    r.linkFollowed =
        ok(link, u"Düzenlenen Belgeler"_s) && ok(driver.Click(*link), u"Düzenlenen Belgeler"_s);
    if (linkFollowed)
        linkFollowed();
    driver.Wait(100);
    r.waitedMs += 100;
    const auto digits = driver.RunScript(kFourthDateFieldScript);
    if (ok(digits, u"date-gen__"_s) && !digits->isNull()) {
        const QString id = u"date-gen__"_s + digits->toString();
        const auto field = driver.FindByXPath(u"//*[@id='"_s + id + u"']"_s);
        if (ok(field, id) && ok(driver.Click(*field), id)) {
            ok(driver.ClipboardPaste(date), u"sorgu tarihi"_s);
            driver.Wait(1);
            r.waitedMs += 1;
            ok(driver.SendKeysToPage(keys::Tab), u"sorgu tarihi"_s);
        }
    } else if (digits.ok()) {
        r.skipped.append(u"date-gen__ (4.)"_s);
    }
    const auto button = driver.FindByXPath(u"//input[@value='Sorgula']"_s);
    r.queried = ok(button, u"Sorgula"_s) && ok(driver.Click(*button), u"Sorgula"_s);
    return r;
}

namespace {

// The journal as it stands, or a new one when it could not be read (the old one kept aside and
// the user told); nothing when it could be neither read nor moved.
std::optional<QList<JournalEntry>> openJournal(const QString& path, UserPrompt& prompt) {
    auto journal = readJournal(path);
    if (journal)
        return std::move(journal.value());
    const auto moved = moveJournalAside(path, QDateTime::currentDateTime());
    if (!moved) {
        prompt.message(UserPrompt::Icon::Warning, journal.message() + u'\n' + moved.message() +
                                                      u"\nPortal durumları güncellenmedi."_s);
        return std::nullopt;
    }
    prompt.message(UserPrompt::Icon::Warning,
                   journal.message() + u"\nEski kayıt \"%1\" olarak saklandı; yeni bir kayıt "
                                       u"başlatılıyor."_s.arg(QFileInfo(*moved).fileName()));
    return QList<JournalEntry>();
}

} // namespace

StateRefreshOutcome refreshPortalStates(const StateRefreshInput& input, UserPrompt& prompt,
                                        const SessionFactory& makeSession) {
    if (input.invoices.isEmpty()) {
        prompt.message(UserPrompt::Icon::Information,
                       u"Bu ay için portala yüklenmiş fatura bulunamadı."_s);
        return StateRefreshOutcome::Nothing;
    }
    if (!isOnline()) {
        prompt.message(UserPrompt::Icon::Information, u"İnternete bağlı değilsiniz !"_s);
        return StateRefreshOutcome::Offline;
    }
    if (input.settings.portalUser.isEmpty() || input.settings.portalPassword.isEmpty())
        return StateRefreshOutcome::NoCredentials;
    const auto path = journalPath(input.programDir, input.company);
    if (!path) {
        prompt.message(UserPrompt::Icon::Warning,
                       u"Firma klasörü kullanılamıyor: \"%1\"."_s.arg(input.company));
        return StateRefreshOutcome::JournalKept;
    }
    auto journal = openJournal(*path, prompt);
    if (!journal)
        return StateRefreshOutcome::JournalKept;

    QMap<QDate, QList<const FiledInvoice*>> byDate;
    for (const FiledInvoice& invoice : input.invoices)
        byDate[invoice.date].append(&invoice);

    QHash<QString, QString> states;
    // Whatever was read is kept, also when the session ends early.
    const auto keep = [&] {
        applyStates(*journal, input.invoices, states, QDateTime::currentDateTime());
        if (const auto written = writeJournal(*path, *journal); !written)
            prompt.message(UserPrompt::Icon::Warning,
                           u"Portal durumları kaydedilemedi: "_s + written.message());
    };

    std::unique_ptr<BrowserDriver> driver = makeSession();
    driver->setKeepAlive([&prompt] { prompt.keepAlive(); });
    driver->setStopCheck([&prompt] { return prompt.cancelled(); });
    prompt.progress(u"e-Arşiv portalına giriş yapılıyor"_s);
    driver->SetWindowRect(prompt.browserWindowArea());
    const PortalLoginResult login =
        PortalLogin(*driver, {input.portalBase, input.settings.portalUser,
                              input.settings.portalPassword, kMenuIssuedDocuments, false});
    const auto cancelled = [&] {
        driver->Quit();
        keep();
        prompt.message(UserPrompt::Icon::Warning,
                       u"Portal durumlarının güncellenmesi iptal edildi; okunanlar kaydedildi."_s);
        return StateRefreshOutcome::Cancelled;
    };
    if (prompt.cancelled())
        return cancelled();
    if (!login.login) {
        driver->Quit();
        prompt.message(UserPrompt::Icon::Warning,
                       login.login.message() + u" Portal durumları güncellenmedi."_s);
        return StateRefreshOutcome::LoginFailed;
    }

    int done = 0;
    for (auto it = byDate.cbegin(); it != byDate.cend(); ++it) {
        prompt.progress(u"Portal durumları okunuyor: %1 (%2/%3)"_s.arg(
            it.key().toString(u"dd.MM.yyyy"_s), QString::number(++done),
            QString::number(byDate.size())));
        prompt.keepAlive();
        if (prompt.cancelled())
            return cancelled();
        const ListQueryResult query =
            queryDocumentListOf(*driver, it.key().toString(u"dd/MM/yyyy"_s));
        std::optional<QList<ListRow>> rows;
        if (query.queried) {
            QElapsedTimer clock;
            clock.start();
            // The list of the date may come later than the click: until every invoice of the
            // date shows, or the time is up.
            while (true) {
                rows = readDocumentList(*driver);
                if ((rows && allShown(*rows, it.value())) || clock.elapsed() >= input.listLimitMs ||
                    prompt.cancelled())
                    break;
                driver->Wait(250);
            }
        }
        if (prompt.cancelled())
            return cancelled();
        // A date whose list could not be queried or read says nothing of its invoices.
        for (const FiledInvoice* invoice : it.value())
            states.insert(invoice->ettn.toUpper(),
                          rows ? stateInList(*rows, *invoice) : QString::fromUtf16(kStateUnknown));
    }
    driver->Quit();
    keep();
    int approved = 0;
    for (const QString& state : std::as_const(states))
        approved += state == QStringView(kStateApproved);
    prompt.message(UserPrompt::Icon::Information,
                   u"Portal durumları güncellendi: %1 faturadan %2 tanesi onaylı."_s.arg(
                       QString::number(states.size()), QString::number(approved)));
    return StateRefreshOutcome::Done;
}

} // namespace tavlix::portal
