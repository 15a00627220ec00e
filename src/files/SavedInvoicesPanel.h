// "Kayıtlı Faturalar" (Frame1): the company folder's saved invoice workbooks (List1), the one the
// user clicked last, and the file buttons "Excel Yükle", "Excel Kaydet", "Excel Aç", "Excel SiL"
// and "e-Mail Gönder". The list follows its folder on disk. The main window only wires it to the
// invoice through SavedInvoicesHost.
#pragma once

#include "files/InvoiceImport.h"
#include "invoice/InvoiceRecord.h"

#include <QGroupBox>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tavlix::files {

class SavedInvoiceWatch;

// What the panel needs of the invoice it stands beside.
struct SavedInvoicesHost {
    std::function<bool()> typeChosen;           // the file buttons need an invoice type
    std::function<InvoiceRecord()> invoice;     // "Excel Kaydet" saves it
    std::function<ImportTarget()> importTarget; // "Excel Yükle" imports for it …
    std::function<void(const QList<QStringList>&)> takeLines; // … and hands the lines over
    std::function<void(const QString& file)> openMail;        // "e-Mail Gönder"
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
    // The mail panel went away: the list's selection is taken again.
    void reselect();

signals:
    // Opening a file hands the desktop to another program: the main window steps back.
    void handingToOtherProgram();

private:
    void listChanged(const QStringList& names); // the folder changed on disk
    void setFileButtons(bool enabled); // "Excel Yükle", "Excel SiL", "Excel Aç", "e-Mail Gönder"
    void message(const QString& text);

    SavedInvoicesHost m_host;
    SavedInvoiceWatch* m_watch = nullptr;
    QLabel* m_label12 = nullptr;        // folder caption
    QLineEdit* m_dir1 = nullptr;        // the folder the list shows
    QListWidget* m_list1 = nullptr;     // saved invoice workbooks
    QPushButton* m_command3 = nullptr;  // "Excel Yükle"
    QPushButton* m_command9 = nullptr;  // "Excel Kaydet"
    QPushButton* m_command11 = nullptr; // "Excel Aç"
    QPushButton* m_command10 = nullptr; // "Excel SiL"
    QPushButton* m_command15 = nullptr; // "e-Mail Gönder"
    QString m_companyFolder;
    QString m_currentFile; // the saved invoice clicked last: folder + "/" + name
};

} // namespace tavlix::files
