#include "summary/SummaryWindow.h"

#include "summary/SummaryChartView.h"
#include "summary/SummaryExport.h"
#include "widgets/MessageBoxPrompt.h"
#include "widgets/NamedControl.h"
#include "widgets/ReportModel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tavlix::summary {

namespace {

// Reading time between two paints of the window: a paint redraws the tables and the chart, so a
// step of a few files would spend more time painting than reading.
constexpr int kStepMilliseconds = 40;

QList<ColumnSpec> columns(const QStringList& headers) {
    QList<ColumnSpec> specs;
    for (qsizetype i = 0; i < headers.size(); ++i)
        specs << ColumnSpec{headers.at(i), i == 0 ? Qt::AlignLeft : Qt::AlignRight, 1800};
    return specs;
}

QTableView* tableOver(const QString& name, ReportModel* model, QWidget* parent) {
    auto* view = named<QTableView>(name, parent);
    view->setModel(model);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    view->horizontalHeader()->setStretchLastSection(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return view;
}

} // namespace

SummaryWindow::SummaryWindow(QString programDir, const QStringList& companies,
                             const QString& company, const QDate& today, QWidget* parent)
    : QWidget(parent)
    , m_programDir(std::move(programDir))
    , m_months(summaryMonths(today)) {
    setWindowFlag(Qt::Window);
    setObjectName(u"FormOzet"_s);
    setWindowTitle(u"Aylık Özet"_s);

    m_company = named<QComboBox>(u"cmbFirma"_s, this);
    m_company->addItems(companies);
    m_company->setCurrentIndex(std::max(0, static_cast<int>(companies.indexOf(company))));
    m_month = named<QComboBox>(u"cmbAy"_s, this);
    for (const Month& m : std::as_const(m_months))
        m_month->addItem(m.title());
    m_progress = named<QProgressBar>(u"prgOkuma"_s, this);
    m_status = named<QLabel>(u"lblDurum"_s, this);

    m_salesModel = new ReportModel(this);
    m_salesModel->setColumns(
        columns({u"Fatura Türü"_s, u"KDV Oranı"_s, u"Fatura Sayısı"_s, u"Matrah"_s, u"KDV"_s,
                 u"Tevkif Edilen KDV"_s, u"Diğer Vergiler"_s}));
    m_purchaseModel = new ReportModel(this);
    m_purchaseModel->setColumns(columns({u"Para Birimi"_s, u"Fatura Sayısı"_s, u"Toplam Tutar"_s,
                                         u"Vergiler Toplamı"_s, u"Ödenecek Tutar"_s}));
    auto* salesFrame = named<QGroupBox>(u"frmSatis"_s, u"Satışlar"_s, this);
    m_salesView = tableOver(u"tblSatis"_s, m_salesModel, salesFrame);
    (new QVBoxLayout(salesFrame))->addWidget(m_salesView);
    auto* purchaseFrame = named<QGroupBox>(u"frmAlis"_s, u"Alışlar (e-Arşiv)"_s, this);
    m_purchaseView = tableOver(u"tblAlis"_s, m_purchaseModel, purchaseFrame);
    (new QVBoxLayout(purchaseFrame))->addWidget(m_purchaseView);

    m_notes = named<QLabel>(u"lblNotlar"_s, this);
    m_notes->setWordWrap(true);
    m_notes->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_chart = new SummaryChartView(this);
    m_export = named<QPushButton>(u"cmdAktar"_s, u"Excel'e Aktar"_s, this);
    m_refreshButton =
        named<QPushButton>(u"cmdPortalDurum"_s, u"Portal Durumlarını Güncelle"_s, this);
    m_close = named<QPushButton>(u"cmdKapat"_s, u"Kapat"_s, this);

    auto* choice = new QHBoxLayout;
    choice->addWidget(named<QLabel>(u"lblFirma"_s, u"Firma"_s, this));
    choice->addWidget(m_company, 1);
    choice->addWidget(named<QLabel>(u"lblAy"_s, u"Dönem"_s, this));
    choice->addWidget(m_month);
    choice->addWidget(m_progress);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_status, 1);
    buttons->addWidget(m_refreshButton);
    buttons->addWidget(m_export);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choice);
    layout->addWidget(salesFrame, 2);
    layout->addWidget(purchaseFrame, 1);
    layout->addWidget(m_notes);
    layout->addWidget(m_chart, 2);
    layout->addLayout(buttons);

    m_timer = new QTimer(this);
    m_timer->setInterval(0);
    connect(m_timer, &QTimer::timeout, this, &SummaryWindow::readStep);
    connect(m_company, &QComboBox::activated, this, &SummaryWindow::companyChosen);
    connect(m_month, &QComboBox::activated, this, &SummaryWindow::monthChosen);
    connect(m_export, &QPushButton::clicked, this, &SummaryWindow::exportClicked);
    connect(m_refreshButton, &QPushButton::clicked, this, &SummaryWindow::refreshClicked);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_chart, &SummaryChartView::hovered, m_status, &QLabel::setText);

    resize(980, 760);
    startReading();
}

SummaryWindow::~SummaryWindow() = default;

bool SummaryWindow::reading() const {
    return m_timer->isActive();
}

Month SummaryWindow::currentMonth() const {
    const int i = std::max(0, m_month->currentIndex());
    return i < m_months.size() ? m_months.at(i) : Month{};
}

void SummaryWindow::companyChosen() {
    startReading();
}

void SummaryWindow::monthChosen() {
    showSales();
    showPurchases();
    showNotes();
}

void SummaryWindow::startReading() {
    const QString company = m_company->currentText();
    const auto folder = salesXmlFolder(m_programDir, company);
    m_reader = std::make_unique<SalesFolderReader>(folder.value_or(QString()));
    m_states = approvalStates(m_programDir, company);
    m_export->setEnabled(false);
    m_refreshButton->setEnabled(false);
    m_progress->setRange(0, std::max(1, m_reader->total()));
    m_progress->setValue(0);
    m_status->setText(company.isEmpty() ? u"Firma seçilmedi."_s
                      : folder          ? QString()
                                        : u"Firma adı klasör adı olarak kullanılamaz."_s);
    showSales();
    showPurchases();
    showNotes();
    m_timer->start();
}

void SummaryWindow::readStep() {
    m_reader->readFor(kStepMilliseconds);
    m_progress->setValue(m_reader->done());
    showSales();
    if (!m_reader->finished()) {
        m_status->setText(
            u"Kesilen faturalar okunuyor: %1 / %2"_s.arg(m_reader->done()).arg(m_reader->total()));
        return;
    }
    m_timer->stop();
    m_progress->setRange(0, 1);
    m_progress->setValue(1);
    m_status->setText(u"%1 XML dosyası okundu."_s.arg(m_reader->total()));
    m_export->setEnabled(true);
    m_refreshButton->setEnabled(true);
    showNotes();
    emit readingFinished();
}

void SummaryWindow::showSales() {
    const Month month = currentMonth();
    m_sales = salesTable(m_reader->invoices(), month, m_states.byEttn);
    m_salesModel->setRows(salesTexts(m_sales));
    std::vector<MonthFigures> figures =
        lastTwelveMonths(m_reader->invoices(), month, m_states.byEttn);
    // The received bars come from the lists, read once per month choice (showPurchases).
    for (size_t i = 0; i < figures.size() && i < m_figures.size(); ++i) {
        if (figures[i].month == m_figures[i].month) {
            figures[i].receivedTaxes = m_figures[i].receivedTaxes;
            figures[i].receivedForeign = m_figures[i].receivedForeign;
        }
    }
    m_figures = figures;
    m_chart->setFigures(m_figures);
}

void SummaryWindow::showPurchases() {
    const QString company = m_company->currentText();
    m_purchases = purchaseTable(m_programDir, company, currentMonth());
    m_purchaseModel->setRows(purchaseTexts(m_purchases));
    addReceivedTaxes(m_figures, m_programDir, company);
    m_chart->setFigures(m_figures);
}

void SummaryWindow::showNotes() {
    const bool read = m_reader->finished();
    QStringList notes;
    if (!read)
        notes << u"Kesilen faturalar okunuyor…"_s;
    if (!m_states.error.isEmpty())
        notes << m_states.error;
    notes << summaryNotes(m_sales, m_purchases, read ? m_reader->unreadable() : QStringList(),
                          read);
    m_notes->setText(notes.join(u'\n'));
    m_notes->setToolTip(plainToolTip(m_reader->reasons().join(u'\n')));
}

void SummaryWindow::exportClicked() {
    if (reading())
        return;
    MessageBoxPrompt prompt(this);
    exportSummary(m_programDir, m_company->currentText(), currentMonth(), m_sales, m_purchases,
                  prompt);
}

void SummaryWindow::refreshClicked() {
    if (reading() || !m_refresh)
        return;
    const QString company = m_company->currentText();
    m_refresh(company, currentMonth());
    m_states = approvalStates(m_programDir, company);
    showSales();
    showNotes();
}

} // namespace tavlix::summary
