// The main window's controls and their layout: the header, customer, saved-invoice and button
// rows, the line and totals lists, the notes, the radio panel and the menus. The handlers are in
// MainWindow.cpp.
#include "app/MainWindow.h"

#include "app/MainMenuView.h"
#include "app/MainWindowTexts.h"
#include "app/RadioPanel.h"
#include "app/Version.h"
#include "files/SavedInvoicesPanel.h"
#include "invoice/InvoiceType.h"
#include "invoice/TaxColumns.h"
#include "mail/MailPanel.h"
#include "platform/ProgramFolder.h"
#include "store/DataImport.h"
#include "widgets/ButtonColours.h"
#include "widgets/CapitalRowsView.h"
#include "widgets/DropDownListView.h"
#include "widgets/NamedControl.h"
#include "widgets/ReportModel.h"
#include "widgets/ReportView.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tavlix {

using namespace colours;
using namespace mainwindow;

namespace {

// The surface's layout. The scroll area sizes a widget whose layout has height-for-width (a
// wrapped label) to its preferred height, taller than the window; without it, to the
// window's height and no less than the least height.
class SurfaceLayout : public QVBoxLayout {
public:
    using QVBoxLayout::QVBoxLayout;
    bool hasHeightForWidth() const override { return false; }
};

// The totals of the plainest invoice (goods, discounts, VAT, "GENEL TOPLAM"); the list keeps room
// for more as they come.
constexpr int kTotalsRowsShown = 4;

// Gives `column` of `row` more of the width while `shown` is on screen.
class WidenWhileShown : public QObject {
public:
    WidenWhileShown(QWidget* shown, QBoxLayout* row, QWidget* column, int stretch)
        : QObject(shown)
        , m_row(row)
        , m_column(column)
        , m_stretch(stretch)
        , m_normal(row->stretch(row->indexOf(column))) {
        shown->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show || event->type() == QEvent::Hide)
            m_row->setStretchFactor(m_column, event->type() == QEvent::Show ? m_stretch : m_normal);
        return false;
    }

private:
    QBoxLayout* m_row;
    QWidget* m_column;
    int m_stretch;
    int m_normal;
};

QPushButton* button(const QString& name, const QString& caption, QWidget* parent) {
    return named<QPushButton>(name, caption, parent);
}

// An editable box whose text the program sets ("Fatura Türü Seçin") but the user only picks.
QComboBox* pickBox(const QString& name, QWidget* parent) {
    auto* box = named<QComboBox>(name, parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->lineEdit()->setReadOnly(true);
    return box;
}

QLineEdit* field(const QString& name, QWidget* parent) {
    return named<QLineEdit>(name, parent);
}

QLabel* label(const QString& name, const QString& caption, QWidget* parent) {
    return named<QLabel>(name, caption, parent);
}

} // namespace

void MainWindow::buildUi() {
    // The surface scrolls as a whole on a screen too small for it, rather than squeezing away
    // the totals.
    auto* scroll = named<QScrollArea>(u"centralScroll"_s, this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    setCentralWidget(scroll);
    auto* central = new QWidget(scroll);
    central->setObjectName(u"centralSurface"_s);
    m_surface = central;
    auto* layout = new SurfaceLayout(central);

    auto* top = new QHBoxLayout;
    m_combo4 = pickBox(u"Combo4"_s, central);
    m_combo4->lineEdit()->setReadOnly(false);
    m_combo4->setMinimumWidth(260);
    setBoxText(m_combo4, kNoCompany);
    m_text1 = field(u"Text1"_s, central);
    m_text1->setText(u"21"_s);
    m_text1->setVisible(false);
    m_label21 = label(u"Label21"_s, u"Versiyon "_s + versionText(), central);
    top->addWidget(new QLabel(u"Firma"_s, central));
    top->addWidget(m_combo4);
    top->addWidget(m_text1);
    top->addStretch(1);
    top->addWidget(m_label21);
    top->addWidget(button(u"Command1"_s, u"VERİ TABANI"_s, central));
    top->addWidget(button(u"Command2"_s, u"ÇIKIŞ"_s, central));
    layout->addLayout(top);

    auto* middle = new QHBoxLayout;
    middle->addWidget(buildHeader(), 3);
    QWidget* customer = buildCustomer();
    middle->addWidget(customer, 4);
    QWidget* files = buildFiles();
    middle->addWidget(files, 3);
    layout->addLayout(middle);
    layout->addWidget(buildButtons());

    auto* linesFrame = new QGroupBox(u"Fatura Satırları"_s, central);
    auto* linesLayout = new QVBoxLayout(linesFrame);
    m_listView1 = named<ReportView>(u"ListView1"_s, linesFrame);
    m_listView1->setReportModel(m_lines);
    linesLayout->addWidget(m_listView1);
    layout->addWidget(linesFrame, 3);

    auto* bottom = new QHBoxLayout;
    auto* notesFrame = new QGroupBox(u"Not"_s, central);
    auto* notesLayout = new QVBoxLayout(notesFrame);
    m_text6 = named<QPlainTextEdit>(u"Text6"_s, notesFrame);
    notesLayout->addWidget(m_text6);
    auto* totalsFrame = new QGroupBox(u"Toplamlar"_s, central);
    auto* totalsLayout = new QVBoxLayout(totalsFrame);
    m_listView2 = named<ReportView>(u"ListView2"_s, totalsFrame);
    m_listView2->setReportModel(m_totals);
    m_listView2->setMinimumVisibleRows(kTotalsRowsShown);
    totalsLayout->addWidget(m_listView2);
    // The notes carry the words joined as the portal takes them; here they read with blanks.
    m_amountWords = label(u"LabelAmountWords"_s, QString(), totalsFrame);
    m_amountWords->setWordWrap(true);
    m_amountWords->setTextInteractionFlags(Qt::TextSelectableByMouse);
    totalsLayout->addWidget(m_amountWords);
    bottom->addWidget(notesFrame, 3);
    bottom->addWidget(totalsFrame, 2);
    layout->addLayout(bottom, 2);
    buildRadioPanel(central);

    // The mail panel stands in for these buttons while it is open, and for the saved-invoice
    // list: its attachment is taken on opening, and the room keeps the window's height.
    QList<QWidget*> mailHides;
    for (const char16_t* name :
         {u"Command1", u"Command2", u"Command6", u"Command12", u"Command15", u"Command9",
          u"Command3", u"Command11", u"Command10", u"Command20", u"Command22"})
        mailHides << central->findChild<QPushButton*>(QString::fromUtf16(name));
    mailHides << m_savedInvoices->findChild<QTabWidget*>(u"FilesTabs"_s)
              << m_savedInvoices->findChild<QPushButton*>(u"CommandToplu"_s)
              << m_savedInvoices->findChild<QLabel*>(u"SaveStatus"_s);
    // The panel's message goes beside its fields, in the room of the customer's card (the
    // recipient is in the panel).
    mailHides << customer;
    m_mailPanel = new MailPanel(m_combo4, mailHides, m_savedInvoices);
    m_savedInvoices->layout()->addWidget(m_mailPanel);
    new WidenWhileShown(m_mailPanel, middle, files, 6);

    // Values the invoice keeps without showing them.
    m_text600 = field(u"Text600"_s, central);
    m_uunvan = field(u"uunvan"_s, central);
    m_aad = field(u"aad"_s, central);
    m_ssoyad = field(u"ssoyad"_s, central);
    m_user = field(u"user"_s, central);
    m_pass = field(u"pass"_s, central);
    m_pass->setEchoMode(QLineEdit::Password);
    m_text100 = field(u"Text100"_s, central);
    m_text200 = field(u"Text200"_s, central);
    m_list2 = named<QListWidget>(u"List2"_s, central);
    for (QWidget* hidden : std::initializer_list<QWidget*>{
             m_text600, m_uunvan, m_aad, m_ssoyad, m_user, m_pass, m_text100, m_text200, m_list2})
        hidden->setVisible(false);
    scroll->setWidget(central);
    keepCapitalsWhole(*central);
    keepEntriesWhole(*central);
    resize(1200, 860);
}

QWidget* MainWindow::buildHeader() {
    auto* box = new QGroupBox(u"Fatura"_s, this);
    auto* grid = new QGridLayout(box);
    m_combo1 = pickBox(u"Combo1"_s, box);
    setBoxText(m_combo1, kNoType);
    m_combo2 = pickBox(u"Combo2"_s, box);
    setBoxText(m_combo2, kTurkishLira);
    m_label7 = label(u"Label7"_s, u"Döviz Kuru "_s, box);
    m_text7 = field(u"Text7"_s, box);
    m_text7->setEnabled(false);
    m_label8 = label(u"Label8"_s, u"Fatura Tarihi"_s, box);
    m_text8 = field(u"Text8"_s, box);
    m_text8->setVisible(false);
    m_combo5 = named<QComboBox>(u"Combo5"_s, box);
    m_label9 = label(u"Label9"_s, u"Düzenleme Saati"_s, box);
    m_text9 = field(u"Text9"_s, box);
    m_label10 = label(u"Label10"_s, u"İrsaliye Tarihi "_s, box);
    m_text10 = field(u"Text10"_s, box);
    m_text10->setVisible(false);
    m_combo6 = named<QComboBox>(u"Combo6"_s, box);
    m_text11 = field(u"Text11"_s, box);
    for (QLabel* clickable : {m_label8, m_label9, m_label10})
        clickable->setCursor(Qt::PointingHandCursor);

    int row = 0;
    grid->addWidget(new QLabel(u"Fatura Türü"_s, box), row, 0);
    grid->addWidget(m_combo1, row++, 1, 1, 2);
    grid->addWidget(new QLabel(u"Para Birimi"_s, box), row, 0);
    grid->addWidget(m_combo2, row++, 1, 1, 2);
    grid->addWidget(m_label7, row, 0);
    grid->addWidget(m_text7, row++, 1, 1, 2);
    grid->addWidget(m_label8, row, 0);
    grid->addWidget(m_combo5, row, 1);
    grid->addWidget(m_text8, row++, 2);
    grid->addWidget(m_label9, row, 0);
    grid->addWidget(m_text9, row++, 1, 1, 2);
    grid->addWidget(m_label10, row, 0);
    grid->addWidget(m_combo6, row, 1);
    grid->addWidget(m_text10, row++, 2);
    grid->addWidget(label(u"Label11"_s, u"İrsaliye Seri-No"_s, box), row, 0);
    grid->addWidget(m_text11, row++, 1, 1, 2);
    grid->setRowStretch(row, 1);
    return box;
}

QWidget* MainWindow::buildCustomer() {
    auto* box = new QGroupBox(u"Alıcı Bilgileri"_s, this);
    auto* grid = new QGridLayout(box);
    m_label19 = label(u"Label19"_s, u"Satıcı"_s, box);
    m_label19->setCursor(Qt::PointingHandCursor);
    m_text19 = field(u"Text19"_s, box);
    m_text19->setEnabled(false);
    m_list3 = named<QListWidget>(u"List3"_s, box);
    m_list3->setVisible(false);
    m_combo3 = pickBox(u"Combo3"_s, box);
    m_combo3->lineEdit()->setReadOnly(false);
    m_text2 = field(u"Text2"_s, box);
    m_text12 = field(u"Text12"_s, box);
    m_text3 = field(u"Text3"_s, box);
    m_text4 = field(u"Text4"_s, box);
    m_text5 = field(u"Text5"_s, box);

    int row = 0;
    grid->addWidget(m_label19, row, 0);
    grid->addWidget(m_text19, row++, 1);
    grid->addWidget(m_list3, row++, 1);
    const std::pair<const char16_t*, QWidget*> rows[] = {
        {u"Alıcı", m_combo3},        {u"Alıcı Adresi ", m_text2}, {u"Ülke", m_text12},
        {u"Vergi Dairesi", m_text3}, {u"Vergi No", m_text4},      {u"Alıcı E-Mail", m_text5}};
    for (const auto& [caption, widget] : rows) {
        grid->addWidget(new QLabel(QString::fromUtf16(caption), box), row, 0);
        grid->addWidget(widget, row++, 1);
    }
    grid->setRowStretch(row, 1);
    return box;
}

QWidget* MainWindow::buildFiles() {
    m_savedInvoices = new files::SavedInvoicesPanel(this);
    files::SavedInvoicesHost host;
    host.typeChosen = [this] { return m_combo1->currentText() != kNoType; };
    host.invoice = [this] { return invoiceRecord(); };
    host.importTarget = [this] {
        // An invoice without lines takes the saved invoice's taxes along with its lines.
        const int type = invoiceTypeIndex();
        const bool fresh = m_lines->rowTotal() == 0 && isKnownInvoiceType(type);
        return files::ImportTarget{m_lines->headers(), invoiceTypeText(),
                                   fresh ? firstExtraTaxColumn(type) : -1};
    };
    host.takeLines = [this](const files::ImportedLines& imported) {
        if (imported.headers != m_lines->headers())
            taxes::arrangeColumns(*m_lines, imported.headers);
        m_lines->setRows(imported.rows);
        m_totals->clearRows();
        yekunal();
    };
    host.takeSavedType = [this](int type) { takeSavedType(type); };
    host.takeHeader = [this](const std::optional<InvoiceRecord>& header, const QString& file) {
        takeSavedHeader(header, file);
    };
    host.openMail = [this](const QString& file) { m_mailPanel->open(invoiceRecord(), file); };
    host.openIssuedMail = [this](const files::IssuedInvoice& issued) {
        const InvoiceRecord invoice = invoiceRecord();
        m_mailPanel->openIssued(
            invoice, mail::issuedInvoiceMail(invoice.company,
                                             {issued.number, issued.buyer, issued.taxNumber,
                                              issued.pdfPath, issued.htmlPath},
                                             dataWorkbookPath()));
    };
    host.refreshStates = [this](int year, int month) {
        refreshPortalStates(companyName(), year, month);
    };
    m_savedInvoices->setHost(std::move(host));
    return m_savedInvoices;
}

QWidget* MainWindow::buildButtons() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(button(u"Command4"_s, u"Yeni Müşteri"_s, row));
    m_command5 = button(u"Command5"_s, u"Alış Fatura Bilgileri"_s, row);
    m_command5->setVisible(false);
    layout->addWidget(m_command5);
    m_label20 = label(u"Label20"_s, u"0"_s, row);
    m_label20->setVisible(false);
    layout->addWidget(m_label20);
    m_command7 = button(u"Command7"_s, u"Mal/Hizmet Ekle"_s, row);
    m_command8 = button(u"Command8"_s, u"VERGİ EKLE"_s, row);
    for (QPushButton* b : {m_command7, m_command8}) {
        b->setEnabled(false);
        setBackColour(b, kWhite);
        layout->addWidget(b);
    }
    layout->addWidget(button(u"Command6"_s, u"Fatura İndir"_s, row));
    layout->addStretch(1);
    layout->addWidget(button(u"Command12"_s, u"e-Arşiv"_s, row));
    layout->addWidget(button(u"Command20"_s, u" e-Arşiv Taslak"_s, row));
    layout->addWidget(button(u"Command22"_s, u"İptal/İtiraz"_s, row));
    return row;
}

void MainWindow::buildRadioPanel(QWidget* surface) {
    // Over the surface's lower edge, outside its layout: it takes no room from the lists.
    m_frame10 = new RadioPanel(surface);
}

void MainWindow::buildMenus() {
    buildMenuBar(*this);
    // The month summary has no button of its own: an entry of "Raporlar" opens it.
    QMenu* reports = nullptr;
    for (QAction* entry : menuBar()->actions())
        if (entry->menu() && entry->text() == u"Raporlar"_s)
            reports = entry->menu();
    QAction* summary =
        (reports ? reports : menuBar()->addMenu(u"Raporlar"_s))->addAction(u"Aylık Özet"_s);
    summary->setObjectName(u"menuOzet"_s);
    connect(summary, &QAction::triggered, this, &MainWindow::showSummaryWindow);
    QMenu* definitions = nullptr;
    for (QAction* entry : menuBar()->actions())
        if (entry->menu() && entry->text() == u"Tanımlar"_s)
            definitions = entry->menu();
    if (!definitions)
        definitions = menuBar()->addMenu(u"Tanımlar"_s);
    QAction* keyring = definitions->addAction(u"Şifreleri Anahtarlığa Taşı"_s);
    keyring->setObjectName(u"menuAnahtarlik"_s);
    connect(keyring, &QAction::triggered, this, &MainWindow::movePasswordsToKeyring);
    // An installed Tavlix starts on an empty folder: the user's old one is brought along here.
    QAction* import = definitions->addAction(u"Verileri Başka Klasörden Al…"_s);
    import->setObjectName(u"menuVeriAl"_s);
    connect(import, &QAction::triggered, this, &MainWindow::importOtherFolder);
    QAction* about = menuBar()->addAction(u"Hakkında"_s);
    about->setObjectName(u"Hakkinda"_s);
    connect(about, &QAction::triggered, this, &MainWindow::showAbout);
}

void MainWindow::importOtherFolder() {
    QFileDialog dialog(this, u"Verilerin Alınacağı Tavlix Klasörü"_s, QDir::homePath());
    dialog.setObjectName(u"VeriAlKlasoru"_s);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const store::DataImportReport report =
        store::importProgramData(dialog.selectedFiles().constFirst(), programDir());
    showMessage(report.copied ? QMessageBox::Information : QMessageBox::Warning, report.message);
}

} // namespace tavlix
