// "Kayıtlı Faturalar" (Frame1): the company folder's saved invoice workbooks (List1), the one the
// user clicked last, and the file buttons "Excel Yükle", "Excel Kaydet", "Excel Aç", "Excel SiL"
// and "e-Mail Gönder". The list follows its folder on disk. A second tab lists the company's
// issued invoices (IssuedList) with their approval state on the portal, which "Excel Aç" opens,
// "e-Mail Gönder" mails and "Portal Durumlarını Güncelle" reads again. The main window
// only wires it to the invoice through SavedInvoicesHost.
#pragma once

#include "files/InvoiceImport.h"
#include "files/IssuedInvoices.h"
#include "invoice/InvoiceRecord.h"

#include <QGroupBox>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTreeWidget;

namespace tavlix::files {

class BulkUploadWindow;
class SavedInvoiceWatch;

// What the panel needs of the invoice it stands beside.
struct SavedInvoicesHost {
    std::function<bool()> typeChosen;                    // the file buttons need an invoice type
    std::function<InvoiceRecord()> invoice;              // "Excel Kaydet" saves it
    std::function<ImportTarget()> importTarget;          // "Excel Yükle" imports for it …
    std::function<void(const ImportedLines&)> takeLines; // … and hands the lines over
    // A saved invoice's type, before its lines are laid out (-1 when it names none) …
    std::function<void(int typeIndex)> takeSavedType;
    // … and, after them, its header (nothing for a workbook without one) and its file name.
    std::function<void(const std::optional<InvoiceRecord>& header, const QString& file)> takeHeader;
    std::function<void(const QString& file)> openMail;        // "e-Mail Gönder"
    std::function<void(const IssuedInvoice&)> openIssuedMail; // … on an issued invoice
    // "Portal Durumlarını Güncelle" for the month of the issued invoices (year, month).
    std::function<void(int year, int month)> refreshStates;
};

class SavedInvoicesPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit SavedInvoicesPanel(QWidget* parent = nullptr);
    ~SavedInvoicesPanel() override;

    void setHost(SavedInvoicesHost host) { m_host = std::move(host); }

    // Lists `folder` and follows it from now on; the current file is forgotten. A company's
    // folder is where "Excel Kaydet" saves; without one (empty, or the folder of all companies
    // at start) a save finds no folder and says so.
    void showFolder(const QString& folder, bool companyFolder = true);
    QString folder() const;
    QString currentFile() const { return m_currentFile; }
    // The issued invoice clicked last in "Kesilen Faturalar"; the file buttons then act on it.
    const std::optional<IssuedInvoice>& currentIssued() const { return m_currentIssued; }

    // "Excel Kaydet" follows the invoice type: light cyan once a type is chosen.
    void setSaveEnabled(bool enabled);
    // A company newly chosen: "Excel Yükle", "Excel Kaydet" and "Excel Aç" off and white.
    void disableForNewCompany();
    void setImportEnabled(bool enabled);

    // The user's acts, public so that tests can run them as the buttons and the list do.
    void clicked(const QString& name);       // List1 click
    void doubleClicked(const QString& name); // List1 double click: open it
    void save();                             // "Excel Kaydet"
    void openCurrent();                      // "Excel Aç"
    void removeCurrent();                    // "Excel SiL"
    void importCurrent();                    // "Excel Yükle"
    void mailCurrent();                      // "e-Mail Gönder"
    void issuedClicked(int row);             // a click on "Kesilen Faturalar"
    // "Portal Durumlarını Güncelle": the month of the invoice clicked last, else of the newest.
    void refreshStates();
    void openBulkUpload(); // "Toplu e-Arşiv": the company's saved invoices
    BulkUploadWindow* bulkUpload() const { return m_bulk.get(); }
    // Reads the company's Pdf folder again; the issued invoice clicked last stays selected.
    void refreshIssued();
    // Shows "Kesilen Faturalar", selects the invoice of `pdfPath` and opens its mail.
    void mailIssued(const QString& pdfPath);
    // The mail panel went away: the list's selection is taken again.
    void reselect();

signals:
    // Opening a file hands the desktop to another program: the main window steps back.
    void handingToOtherProgram();

private:
    void listChanged(const QStringList& names); // the folder changed on disk
    void setFileButtons(bool enabled); // "Excel Yükle", "Excel SiL", "Excel Aç", "e-Mail Gönder"
    void message(const QString& text);
    void setIssuedButtons(); // "Excel Aç" and "e-Mail Gönder" on, the workbook buttons off

    SavedInvoicesHost m_host;
    SavedInvoiceWatch* m_watch = nullptr;
    QLabel* m_label12 = nullptr;         // folder caption
    QLineEdit* m_dir1 = nullptr;         // the folder the list shows
    QListWidget* m_list1 = nullptr;      // saved invoice workbooks
    QTabWidget* m_tabs = nullptr;        // the workbooks and the issued invoices side by side
    QWidget* m_issuedPage = nullptr;     // the list with its refresh button under it
    QTreeWidget* m_issuedList = nullptr; // the invoice and its approval state
    QPushButton* m_refreshStates = nullptr;
    QList<IssuedInvoice> m_issued;       // as listed
    QPushButton* m_command3 = nullptr;   // "Excel Yükle"
    QPushButton* m_command9 = nullptr;   // "Excel Kaydet"
    QPushButton* m_command11 = nullptr;  // "Excel Aç"
    QPushButton* m_command10 = nullptr;  // "Excel SiL"
    QPushButton* m_command15 = nullptr;  // "e-Mail Gönder"
    QPushButton* m_bulkButton = nullptr; // "Toplu e-Arşiv"
    std::unique_ptr<BulkUploadWindow> m_bulk;
    QLabel* m_saveStatus = nullptr; // "<file> kaydedildi: <folder>" after a save
    QString m_companyFolder;
    QString m_currentFile; // the saved invoice clicked last: folder + "/" + name
    std::optional<IssuedInvoice> m_currentIssued;
};

} // namespace tavlix::files
