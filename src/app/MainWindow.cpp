#include "app/MainWindow.h"

#include "app/AboutWindow.h"
#include "app/CompanyData.h"
#include "app/MainWindowTexts.h"
#include "app/RadioPanel.h"
#include "app/Version.h"
#include "browser/SessionProcesses.h"
#include "customers/CustomerCardWindow.h"
#include "files/InvoiceImport.h"
#include "files/InvoiceWorkbook.h"
#include "files/SavedInvoicesPanel.h"
#include "invoice/HeaderRules.h"
#include "invoice/InvoiceType.h"
#include "invoice/LeaveField.h"
#include "invoice/LineList.h"
#include "invoice/ReturnReferencesWindow.h"
#include "invoice/TaxesDialog.h"
#include "invoice/Totals.h"
#include "lines/LineEditorWindow.h"
#include "mail/MailPanel.h"
#include "platform/OpenForUser.h"
#include "platform/ProgramFolder.h"
#include "platform/TurkishText.h"
#include "portal/InvoiceUpload.h"
#include "portal/PortalShortcuts.h"
#include "received/DownloadWindow.h"
#include "store/DataImport.h"
#include "store/DataWorkbook.h"
#include "store/FolderTree.h"
#include "summary/SummaryWindow.h"
#include "update/UpdateCheck.h"
#include "update/UpdateInstall.h"
#include "widgets/ButtonColours.h"
#include "widgets/CapitalRowsView.h"
#include "widgets/MessageBoxPrompt.h"
#include "widgets/NamedControl.h"
#include "widgets/PlacedWindow.h"
#include "widgets/ReportModel.h"
#include "widgets/ReportView.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QTime>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tavlix {

using namespace colours;

namespace {

using mainwindow::kNoCompany;
using mainwindow::kNoType;
using mainwindow::kTurkishLira;
using mainwindow::setBoxText;

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent) {
    setObjectName(u"Form1"_s);
    setWindowTitle(u"Tavlix"_s);
    m_lines = new ReportModel(this);
    m_totals = new ReportModel(this);
    buildUi();
    buildMenus();
    wireEvents();
    // Every box shows its whole text, whichever part of the program raises it.
    fitEveryMessageBox();
}

MainWindow::~MainWindow() = default;

void MainWindow::wireEvents() {
    for (QObject* watched :
         std::initializer_list<QObject*>{m_label8, m_label9, m_label10, m_label19, m_surface})
        watched->installEventFilter(this);
    // A real change of company or type empties the lines: with lines, the user says so first.
    const auto mayEmptyLines = [this](const QString& question) {
        return [this, question] {
            return m_lines->rowTotal() == 0 || MessageBoxPrompt(this).ask(question, u"Tavlix"_s);
        };
    };
    onLeaveChanged(
        m_combo4, [this] { companySelected(); },
        mayEmptyLines(u"Firma değişirse fatura satırları silinecek. Devam edilsin mi?"_s));
    onLeaveChanged(
        m_combo1, [this] { invoiceTypeChosen(); },
        mayEmptyLines(u"Fatura türü değişirse fatura satırları silinecek. Devam edilsin mi?"_s));
    onLeaveField(m_combo2, [this] { currencyChosen(); });
    onLeaveField(m_combo3, [this] { customerChosen(); });
    onLeaveField(m_combo5, [this] { invoiceDateChosen(); });
    onLeaveField(m_combo6, [this] { dispatchDateChosen(); });

    auto* central = m_surface;
    connect(central->findChild<QPushButton*>(u"Command1"_s), &QPushButton::clicked, this,
            &MainWindow::dbOpen);
    connect(central->findChild<QPushButton*>(u"Command2"_s), &QPushButton::clicked, qApp,
            &QApplication::quit, Qt::QueuedConnection);
    connect(central->findChild<QPushButton*>(u"Command4"_s), &QPushButton::clicked, this,
            &MainWindow::showCustomerCard);
    connect(central->findChild<QPushButton*>(u"Command6"_s), &QPushButton::clicked, this,
            &MainWindow::showDownloadWindow);
    wirePortalButtons();
    connect(m_command5, &QPushButton::clicked, this, &MainWindow::showReturnWindow);
    connect(m_command7, &QPushButton::clicked, this, &MainWindow::showLineEditor);
    connect(m_command8, &QPushButton::clicked, this, &MainWindow::showTaxesDialog);
    connect(m_savedInvoices, &files::SavedInvoicesPanel::handingToOtherProgram, this,
            &QWidget::lower);
    connect(m_mailPanel, &MailPanel::closed, m_savedInvoices, &files::SavedInvoicesPanel::reselect);
    connect(m_text19, &QLineEdit::textChanged, this, &MainWindow::filterCustomerSearch);
    connect(m_list3, &QListWidget::itemDoubleClicked, this, &MainWindow::takeSearchResult);
    connect(m_listView1, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { lineClicked(index.row()); });
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == m_label8) {
            m_combo5->setVisible(true);
            m_text8->setVisible(false);
        } else if (watched == m_label10) {
            m_combo6->setVisible(true);
            m_text10->setVisible(false);
        } else if (watched == m_label9) {
            m_text9->setText(QTime::currentTime().toString(u"hh:mm:ss"_s));
        } else if (watched == m_label19) {
            openCustomerSearch();
        }
    } else if (event->type() == QEvent::MouseButtonPress && watched == m_surface) {
        // A click on the bare surface brings up the radio panel.
        m_frame10->bringUp();
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // This window is the program: its other windows close with it and the program ends.
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w != this && w->isVisible())
            w->close();
    }
    QMainWindow::closeEvent(event);
    QCoreApplication::quit();
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!m_placed && !event->spontaneous()) {
        m_placed = true;
        fitToScreen(*this);
    }
}

// ---- Start-up ---------------------------------------------------------------------------------

bool MainWindow::startUp() {
    // An installed Tavlix keeps the user's files in the documents folder, never beside itself.
    if (const auto usable = prepareProgramDir(programDir()); !usable) {
        showMessage(QMessageBox::Critical, usable.message());
        return false;
    }
    if (!QFileInfo::exists(updaterPath())) {
        showMessage(QMessageBox::Warning,
                    u"Programa devam edebilmek için (TavlixUpdate)'nin Tavlix klasöründe "
                    u"bulunması gereklidir."_s);
        return false;
    }

    // What a crashed or killed run left: its browsers, drivers and browser folders.
    browser::sweepLeftoverSessions(QDir::tempPath());

    // The folders the program keeps its files in; made here when a fresh folder lacks them.
    for (const QString& dir : {programDir() + u"/Data"_s, companiesDir(), programFilesDir()})
        QDir().mkpath(dir);

    // A Tavlix the updater started again after a failed update says why; its children don't.
    if (const QString told = qEnvironmentVariable(kUpdateMessageVariable); !told.isEmpty()) {
        qunsetenv(kUpdateMessageVariable);
        showMessage(QMessageBox::Warning, told);
    }

    MessageBoxPrompt updatePrompt(this);
    update::UpdateCheck update(
        update::UpdateSettings::fromEnvironment(programDir(), kVersionNumber), updatePrompt);
    if (update.indirOku() == update::UpdateOutcome::UpdaterStarted)
        return false;

    m_savedInvoices->showFolder(companiesDir(), false);
    m_savedInvoices->setVisible(true);
    m_savedInvoices->setImportEnabled(false);

    if (!QFileInfo::exists(dataWorkbookPath())) {
        showMessage(QMessageBox::Information,
                    u"Veritabanı bulunamadı. Yeni bir DATA.xlsx oluşturulacak."_s);
        if (const auto created = store::createDataWorkbook(dataWorkbookPath()); !created) {
            showMessage(QMessageBox::Critical, created.message());
            return false;
        }
        store::markFreshDataWorkbook(programDir());
    }

    const auto data = readStartUpData(dataWorkbookPath(), lastCompanyColumn());
    if (!data) {
        showMessage(QMessageBox::Critical,
                    u"DATA.xlsx okunamadı, program kapatılacak.\n"_s + data.message());
        return false;
    }
    if (data->singleMode) {
        setBoxText(m_combo4, data->mainCompany);
        m_text1->setText(u"2"_s);
        m_combo4->setEnabled(false);
        // The selection ends early without the company's folder: make it first, or the very
        // first start would load no notes and leave no invoice type to choose.
        checkNewUser();
        companySelected();
    } else {
        setBoxText(m_combo4, kNoCompany);
        m_combo4->addItems(data->companies);
        setBoxText(m_combo4, kNoCompany);
        checkNewUser();
    }
    m_combo1->addItems(data->invoiceTypes);
    setBoxText(m_combo1, kNoType);
    m_combo2->addItems(data->currencies);
    setBoxText(m_combo2, kTurkishLira);
    m_countries = data->countries;

    temelfatura();

    m_invoiceDates = invoiceDates(today());
    m_combo5->clear();
    for (const QDate& d : m_invoiceDates)
        m_combo5->addItem(shortDateText(d));
    return true;
}

void MainWindow::checkNewUser() {
    QStringList companies;
    for (int i = 0; i < m_combo4->count(); ++i)
        companies << m_combo4->itemText(i);
    if (m_combo4->count() == 0 && !m_combo4->isEnabled())
        companies << m_combo4->currentText(); // single mode: the main company only
    const store::FolderTreeReport report = store::checkNewUser(programDir(), companies);
    for (const QString& name : report.refusedNames)
        showMessage(QMessageBox::Warning,
                    u"\"%1\" firma adı klasör adı olarak kullanılamaz; bu firma için klasör "
                    u"oluşturulmadı."_s.arg(name));
    for (const QString& folder : report.failedFolders)
        showMessage(QMessageBox::Warning, u"Klasör oluşturulamadı: %1"_s.arg(folder));
}

void MainWindow::dbOpen() {
    if (const auto opened = openForUser(dataWorkbookPath()); !opened)
        showMessage(QMessageBox::Warning, opened.message());
}

// ---- Company selection ------------------------------------------------------------------------

void MainWindow::companySelected() {
    // The header empties with the company's new text, not at each key: "Hayır" keeps it whole.
    clearHeaderFields();
    m_lines->clearRows();
    m_totals->clearRows();
    m_list2->clear();
    m_combo3->clear();
    m_kdvMatStr.clear();
    if (m_returns)
        m_returns->clearForCompanySelection();

    const QString company = m_combo4->currentText();
    const auto data = readCompanySelection(dataWorkbookPath(), company, lastCompanyColumn());
    if (!data) {
        showMessage(QMessageBox::Warning, data.message());
        return;
    }
    if (data->settings) {
        m_settings = *data->settings;
        m_user->setText(m_settings.portalUser);
        m_pass->setText(m_settings.portalPassword);
    }
    m_combo3->addItems(data->customers);
    m_combo3->setEditText(QString());
    m_list2->addItems(data->customers);
    m_text600->setText(footnoteText());

    const Result<QString> safe = companyFolderFor(company);
    if (!safe) {
        // A typed "../x" reaches no path: nothing is listed, and the saves find no folder.
        m_savedInvoices->showFolder(QString());
        if (!safe.message().isEmpty())
            showMessage(QMessageBox::Warning, safe.message());
        return;
    }
    const QString folder = *safe;
    m_savedInvoices->showFolder(folder);
    if (!QFileInfo(folder).isDir())
        return;

    clearHeaderFields();
    disableFileAndEditingButtons();
    m_command5->setVisible(false);
    m_label20->setText(u"0"_s);
    m_label20->setVisible(false);
    setTypeText(kNoType);
    setNotes(footnoteText());
}

QString MainWindow::footnoteText() const {
    return u"• "_s + m_settings.userNot1 + u"\r\n• "_s + m_settings.userNot2 + u"\r\n• "_s +
           m_settings.userNot3 + u"\r\n"_s;
}

void MainWindow::enableEditingButtons() {
    for (QPushButton* b : {m_command7, m_command8})
        b->setEnabled(true);
    m_savedInvoices->setSaveEnabled(true);
    setBackColour(m_command8, kLightGreen);
    setBackColour(m_command7, kLightGreen);
}

void MainWindow::disableFileAndEditingButtons() {
    for (QPushButton* b : {m_command7, m_command8}) {
        b->setEnabled(false);
        setBackColour(b, kWhite);
    }
    m_savedInvoices->disableForNewCompany();
}

QString MainWindow::currentSavedInvoice() const {
    return m_savedInvoices->currentFile();
}

// ---- Invoice header ---------------------------------------------------------------------------

void MainWindow::clearHeaderFields() {
    for (QLineEdit* f : {m_text2, m_text3, m_text4, m_text5, m_uunvan, m_aad, m_ssoyad, m_text7,
                         m_text8, m_text9, m_text10, m_text11, m_text19})
        f->clear();
    m_text6->clear();
}

void MainWindow::temelfatura() {
    tavlix::temelfatura(*m_lines);
}

void MainWindow::invoiceTypeChosen() {
    m_lines->clearRows();
    m_totals->clearRows();
    m_text9->clear();
    m_text11->clear();
    takeShownDates();
    m_kdvMatStr.clear();
    m_yazTopStr.clear();
    m_amountWords->clear();
    setNotes(footnoteText());

    if (turkishUpper(m_settings.bookKeepingType) == u"S"_s) {
        showMessage(QMessageBox::Warning, u"Bu belge türü Mükellefiyetinize uygun değildir !"_s);
        setTypeText(kNoType);
        return;
    }
    if (m_combo1->currentText() != kNoType)
        enableEditingButtons();

    const int type = invoiceTypeIndex();
    if (!isKnownInvoiceType(type))
        return;
    m_command5->setVisible(showsReturnReferences(type));
    m_label20->setVisible(showsReturnReferences(type));
    applyInvoiceType(*m_lines, type);
}

void MainWindow::currencyChosen() {
    if (m_combo2->currentText() != kTurkishLira) {
        m_text7->setEnabled(true);
        const QColor tip = palette().color(QPalette::ToolTipBase);
        m_label7->setStyleSheet(u"color: %1;"_s.arg(tip.name()));
        setBackColour(m_text7, tip);
    } else {
        m_text7->clear();
        m_text7->setEnabled(false);
        setBackColour(m_text7, palette().color(QPalette::Mid));
        m_label7->setStyleSheet(u"color: black;"_s);
    }
}

void MainWindow::customerChosen() {
    const QString name = m_combo3->currentText();
    if (name.isEmpty())
        return;
    m_combo3->setEnabled(false);
    m_combo4->setEnabled(false);
    const auto customer = lookUpCustomer(dataWorkbookPath(), name);
    if (!customer) {
        showMessage(QMessageBox::Warning, customer.message());
        return;
    }
    if (const std::optional<CustomerFields>& c = customer.value()) {
        m_uunvan->setText(c->name); // the card's own name, for the upload's buyer check
        m_text2->setText(c->address);
        m_text12->setText(c->country);
        m_text3->setText(c->taxOffice);
        m_text4->setText(c->taxNumber);
        m_text5->setText(c->email);
    }
}

void MainWindow::invoiceDateChosen() {
    const int k = m_combo5->currentIndex();
    if (k < 0 || k >= m_invoiceDates.size())
        return;
    m_text8->setText(dateText(m_invoiceDates.at(k)));
    m_text10->clear();
    m_combo5->setVisible(false);
    m_text8->setVisible(true);
    m_text8->setEnabled(false);
    m_combo6->clear();
    for (const QDate& d : dispatchDates(today(), k))
        m_combo6->addItem(shortDateText(d), d);
    m_combo6->setCurrentIndex(-1); // no dispatch date until the user picks one
}

void MainWindow::takeShownDates() {
    const int k = m_combo5->currentIndex();
    m_text8->setText(k >= 0 && k < m_invoiceDates.size() ? dateText(m_invoiceDates.at(k))
                                                         : QString());
    const QDate dispatch = m_combo6->currentData().toDate();
    m_text10->setText(dispatch.isValid() ? dateText(dispatch) : QString());
}

void MainWindow::dispatchDateChosen() {
    const QDate d = m_combo6->currentData().toDate();
    if (!d.isValid())
        return;
    m_text10->setText(dateText(d));
    m_combo6->setVisible(false);
    m_text10->setVisible(true);
    m_text10->setEnabled(false);
}

void MainWindow::openCustomerSearch() {
    m_list3->setVisible(true);
    m_text19->setEnabled(true);
    m_combo3->setEnabled(true);
    m_combo4->setEnabled(true);
    m_combo3->clear();
    clearHeaderFields();
    if (invoiceTypeIndex() >= 0)
        takeShownDates();
}

void MainWindow::filterCustomerSearch(const QString& text) {
    QStringList names;
    for (int i = 0; i < m_list2->count(); ++i)
        names << m_list2->item(i)->text();
    m_list3->clear();
    m_list3->addItems(filterCustomerNames(names, text));
}

void MainWindow::takeSearchResult(QListWidgetItem* item) {
    if (!item)
        return;
    const QString name = item->text();
    m_combo3->setEditText(name);
    m_text19->setText(name);
    m_list3->setVisible(false);
    m_text19->setEnabled(false);
    customerChosen();
}

void MainWindow::lineClicked(int row) {
    if (row < 0 || row >= m_lines->rowTotal())
        return;
    if (showMessageBox(QMessageBox::Question, u"Tavlix"_s, deleteLineQuestion(row + 1),
                       QMessageBox::Yes | QMessageBox::No, this,
                       QMessageBox::No) != QMessageBox::Yes)
        return;
    deleteLineAndRenumber(*m_lines, row);
    yekunal();
}

void MainWindow::yekunal() {
    TotalsInput input;
    input.typeIndex = invoiceTypeIndex();
    input.typeText = invoiceTypeText();
    input.userNot1 = m_settings.userNot1;
    input.userNot2 = m_settings.userNot2;
    input.userNot3 = m_settings.userNot3;
    const TotalsResult result = tavlix::yekunal(*m_lines, input);
    if (result.typeSelected)
        writeTotalsRows(*m_totals, result);
    m_kdvMatStr = result.kdvMatStr;
    m_yazTopStr = result.yazTopStr;
    m_amountWords->setText(result.typeSelected ? result.spokenTotal : QString());
    m_checkTotal = result.checkTotal;
    setNotes(result.notes);
}

// ---- Other windows ----------------------------------------------------------------------------

void MainWindow::showAbout() {
    if (!m_about)
        m_about = std::make_unique<AboutWindow>();
    closeOnEscape(*m_about);
    m_about->setDataFolder(QFileInfo(dataWorkbookPath()).absolutePath());
    placeOver(*m_about, this);
    m_about->showVersion();
}

namespace {

// A window is made on first use and afterwards only shown again, so its state lives on.
template <typename Window> void showOwned(std::unique_ptr<Window>& window, MainWindow& host) {
    if (!window)
        window = std::make_unique<Window>(host);
    showPlaced(*window, &host);
}

} // namespace

void MainWindow::showLineEditor() {
    showOwned(m_lineEditor, *this);
}

void MainWindow::showTaxesDialog() {
    showOwned(m_taxes, *this);
}

void MainWindow::showReturnWindow() {
    showOwned(m_returns, *this);
}

void MainWindow::showCustomerCard() {
    showOwned(m_customerCard, *this);
}

void MainWindow::showDownloadWindow() {
    if (!m_download)
        m_download = new DownloadWindow(*this, programDir(), this);
    showPlaced(*m_download, this);
    m_download->raise();
}

void MainWindow::showSummaryWindow() {
    if (m_summary)
        m_summary->close(); // closing deletes it: each opening reads the files as they are now
    QStringList companies;
    for (int i = 0; i < m_combo4->count(); ++i)
        companies << m_combo4->itemText(i);
    m_summary = new summary::SummaryWindow(programDir(), companies, companyName(), today(), this);
    m_summary->setAttribute(Qt::WA_DeleteOnClose);
    m_summary->setStateRefresh([this](const QString& company, const summary::Month& month) {
        refreshPortalStates(company, month.year, month.month);
    });
    showPlaced(*m_summary, this);
    m_summary->raise();
}

// ---- Helpers ----------------------------------------------------------------------------------

void MainWindow::showMessage(int icon, const QString& text) {
    showMessageBox(static_cast<QMessageBox::Icon>(icon), u"Tavlix"_s, text, QMessageBox::Ok,
                   isVisible() ? this : nullptr);
}

void MainWindow::setTypeText(const QString& text) {
    setBoxText(m_combo1, text);
}

void MainWindow::setNotes(const QString& text) {
    m_text6->setPlainText(text);
}

} // namespace tavlix
