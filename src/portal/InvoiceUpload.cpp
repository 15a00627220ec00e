#include "portal/InvoiceUpload.h"

#include "browser/DriverCheck.h"
#include "platform/Connectivity.h"
#include "platform/ProgramFolder.h"
#include "platform/UserPrompt.h"
#include "portal/BuyerCheck.h"
#include "portal/InvoicePrint.h"
#include "portal/PortalBrowser.h"
#include "portal/UploadSession.h"
#include "store/FolderTree.h"

#include <QDir>

#include <utility>

using namespace Qt::StringLiterals;

namespace tavlix::portal {

QString portalTypeValue(const QString& typeCaption) {
    static const QList<std::pair<QString, QString>> map{
        {u"SATIŞ"_s, u"SATIS"_s},
        {u"İADE"_s, u"IADE"_s},
        {u"TEVKİFAT"_s, u"TEVKIFAT"_s},
        {u"İSTİSNA"_s, u"ISTISNA"_s},
        {u"ÖZEL MATRAH"_s, u"OZELMATRAH"_s},
        {u"İHRAÇ KAYITLI"_s, u"IHRACKAYITLI"_s},
    };
    for (const auto& [caption, value] : map)
        if (caption == typeCaption)
            return value;
    return QString();
}

std::optional<QString> uploadTempFolder(const QString& programDir, const QString& company) {
    const auto folder = store::safeCompanyFolder(programDir, company);
    if (!folder)
        return std::nullopt;
    return *folder + u"/Satış Faturaları/Temp"_s;
}

InvoiceUpload::InvoiceUpload(BrowserDriver& driver, UserPrompt& prompt, InvoiceRecord invoice,
                             UploadOptions options)
    : m_driver(driver)
    , m_prompt(prompt)
    , m_invoice(std::move(invoice))
    , m_options(std::move(options))
    , m_typeValue(portalTypeValue(m_invoice.typeText)) {}

void InvoiceUpload::wait(int ms) {
    m_driver.Wait(ms);
    m_waitedMs += ms;
}

void InvoiceUpload::checkpoint(const QString& step) {
    m_prompt.progress(step);
    m_prompt.keepAlive();
    if (m_prompt.cancelled())
        throw UploadCancelled{};
}

bool InvoiceUpload::click(const QString& id) {
    const auto element = m_driver.FindById(id);
    return check(element, id) && check(m_driver.Click(*element), id);
}

bool InvoiceUpload::typeInto(const QString& id, const QString& text) {
    const auto element = m_driver.FindById(id);
    return check(element, id) && check(m_driver.TypeText(*element, text), id);
}

bool InvoiceUpload::clickAndPaste(const QString& id, const QString& text) {
    return click(id) && check(m_driver.ClipboardPaste(text), id);
}

UploadOptions defaultUploadOptions() {
    return {programDir(), portalBaseUrl(), programToday(), 60000, 10000, 20000, 3};
}

UploadServices defaultUploadServices() {
    UploadServices services;
    services.checkDriver = [](UserPrompt& prompt) {
        browser::checkChromeVersiyon(browser::DriverCheckInput::fromEnvironment(), prompt);
    };
    services.fileDownload = unzip;
    services.makeSession = makeSession;
    services.printPdf = [](const QString& html, const QString& pdf) {
        return printInvoicePdf(html, pdf);
    };
    return services;
}

QString reuploadQuestion(const QString& number) {
    return u"Bu fatura %1 numarasıyla portala yüklendi. Yeni bir fatura olarak yeniden yüklensin "
           u"mi?"_s.arg(number);
}

bool buyerComplete(const InvoiceRecord& invoice, UserPrompt& prompt) {
    const QString missing = missingBuyerDetails(invoice);
    if (!missing.isEmpty())
        prompt.message(UserPrompt::Icon::Warning, missing);
    return missing.isEmpty();
}

QString reuploadQuestion(const QString& number, const QDateTime& uploadedAt) {
    if (!uploadedAt.isValid())
        return reuploadQuestion(number);
    return u"Bu fatura %1 numarasıyla %2 tarihinde portala yüklendi. Yeni bir fatura olarak "
           u"yeniden yüklensin mi?"_s.arg(number, uploadedAt.toString(u"dd.MM.yyyy HH:mm"_s));
}

JournalEntry journalEntryFor(const InvoiceUpload& upload, const QDateTime& now) {
    const InvoiceRecord& invoice = upload.invoice();
    JournalEntry e;
    e.uploadedAt = now;
    e.invoiceDate = invoice.invoiceDate.trimmed();
    e.typeText = invoice.typeText;
    e.buyerTaxNumber = invoice.taxNumber.trimmed();
    e.buyerName = !upload.portalBuyer().name.isEmpty() ? upload.portalBuyer().name
                  : !invoice.customerTitle.isEmpty()   ? invoice.customerTitle
                                                       : invoice.customerName;
    e.tavlixTotal = invoice.checkTotal;
    if (upload.portalTotalRead())
        e.portalTotal = upload.portalTotal();
    e.sourceWorkbook = invoice.sourceWorkbook;
    switch (upload.matchKind()) {
    case InvoiceRowMatch::Kind::Found:
        e.outcome = QString::fromUtf16(kJournalPrepared);
        e.portalNumber = upload.lastInvoiceNumber();
        e.ettn = upload.ettn().toUpper();
        break;
    case InvoiceRowMatch::Kind::Ambiguous:
        e.outcome = QString::fromUtf16(kJournalSeveralDrafts);
        break;
    case InvoiceRowMatch::Kind::None:
        e.outcome = QString::fromUtf16(kJournalNotSaved);
        break;
    }
    return e;
}

void recordUpload(const QString& programDir, const InvoiceUpload& upload, UserPrompt& prompt) {
    const auto path = journalPath(programDir, upload.invoice().company);
    if (!path)
        return; // the upload refuses such a company before it starts
    if (const auto added =
            appendJournalEntry(*path, journalEntryFor(upload, QDateTime::currentDateTime()));
        !added)
        prompt.message(UserPrompt::Icon::Warning, added.message());
}

namespace {

// The question before a second issue of the same invoice; nothing to ask when it was never
// issued. The mark of today's upload is the quick path; the journal knows it after a restart.
std::optional<QString> issuedQuestion(InvoiceRecord invoice, const UploadOptions& options,
                                      UserPrompt& prompt) {
    if (invoice.invoiceDate.isEmpty())
        invoice.invoiceDate = options.today.toString(u"dd/MM/yyyy"_s);
    const auto path = journalPath(options.programDir, invoice.company);
    QList<JournalEntry> journal;
    if (path) {
        auto read = readJournal(*path);
        if (read)
            journal = std::move(read.value());
        else if (invoice.portalNumber.isEmpty())
            prompt.message(UserPrompt::Icon::Warning,
                           read.message() + u"\nBu faturanın daha önce yüklenip yüklenmediğine "
                                            u"bakılamadı."_s);
    }
    if (!invoice.portalNumber.isEmpty()) {
        for (auto it = journal.crbegin(); it != journal.crend(); ++it)
            if (it->portalNumber == invoice.portalNumber)
                return reuploadQuestion(invoice.portalNumber, it->uploadedAt);
        return reuploadQuestion(invoice.portalNumber);
    }
    if (const auto issued = findIssued(journal, invoice))
        return reuploadQuestion(issued->portalNumber.isEmpty() ? issued->ettn
                                                               : issued->portalNumber,
                                issued->uploadedAt);
    return std::nullopt;
}

} // namespace

UploadOutcome runInvoiceUpload(InvoiceRecord invoice, UserPrompt& prompt, UploadOptions options,
                               const UploadServices& services) {
    if (const auto question = issuedQuestion(invoice, options, prompt);
        question && !prompt.ask(*question, u"Tavlix"_s))
        return UploadOutcome::NotRepeated;
    if (!isOnline()) {
        prompt.message(UserPrompt::Icon::Information, u"İnternete bağlı değilsiniz !"_s);
        return UploadOutcome::Offline;
    }
    if (services.checkDriver)
        services.checkDriver(prompt);
    if (prompt.cancelled()) {
        prompt.message(UserPrompt::Icon::Warning, u"Fatura yükleme iptal edildi."_s);
        return UploadOutcome::Cancelled;
    }
    if (!invoice.hasLines()) {
        prompt.message(UserPrompt::Icon::Warning, u"Fatura boş!"_s);
        return UploadOutcome::EmptyInvoice;
    }
    if (!buyerComplete(invoice, prompt))
        return UploadOutcome::MissingBuyer;
    if (invoice.settings.portalUser.isEmpty() || invoice.settings.portalPassword.isEmpty())
        return UploadOutcome::NoCredentials;
    if (invoice.invoiceDate.isEmpty())
        invoice.invoiceDate = options.today.toString(u"dd/MM/yyyy"_s);

    const auto companyFolder = store::safeCompanyFolder(options.programDir, invoice.company);
    const auto temp = uploadTempFolder(options.programDir, invoice.company);
    if (!companyFolder || !temp || !QDir().mkpath(*temp)) {
        prompt.message(
            UserPrompt::Icon::Warning,
            u"Firma klasörü kullanılamıyor: \"%1\". Fatura yüklenmedi."_s.arg(invoice.company));
        return UploadOutcome::UnsafeCompany;
    }

    UploadSession session(prompt, services.makeSession, [&prompt] { return prompt.cancelled(); });
    prompt.progress(u"e-Arşiv portalına giriş yapılıyor"_s);
    const PortalLoginResult login = session.open(*temp, options.portalBase, invoice.settings);
    if (prompt.cancelled()) {
        session.quit();
        prompt.message(UserPrompt::Icon::Warning, u"Fatura yükleme iptal edildi."_s);
        return UploadOutcome::Cancelled;
    }
    if (!login.login) {
        session.quit();
        prompt.message(UserPrompt::Icon::Warning, login.login.message() + u" Fatura yüklenmedi."_s);
        return UploadOutcome::LoginFailed;
    }

    InvoiceUpload upload(session.driver(), prompt, std::move(invoice), options);
    bool recorded = false;
    // Once the save was tried the portal may hold the invoice: the journal says how it ended.
    const auto record = [&] {
        if (!std::exchange(recorded, true))
            recordUpload(options.programDir, upload, prompt);
    };
    try {
        if (!uploadOnSession(upload, services, true, record)) {
            session.quit();
            return UploadOutcome::NotSaved;
        }
    } catch (const UploadCancelled&) {
        session.quit();
        if (upload.saveTried())
            record();
        // Stopped after the list showed it: the invoice is on the portal all the same.
        if (services.uploaded && !upload.lastInvoiceNumber().isEmpty())
            services.uploaded(upload.lastInvoiceNumber(), upload.ettn());
        prompt.message(UserPrompt::Icon::Warning,
                       u"Fatura yükleme iptal edildi. Fatura portalda yarım yazılmış olabilir; "
                       u"portaldaki taslağı kontrol ediniz."_s);
        return UploadOutcome::Cancelled;
    }
    session.quit();
    if (!upload.filedHtml().isEmpty())
        printAndOfferMail(upload.filedHtml(), prompt, services);
    return UploadOutcome::Done;
}

bool uploadOnSession(InvoiceUpload& upload, const UploadServices& services, bool formShown,
                     const std::function<void()>& afterSave) {
    upload.readListBeforeSave(formShown);
    upload.fillHeader();
    upload.fillReturnReferences();
    upload.addExtraTaxes();
    upload.fillLineRows();
    const bool saved = upload.saveDraft();
    if (afterSave)
        afterSave();
    if (!saved)
        return false;
    upload.downloadAndFile(services.fileDownload);
    if (services.uploaded && !upload.lastInvoiceNumber().isEmpty())
        services.uploaded(upload.lastInvoiceNumber(), upload.ettn());
    return true;
}

bool onLoginPage(BrowserDriver& driver) {
    const auto shown = driver.RunScript(
        u"return !!document.getElementById('userid') && !!document.getElementById('password');"_s);
    return shown.ok() && shown->toBool();
}

} // namespace tavlix::portal
