#include "files/BulkUploadWindow.h"

#include "files/InvoiceWorkbook.h"
#include "files/SavedInvoiceLoad.h"
#include "portal/UploadJournal.h"
#include "widgets/MessageBoxPrompt.h"
#include "widgets/NamedControl.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tavlix::files {

namespace {

QString amount(const std::optional<money::Kurus>& kurus) {
    return kurus ? money::kurusText(*kurus) : QString();
}

QString duration(qint64 ms) {
    const qint64 s = (ms + 999) / 1000;
    return u"%1:%2"_s.arg(s / 60).arg(s % 60, 2, 10, QChar(u'0'));
}

} // namespace

BulkUploadWindow::BulkUploadWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_options(portal::defaultUploadOptions()) {
    setObjectName(u"FormToplu"_s);
    setWindowTitle(u"Toplu e-Arşiv"_s);
    auto* layout = new QVBoxLayout(this);

    m_list = named<QListWidget>(u"ListToplu"_s, this);
    layout->addWidget(m_list, 1);
    auto* choices = new QHBoxLayout;
    auto* all = named<QPushButton>(u"CommandHepsiniSec"_s, u"Hepsini Seç"_s, this);
    m_stopOnDifference = named<QCheckBox>(u"CheckFarkDur"_s, u"Fark çıkarsa dur"_s, this);
    m_stopOnDifference->setChecked(true);
    m_includeIssued = named<QCheckBox>(u"CheckYuklenmis"_s, u"Yüklenmiş olanları da yükle"_s, this);
    m_start = named<QPushButton>(u"CommandBaslat"_s, u"Başlat"_s, this);
    for (QWidget* w : std::initializer_list<QWidget*>{all, m_stopOnDifference, m_includeIssued})
        choices->addWidget(w);
    choices->addStretch(1);
    choices->addWidget(m_start);
    layout->addLayout(choices);

    auto* progress = new QHBoxLayout;
    m_progress = named<QProgressBar>(u"ProgressToplu"_s, this);
    m_progress->setFormat(u"%v / %m"_s);
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_left = named<QLabel>(u"LabelKalan"_s, this);
    progress->addWidget(m_progress, 1);
    progress->addWidget(m_left);
    layout->addLayout(progress);

    m_table = named<QTableWidget>(u"TableToplu"_s, this);
    const QStringList headers = portal::setTableHeaders().mid(0, 8);
    m_table->setColumnCount(int(headers.size()));
    m_table->setHorizontalHeaderLabels(headers);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(m_table, 2);
    auto* bottom = new QHBoxLayout;
    m_summaryLabel = named<QLabel>(u"LabelOzet"_s, this);
    m_summaryLabel->setTextFormat(Qt::PlainText);
    m_save = named<QPushButton>(u"CommandTabloKaydet"_s, u"Tabloyu Kaydet"_s, this);
    m_save->setEnabled(false);
    bottom->addWidget(m_summaryLabel, 1);
    bottom->addWidget(m_save);
    layout->addLayout(bottom);

    connect(all, &QPushButton::clicked, this, &BulkUploadWindow::tickAll);
    connect(m_start, &QPushButton::clicked, this, &BulkUploadWindow::start);
    connect(m_save, &QPushButton::clicked, this, &BulkUploadWindow::saveTable);
    resize(900, 560);
}

void BulkUploadWindow::showCompany(const QString& folder, const QString& company,
                                   const CompanySettings& settings) {
    m_folder = folder;
    m_company = company;
    m_settings = settings;
    m_list->clear();
    for (const QString& name : savedInvoiceNames(folder)) {
        auto* item = new QListWidgetItem(name, m_list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
}

void BulkUploadWindow::tickAll() {
    for (int i = 0; i < m_list->count(); ++i)
        m_list->item(i)->setCheckState(Qt::Checked);
}

void BulkUploadWindow::showRow(int row, const portal::SetRow& r) {
    if (row >= m_table->rowCount())
        m_table->setRowCount(row + 1);
    const QString cells[] = {r.workbook,
                             r.buyer,
                             amount(r.tavlixTotal),
                             amount(r.portalTotal),
                             amount(r.difference()),
                             r.number,
                             r.ettn,
                             r.outcome};
    for (int c = 0; c < 8; ++c) {
        auto* item = new QTableWidgetItem(cells[c]);
        if (c == 7 && !r.notes.isEmpty())
            item->setToolTip(r.notes.join(u"\n"_s));
        m_table->setItem(row, c, item);
    }
    if (row < m_rows.size())
        m_rows[row] = r;
    else
        m_rows.append(r);
}

void BulkUploadWindow::start() {
    QStringList paths;
    for (int i = 0; i < m_list->count(); ++i)
        if (m_list->item(i)->checkState() == Qt::Checked)
            paths.append(QDir(m_folder).filePath(m_list->item(i)->text()));
    if (paths.isEmpty()) {
        MessageBoxPrompt(this).message(UserPrompt::Icon::Warning,
                                       u"Yüklenecek kayıtlı fatura seçilmedi."_s);
        return;
    }
    m_rows.clear();
    m_table->setRowCount(0);
    m_summaryLabel->clear();
    m_left->clear();
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_start->setEnabled(false);
    m_save->setEnabled(false);

    portal::SetOptions options;
    options.upload = m_options;
    options.stopOnDifference = m_stopOnDifference->isChecked();
    options.includeIssued = m_includeIssued->isChecked();
    portal::SetServices services;
    services.upload = portal::defaultUploadServices();
    services.load = [this](const QString& path) {
        return loadSavedInvoice(path, m_company, m_settings);
    };
    const auto journal = portal::journalPath(options.upload.programDir, m_company);
    if (journal) {
        services.readJournal = [path = *journal] { return portal::readJournal(path); };
        services.appendJournal = [path = *journal](const portal::JournalEntry& entry) {
            return portal::appendJournalEntry(path, entry);
        };
    }
    services.rowChanged = [this](int row, const portal::SetRow& r) { showRow(row, r); };
    services.progress = [this](int done, int total, qint64 msLeft) {
        m_progress->setRange(0, std::max(1, total));
        m_progress->setValue(done);
        m_left->setText(msLeft < 0 || done >= total
                            ? QString()
                            : u"Kalan süre yaklaşık %1"_s.arg(duration(msLeft)));
    };

    portal::SetResult result;
    {
        MessageBoxPrompt prompt(this);
        result = portal::runInvoiceSet(paths, prompt, options, services);
    }
    m_rows = result.rows;
    m_summary = result.summary;
    m_summaryLabel->setText(m_summary);
    m_left->clear();
    m_start->setEnabled(true);
    m_save->setEnabled(!m_rows.isEmpty());
    if (m_finished)
        m_finished();
}

void BulkUploadWindow::saveTable() {
    if (m_rows.isEmpty() || m_folder.isEmpty())
        return;
    const QString path =
        QDir(m_folder).filePath(portal::setTableFileName(QDateTime::currentDateTime()));
    MessageBoxPrompt prompt(this);
    if (const auto written = portal::writeSetTable(m_rows, m_summary, path); !written)
        prompt.message(UserPrompt::Icon::Warning,
                       u"Toplu yükleme tablosu kaydedilemedi: "_s + written.message());
    else
        prompt.message(UserPrompt::Icon::Information,
                       u"Toplu yükleme tablosu kaydedildi: "_s + path);
}

} // namespace tavlix::files
