#include "portal/InvoiceSet.h"

#include "platform/Connectivity.h"
#include "platform/UserPrompt.h"
#include "portal/BuyerCheck.h"
#include "portal/InvoicePrint.h"
#include "portal/UploadCheckReport.h"
#include "portal/UploadSession.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <utility>

using namespace Qt::StringLiterals;

namespace tavlix::portal {

using State = SetRow::State;

std::optional<money::Kurus> SetRow::difference() const {
    if (!tavlixTotal || !portalTotal)
        return std::nullopt;
    return *portalTotal - *tavlixTotal;
}

namespace {

// An invoice of the set speaks to its row, not in message boxes; its steps show in the set's
// progress, whose "İptal" waits until the invoice is through.
class InvoicePrompt : public UserPrompt {
public:
    InvoicePrompt(UserPrompt& outer, QString prefix)
        : m_outer(outer)
        , m_prefix(std::move(prefix)) {}

    using UserPrompt::message;
    void message(Icon, const QString& text, const QString& title) override {
        // The report's figures are the row's; "hazırlandı" is the row's outcome.
        if (title == uploadCheckReportTitle() || text.startsWith(u"ETTN "_s) ||
            text.startsWith(u"Fatura portalda kaydedilmedi"_s) ||
            text.startsWith(u"Portalda bu faturaya uyan"_s))
            return;
        said.append(text);
    }
    bool ask(const QString&, const QString&) override { return false; }
    void progress(const QString& step) override { m_outer.progress(m_prefix + step); }
    bool cancelled() const override { return false; }
    void keepAlive() override { m_outer.keepAlive(); }
    QRect browserWindowArea() const override { return m_outer.browserWindowArea(); }

    QStringList said;

private:
    UserPrompt& m_outer;
    QString m_prefix;
};

QString buyerOf(const InvoiceRecord& invoice) {
    if (!invoice.customerTitle.trimmed().isEmpty())
        return invoice.customerTitle.trimmed();
    return invoice.customerName.trimmed();
}

// Why a loaded invoice is not sent; empty when it goes.
QString refusal(const InvoiceRecord& invoice) {
    if (!invoice.hasLines())
        return u"Fatura boş!"_s;
    if (const QString missing = missingBuyerDetails(invoice); !missing.isEmpty())
        return missing;
    if (invoice.settings.portalUser.isEmpty() || invoice.settings.portalPassword.isEmpty())
        return u"firmanın e-Arşiv kullanıcı kodu veya şifresi girilmemiş"_s;
    return QString();
}

class SetRun {
public:
    SetRun(UserPrompt& prompt, const SetOptions& options, const SetServices& services)
        : m_prompt(prompt)
        , m_options(options)
        , m_services(services) {}

    SetResult run(const QStringList& paths);

private:
    void changed(int row) {
        if (m_services.rowChanged)
            m_services.rowChanged(row, m_rows.at(row));
    }
    void progressed() {
        qint64 left = -1;
        if (m_done > 0)
            left = m_clock.elapsed() / m_done * (m_total - m_done);
        if (m_services.progress)
            m_services.progress(m_done, m_total, left);
    }
    void loadAll(const QStringList& paths);
    // Every row still waiting from `from` on is not sent, for `why`.
    void leaveUnsent(qsizetype from, const QString& why);
    bool upload(qsizetype pendingIndex, UploadSession& session, bool& formShown);
    void record(int row, InvoiceUpload& upload, bool saved, const QStringList& said);
    void journal(const InvoiceUpload& upload);
    QString summary() const;

    UserPrompt& m_prompt;
    const SetOptions& m_options;
    const SetServices& m_services;
    QList<SetRow> m_rows;
    QList<InvoiceRecord> m_invoices; // beside the rows
    QList<int> m_pending;            // rows to send, in order
    QList<JournalEntry> m_journal;
    // The document list's rows of one invoice date as the last invoice left them: the next
    // invoice of that date need not query the list again before its save.
    std::optional<QSet<QString>> m_listed;
    QString m_listedDate;
    QString m_journalError; // the last invoice's journal row could not be written
    bool m_inInvoice = false;
    bool m_stop = false;
    int m_sessionEnds = 0;
    int m_done = 0;
    int m_total = 0;
    QElapsedTimer m_clock;
    InvoicePrinter m_printer; // its session ends with the set
};

void SetRun::loadAll(const QStringList& paths) {
    bool journalRead = !m_services.readJournal;
    QString journalError;
    if (m_services.readJournal) {
        if (auto journal = m_services.readJournal()) {
            m_journal = journal.value();
            journalRead = true;
        } else {
            journalError = journal.message();
        }
    }
    for (const QString& path : paths) {
        SetRow row;
        row.workbook = QFileInfo(path).fileName();
        InvoiceRecord invoice;
        const Result<InvoiceRecord> loaded =
            m_services.load ? m_services.load(path) : makeError(ErrorCode::Unsupported, QString());
        if (!loaded) {
            row.state = State::Skipped;
            row.outcome = u"atlandı: "_s + loaded.message();
        } else {
            invoice = loaded.value();
            if (invoice.invoiceDate.isEmpty())
                invoice.invoiceDate = m_options.upload.today.toString(u"dd/MM/yyyy"_s);
            invoice.sourceWorkbook = row.workbook;
            row.buyer = buyerOf(invoice);
            row.tavlixTotal = invoice.checkTotal;
            QString why = refusal(invoice);
            // Unknown issues would risk the same invoice twice on the portal.
            if (why.isEmpty() && !m_options.includeIssued && !journalRead)
                why = u"yükleme günlüğü okunamadı (%1)"_s.arg(journalError);
            if (why.isEmpty() && !m_options.includeIssued) {
                if (const auto issued = findIssued(m_journal, invoice))
                    why = u"portala yüklenmiş: %1 (%2)"_s.arg(
                        issued->portalNumber, issued->uploadedAt.toString(u"dd.MM.yyyy HH:mm"_s));
            }
            if (!why.isEmpty()) {
                row.state = State::Skipped;
                row.outcome = u"atlandı: "_s + why;
            } else {
                m_pending.append(int(m_rows.size()));
            }
        }
        m_rows.append(row);
        m_invoices.append(invoice);
        changed(int(m_rows.size() - 1));
    }
    m_total = int(m_pending.size());
}

void SetRun::leaveUnsent(qsizetype from, const QString& why) {
    for (qsizetype i = from; i < m_pending.size(); ++i) {
        SetRow& row = m_rows[m_pending.at(i)];
        if (row.state != State::Waiting)
            continue;
        row.state = State::Unsent;
        row.outcome = u"gönderilmedi: "_s + why;
        changed(m_pending.at(i));
    }
}

void SetRun::record(int index, InvoiceUpload& upload, bool saved, const QStringList& said) {
    SetRow& row = m_rows[index];
    row.notes = said;
    if (upload.portalTotalRead())
        row.portalTotal = upload.portalTotal();
    row.number = upload.lastInvoiceNumber();
    row.ettn = saved ? upload.ettn() : QString();
    if (!saved) {
        row.state = State::NotSaved;
        row.outcome = u"kaydedilmedi: "_s + (upload.pageMessage().isEmpty()
                                                 ? u"portal kaydı belge listesinde göstermedi"_s
                                                 : upload.pageMessage());
    } else if (upload.matchKind() == InvoiceRowMatch::Kind::Ambiguous) {
        row.state = State::Several;
        row.outcome = u"birden çok taslak: "_s + upload.matchingNumbers().join(u", "_s);
    } else {
        row.state = upload.filedHtml().isEmpty() ? State::Prepared : State::Filed;
        row.outcome = row.state == State::Filed ? u"dosyalandı"_s
                                                : u"hazırlandı, fatura paketi dosyalanmadı"_s;
    }
    if (!m_journalError.isEmpty())
        row.notes.append(std::exchange(m_journalError, QString()));
    // Saved with another total than ours, or one the page did not show: the user looks first.
    const auto difference = row.difference();
    if (saved && (!difference || *difference != 0)) {
        const QString what =
            difference ? u"fark "_s + money::kurusText(*difference) : u"portal toplamı okunamadı"_s;
        if (m_options.stopOnDifference) {
            row.state = State::Difference;
            row.outcome = u"durduruldu: "_s + what + u" ("_s + row.outcome + u')';
            m_stop = true;
        } else {
            row.outcome += u" ("_s + what + u')';
        }
    }
}

// As the single upload does once the save was tried; the set's own copy keeps an invoice issued
// now from going again in the same set.
void SetRun::journal(const InvoiceUpload& upload) {
    if (!m_services.appendJournal)
        return;
    const JournalEntry entry = journalEntryFor(upload, QDateTime::currentDateTime());
    if (const auto written = m_services.appendJournal(entry); !written)
        m_journalError = u"Yükleme günlüğüne yazılamadı: "_s + written.message();
    m_journal.append(entry);
}

// False when the set must end here (the session ended a second time, the login failed).
bool SetRun::upload(qsizetype pendingIndex, UploadSession& session, bool& formShown) {
    const int index = m_pending.at(pendingIndex);
    UploadOptions options = m_options.upload;
    options.closeAfterDownload = false;
    options.watchSession = true;
    options.pasteDatesAtOnce = true;
    UploadServices services = m_services.upload;
    services.mailToCustomer = nullptr;
    services.uploaded = nullptr;
    services.printPdf = m_services.printPdf ? m_services.printPdf
                                            : [this](const QString& html, const QString& pdf) {
                                                  return m_printer.print(html, pdf);
                                              };
    const QString prefix =
        u"%1 / %2 — %3: "_s.arg(pendingIndex + 1).arg(m_total).arg(m_rows.at(index).workbook);
    while (true) {
        InvoicePrompt prompt(m_prompt, prefix);
        InvoiceUpload upload(session.driver(), prompt, m_invoices.at(index), options);
        if (m_listed && m_listedDate == m_invoices.at(index).invoiceDate)
            upload.setListedBefore(*m_listed);
        bool saved = false;
        m_inInvoice = true;
        try {
            saved = uploadOnSession(upload, services, formShown, [&] { journal(upload); });
        } catch (const SessionEnded&) {
            m_inInvoice = false;
            if (++m_sessionEnds > 1) {
                m_prompt.message(UserPrompt::Icon::Warning,
                                 u"e-Arşiv portalı oturumu yeniden sonlandırdı; toplu yükleme "
                                 u"durduruldu. Gönderilmeyen faturalar tabloda."_s);
                leaveUnsent(pendingIndex, u"portal oturumu yeniden sona erdi"_s);
                return false;
            }
            m_prompt.progress(u"e-Arşiv portalı oturumu sona erdi; yeniden giriş yapılıyor"_s);
            const PortalLoginResult login = session.logInAgain();
            if (!login.login || m_prompt.cancelled()) {
                if (!login.login)
                    m_prompt.message(UserPrompt::Icon::Warning,
                                     login.login.message() + u" Toplu yükleme durduruldu."_s);
                leaveUnsent(pendingIndex, login.login ? u"iptal edildi"_s
                                                      : u"portala yeniden giriş yapılamadı"_s);
                return false;
            }
            formShown = true;
            continue;
        } catch (const UploadCancelled&) {
            // The invoice's own prompt never cancels; kept for a factory's own prompt.
            m_inInvoice = false;
            leaveUnsent(pendingIndex, u"iptal edildi"_s);
            return false;
        }
        m_inInvoice = false;
        formShown = false;
        m_listed = upload.listedNow();
        m_listedDate = m_invoices.at(index).invoiceDate;
        if (saved && !upload.filedHtml().isEmpty())
            printAndOfferMail(upload.filedHtml(), prompt, services);
        record(index, upload, saved, prompt.said);
        changed(index);
        return true;
    }
}

SetResult SetRun::run(const QStringList& paths) {
    m_prompt.progress(u"Kayıtlı faturalar okunuyor"_s);
    loadAll(paths);
    progressed();
    if (m_pending.isEmpty())
        return {m_rows, summary()};

    const InvoiceRecord& first = m_invoices.at(m_pending.first());
    const auto temp = uploadTempFolder(m_options.upload.programDir, first.company);
    if (!isOnline()) {
        m_prompt.message(UserPrompt::Icon::Information, u"İnternete bağlı değilsiniz !"_s);
        leaveUnsent(0, u"internete bağlı değil"_s);
        return {m_rows, summary()};
    }
    if (!temp || !QDir().mkpath(*temp)) {
        m_prompt.message(
            UserPrompt::Icon::Warning,
            u"Firma klasörü kullanılamıyor: \"%1\". Faturalar yüklenmedi."_s.arg(first.company));
        leaveUnsent(0, u"firma klasörü kullanılamıyor"_s);
        return {m_rows, summary()};
    }
    if (m_services.upload.checkDriver)
        m_services.upload.checkDriver(m_prompt);
    if (m_prompt.cancelled()) {
        leaveUnsent(0, u"iptal edildi"_s);
        return {m_rows, summary()};
    }

    UploadSession session(m_prompt, m_services.upload.makeSession,
                          [this] { return !m_inInvoice && m_prompt.cancelled(); });
    m_prompt.progress(u"e-Arşiv portalına giriş yapılıyor"_s);
    const PortalLoginResult login =
        session.open(*temp, m_options.upload.portalBase, first.settings);
    if (!login.login || m_prompt.cancelled()) {
        session.quit();
        if (!login.login && !m_prompt.cancelled())
            m_prompt.message(UserPrompt::Icon::Warning,
                             login.login.message() + u" Faturalar yüklenmedi."_s);
        leaveUnsent(0, m_prompt.cancelled() ? u"iptal edildi"_s : u"portala giriş yapılamadı"_s);
        return {m_rows, summary()};
    }

    m_clock.start();
    bool formShown = true;
    for (qsizetype i = 0; i < m_pending.size(); ++i) {
        if (m_prompt.cancelled()) {
            leaveUnsent(i, u"iptal edildi"_s);
            break;
        }
        if (m_stop) {
            leaveUnsent(i, u"önceki faturada fark çıktı"_s);
            break;
        }
        if (!upload(i, session, formShown))
            break;
        ++m_done;
        progressed();
    }
    session.close();
    return {m_rows, summary()};
}

QString SetRun::summary() const {
    int counts[8] = {};
    for (const SetRow& row : m_rows)
        ++counts[int(row.state)];
    const std::pair<State, const char16_t*> names[] = {
        {State::Filed, u"dosyalandı"},
        {State::Prepared, u"hazırlandı (paket dosyalanmadı)"},
        {State::Difference, u"farkla durduruldu"},
        {State::NotSaved, u"kaydedilmedi"},
        {State::Several, u"birden çok taslak"},
        {State::Skipped, u"atlandı"},
        {State::Unsent, u"gönderilmedi"}};
    QStringList parts;
    for (const auto& [state, name] : names)
        if (const int n = counts[int(state)]; n > 0)
            parts.append(u"%1 %2"_s.arg(n).arg(QString::fromUtf16(name)));
    QString line = u"%1 fatura: "_s.arg(m_rows.size()) + parts.join(u", "_s) + u'.';
    if (m_clock.isValid())
        line += u" Süre: %1 sn."_s.arg(m_clock.elapsed() / 1000);
    return line;
}

} // namespace

SetResult runInvoiceSet(const QStringList& workbookPaths, UserPrompt& prompt,
                        const SetOptions& options, const SetServices& services) {
    return SetRun(prompt, options, services).run(workbookPaths);
}

} // namespace tavlix::portal
