// The main window Form1 ("Tavlix"): the program. It holds the invoice being edited in its
// controls, runs the start-up sequence and company selection, and opens every other window.
#pragma once

#include "invoice/InvoiceHost.h"
#include "invoice/InvoiceRecord.h"
#include "store/CompanySettings.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>
#include <optional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;

namespace tavlix {

namespace files {
class SavedInvoicesPanel;
}
namespace summary {
class SummaryWindow;
}

class AboutWindow;
class CustomerCardWindow;
class DownloadWindow;
class LineEditorWindow;
class MailPanel;
class RadioPanel;
class ReportModel;
class ReportView;
class ReturnReferencesWindow;
class TaxesDialog;

class MainWindow : public QMainWindow, public InvoiceHost {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Runs the start-up sequence; false when the program must end.
    bool startUp();

    // Operations shared with the other windows.
    void temelfatura();
    void yekunal();
    void clearHeaderFields();
    void checkNewUser();
    void dbOpen();

    // Event handlers, public so that tests can drive them as a focus change would.
    void companySelected();    // Combo4 left with another company
    void invoiceTypeChosen();  // Combo1 left with another type
    void currencyChosen();     // Combo2 loses focus
    void customerChosen();     // Combo3 loses focus
    void invoiceDateChosen();  // Combo5 loses focus
    void dispatchDateChosen(); // Combo6 loses focus
    void openCustomerSearch(); // Label19 clicked
    void lineClicked(int row); // a row of ListView1 clicked

    // Saved invoice workbooks (Frame1) and the proforma mail they open.
    files::SavedInvoicesPanel& savedInvoices() { return *m_savedInvoices; }
    QString currentSavedInvoice() const;

    // The invoice as one value, for the operations that take it (upload, files, mail).
    InvoiceRecord invoiceRecord() const;
    // The invoice on screen was uploaded as `number` (its row shown by the portal's list).
    void markUploaded(const QString& number, const QString& ettn);

    // Public values of the invoice.
    const CompanySettings& companySettings() const { return m_settings; }
    QString kdvMatStr() const { return m_kdvMatStr; }
    QString yazTopStr() const { return m_yazTopStr; }
    money::Kurus checkTotal() const { return m_checkTotal; }
    ReportModel& totals() { return *m_totals; }

    // InvoiceHost
    QString dataWorkbookPath() const override;
    QString companyName() const override;
    int lastCompanyColumn() const override;
    int invoiceTypeIndex() const override;
    QString invoiceTypeText() const override;
    void setInvoiceTypeEnabled(bool enabled) override;
    ReportModel& lines() override { return *m_lines; }
    void recomputeTotals() override { yekunal(); }
    void setReturnCount(const QString& count) override;
    void setLastReturnReference(const QString& serial, const QString& date) override;
    void setCustomer(const CustomerFields& customer) override;
    void hideCustomerSearch() override;
    QStringList countries() const override { return m_countries; }
    QDate today() const override;
    CompanySettings currentCompanySettings() const override { return m_settings; }
    void setPortalCredentials(const QString& user, const QString& password) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildUi();
    QWidget* buildHeader();
    QWidget* buildCustomer();
    QWidget* buildFiles();
    QWidget* buildButtons();
    void buildRadioPanel(QWidget* surface);
    void buildMenus();
    void wireEvents();
    // "e-Arşiv", " e-Arşiv Taslak", "İptal/İtiraz" (MainWindowPortal.cpp).
    void wirePortalButtons();
    void uploadInvoice();
    // "Portal Durumlarını Güncelle" for a company's month, from "Kesilen Faturalar" or
    // "Aylık Özet"; the company's credentials are offered when missing.
    void refreshPortalStates(const QString& company, int year, int month);
    // "Şifreleri Anahtarlığa Taşı": the workbook's passwords into the desktop's keyring.
    void movePasswordsToKeyring();

    // "Excel Yükle" of a saved invoice (MainWindowHost.cpp): its type while the invoice has no
    // lines yet, then its header: the buyer's card found by tax number, else the saved buyer.
    void takeSavedType(int typeIndex);
    void takeSavedHeader(const std::optional<InvoiceRecord>& header, const QString& file);

    void showMessage(int icon, const QString& text);
    void setTypeText(const QString& text);
    void setNotes(const QString& text);
    // The invoice takes the dates its boxes show: the invoice date always (today unless another
    // was picked), the dispatch date once the user has picked one.
    void takeShownDates();
    void filterCustomerSearch(const QString& text);
    void takeSearchResult(QListWidgetItem* item);
    void enableEditingButtons();         // "Mal/Hizmet Ekle", "VERGİ EKLE", "Excel Kaydet"
    void disableFileAndEditingButtons(); // those and "Excel Yükle", "Excel Aç", all white
    void showAbout();
    void importOtherFolder(); // "Verileri Başka Klasörden Al…"
    void showLineEditor();
    void showTaxesDialog();
    void showReturnWindow();
    void showCustomerCard();
    void showDownloadWindow();
    void showSummaryWindow();
    QString footnoteText() const;

    // Invoice lines and totals.
    ReportModel* m_lines = nullptr;
    ReportModel* m_totals = nullptr;

    QWidget* m_surface = nullptr; // everything below the menus, inside a scroll area
    bool m_placed = false;        // fitted to its screen on the first show

    // Controls by their names.
    QLabel* m_label21 = nullptr;   // version caption
    QComboBox* m_combo4 = nullptr; // company list
    QLineEdit* m_text1 = nullptr;  // last company column
    QComboBox* m_combo1 = nullptr; // invoice type
    QComboBox* m_combo2 = nullptr; // currency
    QLabel* m_label7 = nullptr;
    QLineEdit* m_text7 = nullptr; // exchange rate
    QLabel* m_label8 = nullptr;
    QLineEdit* m_text8 = nullptr; // invoice date
    QComboBox* m_combo5 = nullptr;
    QLabel* m_label9 = nullptr;
    QLineEdit* m_text9 = nullptr; // issue time
    QLabel* m_label10 = nullptr;
    QLineEdit* m_text10 = nullptr; // dispatch date
    QComboBox* m_combo6 = nullptr;
    QLineEdit* m_text11 = nullptr; // dispatch serial
    QComboBox* m_combo3 = nullptr; // customer
    QLineEdit* m_text2 = nullptr;
    QLineEdit* m_text12 = nullptr;
    QLineEdit* m_text3 = nullptr;
    QLineEdit* m_text4 = nullptr;
    QLineEdit* m_text5 = nullptr;
    QPlainTextEdit* m_text6 = nullptr; // notes
    QLineEdit* m_text600 = nullptr;    // footnote text (hidden)
    QLineEdit* m_uunvan = nullptr;
    QLineEdit* m_aad = nullptr;
    QLineEdit* m_ssoyad = nullptr;
    QLineEdit* m_user = nullptr;
    QLineEdit* m_pass = nullptr;
    QLineEdit* m_text100 = nullptr;
    QLineEdit* m_text200 = nullptr;
    QLabel* m_label19 = nullptr; // "Satıcı": opens the customer search
    QLineEdit* m_text19 = nullptr;
    QListWidget* m_list3 = nullptr;                       // search results
    QListWidget* m_list2 = nullptr;                       // every customer name (hidden)
    QLabel* m_label20 = nullptr;                          // return reference count
    files::SavedInvoicesPanel* m_savedInvoices = nullptr; // Frame1
    RadioPanel* m_frame10 = nullptr;
    ReportView* m_listView1 = nullptr;
    ReportView* m_listView2 = nullptr;
    QLabel* m_amountWords = nullptr;   // the grand total in words, with blanks, under the totals
    QPushButton* m_command5 = nullptr; // "Alış Fatura Bilgileri"
    QPushButton* m_command7 = nullptr; // "Mal/Hizmet Ekle"
    QPushButton* m_command8 = nullptr; // "VERGİ EKLE"
    MailPanel* m_mailPanel = nullptr;

    // State.
    CompanySettings m_settings;
    QString m_kdvMatStr;
    QString m_yazTopStr;
    money::Kurus m_checkTotal = 0;
    QStringList m_countries;
    QList<QDate> m_invoiceDates;
    // The portal number and ETTN of the invoice on screen once its upload was confirmed; a new
    // invoice (other lines, type or company) drops them.
    QString m_uploadedNumber;
    QString m_uploadedEttn;
    // The saved workbook the invoice on screen was loaded from; dropped with its lines.
    QString m_sourceWorkbook;

    // Windows created on first use.
    std::unique_ptr<AboutWindow> m_about;
    std::unique_ptr<LineEditorWindow> m_lineEditor;
    std::unique_ptr<TaxesDialog> m_taxes;
    std::unique_ptr<ReturnReferencesWindow> m_returns;
    std::unique_ptr<CustomerCardWindow> m_customerCard;
    // "Kapat" unloads the download window itself; the pointer then reads null.
    QPointer<DownloadWindow> m_download;
    // The month summary reads the company's files afresh at each opening.
    QPointer<summary::SummaryWindow> m_summary;
};

} // namespace tavlix
