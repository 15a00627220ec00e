// The main window's portal buttons: "e-Arşiv" (the upload, asked again for an invoice already
// uploaded), " e-Arşiv Taslak" and "İptal/İtiraz"; each offers to enter missing portal credentials.
// Also the move of the workbook's passwords into the desktop's keyring.
#include "app/MainWindow.h"

#include "app/CompanyData.h"
#include "files/IssuedInvoices.h"
#include "files/SavedInvoicesPanel.h"
#include "invoice/PortalCredentialsWindow.h"
#include "platform/ProgramFolder.h"
#include "portal/InvoiceUpload.h"
#include "portal/PortalShortcuts.h"
#include "portal/PortalStates.h"
#include "store/DataStore.h"
#include "widgets/MessageBoxPrompt.h"
#include "widgets/ReportModel.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace tavlix {

void MainWindow::wirePortalButtons() {
    for (const auto& [name, shortcut] :
         {std::pair{u"Command20"_s, portal::Shortcut::IssuedDocuments},
          std::pair{u"Command22"_s, portal::Shortcut::Cancellations}})
        connect(m_surface->findChild<QPushButton*>(name), &QPushButton::clicked, this,
                [this, s = shortcut] {
                    portal::ShortcutOutcome outcome;
                    {
                        MessageBoxPrompt prompt(this);
                        outcome = portal::runPortalShortcut(s, portal::portalBaseUrl(), m_settings,
                                                            prompt);
                    }
                    if (outcome == portal::ShortcutOutcome::NoCredentials)
                        offerPortalCredentials(*this, this);
                });
    connect(m_surface->findChild<QPushButton*>(u"Command12"_s), &QPushButton::clicked, this,
            &MainWindow::uploadInvoice);

    // The upload mark belongs to the lines it was made for: lines replaced (a type or company
    // change, a loaded workbook) or all deleted make another invoice.
    const auto dropMark = [this] {
        m_uploadedNumber.clear();
        m_uploadedEttn.clear();
        m_sourceWorkbook.clear();
    };
    connect(m_lines, &QAbstractItemModel::modelReset, this, dropMark);
    connect(m_lines, &QAbstractItemModel::rowsRemoved, this, [this, dropMark] {
        if (m_lines->rowTotal() == 0)
            dropMark();
    });
}

void MainWindow::uploadInvoice() {
    portal::UploadOutcome outcome;
    {
        MessageBoxPrompt prompt(this);
        portal::UploadServices services = portal::defaultUploadServices();
        services.mailToCustomer = [this](const QString& pdf) { m_savedInvoices->mailIssued(pdf); };
        services.uploaded = [this](const QString& number, const QString& ettn) {
            markUploaded(number, ettn);
        };
        outcome = portal::runInvoiceUpload(invoiceRecord(), prompt, portal::defaultUploadOptions(),
                                           services);
    }
    m_savedInvoices->refreshIssued();
    if (outcome == portal::UploadOutcome::NoCredentials)
        offerPortalCredentials(*this, this);
}

void MainWindow::refreshPortalStates(const QString& company, int year, int month) {
    const auto folder = companyFolderFor(company);
    if (!folder) {
        if (!folder.message().isEmpty())
            showMessage(QMessageBox::Warning, folder.message());
        return;
    }
    portal::StateRefreshInput input;
    input.programDir = programDir();
    input.portalBase = portal::portalBaseUrl();
    input.company = company;
    input.invoices = files::filedInvoicesOfMonth(*folder, year, month);
    if (company == companyName()) {
        input.settings = m_settings;
    } else if (const auto read =
                   readCompanySelection(dataWorkbookPath(), company, lastCompanyColumn());
               read && read->settings) {
        input.settings = *read->settings;
    }
    portal::StateRefreshOutcome outcome;
    {
        MessageBoxPrompt prompt(QApplication::activeWindow() ? QApplication::activeWindow() : this);
        outcome = portal::refreshPortalStates(input, prompt, portal::makeSession);
    }
    m_savedInvoices->refreshIssued();
    // Only the current company's credentials are entered here.
    if (outcome == portal::StateRefreshOutcome::NoCredentials && company == companyName())
        offerPortalCredentials(*this, this);
    else if (outcome == portal::StateRefreshOutcome::NoCredentials)
        showMessage(QMessageBox::Warning,
                    u"\"%1\" firmasının e-Arşiv kullanıcı kodu veya şifresi yok; firmayı seçip "
                    u"giriniz."_s.arg(company));
}

void MainWindow::markUploaded(const QString& number, const QString& ettn) {
    m_uploadedNumber = number;
    m_uploadedEttn = ettn;
}

void MainWindow::movePasswordsToKeyring() {
    MessageBoxPrompt prompt(this);
    const auto moved =
        store::DataStore(dataWorkbookPath()).movePasswordsToKeyring(lastCompanyColumn());
    if (!moved)
        prompt.message(UserPrompt::Icon::Warning, moved.message());
    else if (*moved == 0)
        prompt.message(UserPrompt::Icon::Information,
                       u"DATA.xlsx içinde anahtarlığa taşınacak şifre yok."_s);
    else
        prompt.message(
            UserPrompt::Icon::Information,
            u"%1 şifre anahtarlığa taşındı; DATA.xlsx içindeki hücreleri boşaltıldı."_s.arg(
                *moved));
}

void MainWindow::setPortalCredentials(const QString& user, const QString& password) {
    m_settings.portalUser = user;
    m_settings.portalPassword = password;
    m_user->setText(user);
    m_pass->setText(password);
}

} // namespace tavlix
