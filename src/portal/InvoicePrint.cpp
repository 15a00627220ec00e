#include "portal/InvoicePrint.h"

#include "platform/UserPrompt.h"
#include "portal/InvoiceUpload.h"
#include "portal/PortalBrowser.h"
#include "store/FolderTree.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace tavlix::portal {

QString filedHtmlPath(const UnzipInput& input, const QString& package) {
    const std::optional<QString> company =
        store::safeCompanyFolder(input.programDir, input.company);
    if (!company || package.size() <= 4)
        return QString();
    return *company + u"/Satış Faturaları/Html/"_s + input.firstPart + u'-' + input.secondPart +
           u'-' + package.left(package.size() - 4) + u".html"_s;
}

QString issuedPdfPath(const QString& filedHtmlPath) {
    const QFileInfo html(filedHtmlPath);
    return QDir(html.absolutePath() + u"/../Pdf"_s).absolutePath() + u'/' +
           html.completeBaseName() + u".pdf"_s;
}

InvoicePrinter::InvoicePrinter(SessionFactory makeSession)
    : m_makeSession(std::move(makeSession)) {}

InvoicePrinter::~InvoicePrinter() {
    if (m_driver)
        m_driver->Quit();
}

Result<void> InvoicePrinter::print(const QString& htmlPath, const QString& pdfPath) {
    if (!QFileInfo(htmlPath).isFile())
        return makeError(ErrorCode::NotFound,
                         u"Fatura HTML dosyası bulunamadı: %1"_s.arg(htmlPath));
    if (!m_driver) {
        m_driver = m_makeSession ? m_makeSession() : portal::makeSession();
        // The portal's HTML is a foreign page: no script, and every request goes to a proxy
        // that does not exist (loopback included).
        m_driver->AddBrowserArgument(u"--headless"_s);
        m_driver->AddBrowserArgument(u"--blink-settings=scriptEnabled=false"_s);
        m_driver->AddBrowserArgument(u"--proxy-server=http://127.0.0.1:9"_s);
        m_driver->AddBrowserArgument(u"--proxy-bypass-list=<-loopback>"_s);
        m_driver->SetBrowserPreference(u"profile.default_content_setting_values.javascript"_s, 2);
        if (const Result<void> started = m_driver->StartBrowser(u"Chrome"_s); !started) {
            m_driver.reset();
            return started.error();
        }
    }
    const Result<QByteArray> pdf = [&]() -> Result<QByteArray> {
        if (const Result<void> opened = m_driver->OpenPage(
                QUrl::fromLocalFile(QFileInfo(htmlPath).absoluteFilePath()).toString());
            !opened)
            return makeError(
                opened.error().code,
                u"Fatura HTML dosyası tarayıcıda açılamadı. %1"_s.arg(opened.message()));
        return m_driver->PrintPage();
    }();
    if (!pdf) {
        // A session that failed once is not trusted with the next invoice.
        m_driver->Quit();
        m_driver.reset();
        return pdf.error();
    }

    if (!QDir().mkpath(QFileInfo(pdfPath).absolutePath()))
        return makeError(ErrorCode::Io, u"Pdf klasörü oluşturulamadı: %1"_s.arg(pdfPath));
    QSaveFile file(pdfPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(*pdf) != pdf->size() || !file.commit())
        return makeError(ErrorCode::Io,
                         u"PDF dosyası yazılamadı: %1 (%2)"_s.arg(pdfPath, file.errorString()));
    return {};
}

Result<void> printInvoicePdf(const QString& htmlPath, const QString& pdfPath,
                             const SessionFactory& makeSession) {
    return InvoicePrinter(makeSession).print(htmlPath, pdfPath);
}

void printAndOfferMail(const QString& filedHtml, UserPrompt& prompt,
                       const UploadServices& services) {
    if (!services.printPdf)
        return;
    prompt.progress(u"Fatura PDF olarak yazdırılıyor"_s);
    const QString pdf = issuedPdfPath(filedHtml);
    if (const Result<void> printed = services.printPdf(filedHtml, pdf); !printed) {
        prompt.message(UserPrompt::Icon::Warning,
                       u"Faturanın PDF dosyası yazdırılamadı; Html, Xml ve Zip klasörlerindeki "
                       u"dosyalar yerinde duruyor. "_s +
                           printed.message());
        return;
    }
    if (services.mailToCustomer &&
        prompt.ask(u"Fatura müşteriye e-posta ile gönderilsin mi?"_s, u"Tavlix"_s))
        services.mailToCustomer(pdf);
}

} // namespace tavlix::portal
