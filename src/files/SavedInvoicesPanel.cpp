#include "files/SavedInvoicesPanel.h"

#include "files/BulkUploadWindow.h"
#include "files/InvoiceHeaderSheet.h"
#include "files/InvoiceWorkbook.h"
#include "files/SavedInvoiceWatch.h"
#include "platform/OpenForUser.h"
#include "widgets/ButtonColours.h"
#include "widgets/MessageBoxPrompt.h"
#include "widgets/NamedControl.h"
#include "widgets/PathCaptionView.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tavlix::files {

using namespace colours;

SavedInvoicesPanel::SavedInvoicesPanel(QWidget* parent)
    : QGroupBox(u"Kayıtlı Faturalar"_s, parent) {
    setObjectName(u"Frame1"_s);
    m_watch = new SavedInvoiceWatch(this);
    auto* layout = new QVBoxLayout(this);
    m_label12 = named<PathCaptionView>(u"Label12"_s, this);
    m_dir1 = named<QLineEdit>(u"Dir1"_s, this);
    m_dir1->setVisible(false);
    m_list1 = named<QListWidget>(u"List1"_s, this);
    m_issuedList = named<QTreeWidget>(u"IssuedList"_s, this);
    m_issuedList->setRootIsDecorated(false);
    m_issuedList->setHeaderLabels({u"Fatura"_s, u"Onay Durumu"_s});
    m_issuedList->header()->setStretchLastSection(false);
    m_issuedList->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_issuedList->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_refreshStates =
        named<QPushButton>(u"cmdPortalDurum"_s, u"Portal Durumlarını Güncelle"_s, this);
    m_tabs = named<QTabWidget>(u"FilesTabs"_s, this);
    m_tabs->addTab(m_list1, u"Excel Dosyaları"_s);
    // The refresh stands under the list it fills; the tab bar has no room for it.
    m_issuedPage = new QWidget(this);
    auto* issuedLayout = new QVBoxLayout(m_issuedPage);
    issuedLayout->setContentsMargins(0, 0, 0, 0);
    issuedLayout->setSpacing(2);
    issuedLayout->addWidget(m_issuedList, 1);
    issuedLayout->addWidget(m_refreshStates);
    m_tabs->addTab(m_issuedPage, u"Kesilen Faturalar"_s);
    // A list's own wish (some 190 pixels) would make the whole header row that tall and take the
    // room from the invoice lines; a few names in sight are enough here.
    m_tabs->setMaximumHeight(m_tabs->tabBar()->sizeHint().height() +
                             m_list1->fontMetrics().lineSpacing() * 7);
    layout->addWidget(m_label12);
    layout->addWidget(m_tabs, 1);

    auto* buttons = new QGridLayout;
    m_command3 = named<QPushButton>(u"Command3"_s, u"Excel Yükle"_s, this);
    m_command9 = named<QPushButton>(u"Command9"_s, u"Excel Kaydet"_s, this);
    m_command11 = named<QPushButton>(u"Command11"_s, u"Excel Aç"_s, this);
    m_command10 = named<QPushButton>(u"Command10"_s, u"Excel SiL"_s, this);
    m_command15 = named<QPushButton>(u"Command15"_s, u"e-Mail Gönder"_s, this);
    buttons->addWidget(m_command3, 0, 0);
    buttons->addWidget(m_command9, 0, 1);
    buttons->addWidget(m_command11, 1, 0);
    buttons->addWidget(m_command10, 1, 1);
    m_bulkButton = named<QPushButton>(u"CommandToplu"_s, u"Toplu e-Arşiv"_s, this);
    m_bulkButton->setEnabled(false);
    buttons->addWidget(m_command15, 2, 0);
    buttons->addWidget(m_bulkButton, 2, 1);
    layout->addLayout(buttons);
    // Where the last save went; hidden until there was one.
    m_saveStatus = named<QLabel>(u"SaveStatus"_s, this);
    m_saveStatus->setTextFormat(Qt::PlainText);
    m_saveStatus->setWordWrap(true);
    m_saveStatus->setVisible(false);
    layout->addWidget(m_saveStatus);
    for (QPushButton* b : {m_command3, m_command9, m_command11, m_command10, m_command15})
        b->setEnabled(false);
    setBackColour(m_command9, kWhite);
    setBackColour(m_command10, kLightRed);
    setBackColour(m_command15, kLightYellow);

    connect(m_command9, &QPushButton::clicked, this, &SavedInvoicesPanel::save);
    connect(m_command3, &QPushButton::clicked, this, &SavedInvoicesPanel::importCurrent);
    connect(m_command11, &QPushButton::clicked, this, &SavedInvoicesPanel::openCurrent);
    connect(m_command10, &QPushButton::clicked, this, &SavedInvoicesPanel::removeCurrent);
    connect(m_command15, &QPushButton::clicked, this, &SavedInvoicesPanel::mailCurrent);
    connect(m_bulkButton, &QPushButton::clicked, this, &SavedInvoicesPanel::openBulkUpload);
    connect(m_list1, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { clicked(item->text()); });
    connect(m_list1, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { doubleClicked(item->text()); });
    connect(m_issuedList, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        issuedClicked(m_issuedList->indexOfTopLevelItem(item));
    });
    connect(m_issuedList, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        issuedClicked(m_issuedList->indexOfTopLevelItem(item));
        openCurrent();
    });
    connect(m_refreshStates, &QPushButton::clicked, this, &SavedInvoicesPanel::refreshStates);
    // A file button acts only on a file clicked in the list now shown.
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        m_currentFile.clear();
        m_currentIssued.reset();
        setFileButtons(false);
        if (m_tabs->widget(index) == m_issuedPage)
            refreshIssued();
    });
    connect(m_watch, &SavedInvoiceWatch::changed, this, &SavedInvoicesPanel::listChanged);
}

SavedInvoicesPanel::~SavedInvoicesPanel() = default;

void SavedInvoicesPanel::showFolder(const QString& folder, bool companyFolder) {
    m_companyFolder = companyFolder ? folder : QString();
    m_bulkButton->setEnabled(!m_companyFolder.isEmpty());
    m_dir1->setText(companyFolder || folder.isEmpty() ? folder : folder + u'/');
    m_label12->setText(folder);
    m_watch->watch(folder);
    m_list1->clear();
    m_list1->addItems(m_watch->names());
    m_currentFile.clear();
    m_currentIssued.reset();
    refreshIssued();
}

void SavedInvoicesPanel::refreshIssued() {
    const QString kept = m_currentIssued ? m_currentIssued->pdfPath : QString();
    m_issued = listIssuedInvoices(m_companyFolder);
    const QHash<QString, QString> states = issuedStates(m_companyFolder);
    m_issuedList->clear();
    for (const IssuedInvoice& invoice : std::as_const(m_issued)) {
        auto* item =
            new QTreeWidgetItem(m_issuedList, {invoice.caption(), states.value(invoice.ettn)});
        item->setToolTip(0, plainToolTip(QFileInfo(invoice.pdfPath).fileName()));
        if (invoice.pdfPath == kept) {
            m_issuedList->setCurrentItem(item);
            m_currentIssued = invoice;
        }
    }
    if (!kept.isEmpty() && !m_issuedList->currentItem()) {
        m_currentIssued.reset();
        setFileButtons(false);
    }
}

void SavedInvoicesPanel::issuedClicked(int row) {
    if (row < 0 || row >= m_issued.size())
        return;
    m_currentFile.clear();
    m_currentIssued = m_issued.at(row);
    setIssuedButtons();
}

void SavedInvoicesPanel::refreshStates() {
    if (!m_host.refreshStates || m_issued.isEmpty())
        return;
    const QDate date = m_currentIssued ? m_currentIssued->date : m_issued.first().date;
    if (!date.isValid())
        return;
    m_host.refreshStates(date.year(), date.month());
    refreshIssued();
}

void SavedInvoicesPanel::setIssuedButtons() {
    setFileButtons(false);
    m_command11->setEnabled(true);
    setBackColour(m_command11, kLightGreen);
    m_command15->setEnabled(true);
    setBackColour(m_command15, kLightYellow);
}

void SavedInvoicesPanel::mailIssued(const QString& pdfPath) {
    m_tabs->setCurrentWidget(m_issuedPage);
    refreshIssued();
    const QString wanted = QFileInfo(pdfPath).absoluteFilePath();
    for (qsizetype row = 0; row < m_issued.size(); ++row) {
        if (m_issued.at(row).pdfPath == wanted) {
            m_issuedList->setCurrentItem(m_issuedList->topLevelItem(int(row)));
            issuedClicked(int(row));
            mailCurrent();
            return;
        }
    }
}

QString SavedInvoicesPanel::folder() const {
    return m_dir1->text();
}

void SavedInvoicesPanel::listChanged(const QStringList& names) {
    const QListWidgetItem* current = m_list1->currentItem();
    const QString kept = current ? current->text() : QString();
    m_list1->clear();
    m_list1->addItems(names);
    // The clicked file stays selected while it is there; once gone it is no longer current.
    if (const auto found = m_list1->findItems(kept, Qt::MatchExactly); !found.isEmpty()) {
        m_list1->setCurrentItem(found.first());
    } else if (!m_currentFile.isEmpty() && !QFileInfo::exists(m_currentFile)) {
        m_currentFile.clear();
        setFileButtons(false);
    }
}

void SavedInvoicesPanel::setSaveEnabled(bool enabled) {
    m_command9->setEnabled(enabled);
    setBackColour(m_command9, enabled ? kLightCyan : kWhite);
}

void SavedInvoicesPanel::disableForNewCompany() {
    for (QPushButton* b : {m_command3, m_command9, m_command11}) {
        b->setEnabled(false);
        setBackColour(b, kWhite);
    }
}

void SavedInvoicesPanel::setImportEnabled(bool enabled) {
    m_command3->setEnabled(enabled);
}

void SavedInvoicesPanel::setFileButtons(bool enabled) {
    const std::pair<QPushButton*, QColor> buttons[] = {{m_command3, kLightGreen},
                                                       {m_command10, kLightRed},
                                                       {m_command11, kLightGreen},
                                                       {m_command15, kLightYellow}};
    for (const auto& [b, colour] : buttons) {
        b->setEnabled(enabled);
        setBackColour(b, enabled ? colour : kWhite);
    }
}

void SavedInvoicesPanel::message(const QString& text) {
    MessageBoxPrompt(this).message(UserPrompt::Icon::Warning, text);
}

void SavedInvoicesPanel::clicked(const QString& name) {
    m_currentIssued.reset();
    m_currentFile = QDir(folder()).filePath(name);
    m_label12->setText(folder());
    if (m_host.typeChosen && m_host.typeChosen())
        setFileButtons(true);
}

void SavedInvoicesPanel::doubleClicked(const QString& name) {
    m_currentFile = QDir(folder()).filePath(name);
    openCurrent();
    if (!m_host.typeChosen || !m_host.typeChosen())
        m_command3->setEnabled(true);
}

void SavedInvoicesPanel::save() {
    if (!m_host.invoice)
        return;
    MessageBoxPrompt prompt(this);
    const SaveResult saved = saveInvoiceWorkbook(m_host.invoice(), m_companyFolder, prompt);
    if (saved.outcome == SaveOutcome::Saved) {
        const QFileInfo file(saved.path);
        m_saveStatus->setText(file.fileName() + u" kaydedildi: "_s + file.absolutePath());
        m_saveStatus->setToolTip(file.absoluteFilePath());
        m_saveStatus->setVisible(true);
    }
    // The folder is read again at once rather than when the watch reports the new file.
    showFolder(m_companyFolder.isEmpty() ? m_label12->text() : m_companyFolder,
               !m_companyFolder.isEmpty());
    setFileButtons(false);
}

void SavedInvoicesPanel::openCurrent() {
    if (m_currentIssued) {
        emit handingToOtherProgram();
        if (const auto opened = openForUser(m_currentIssued->pdfPath); !opened)
            message(opened.message());
        return;
    }
    if (m_list1->count() == 0)
        return;
    emit handingToOtherProgram();
    if (const auto opened = openForUser(m_currentFile); !opened)
        message(opened.message());
    m_label12->setText(folder());
}

void SavedInvoicesPanel::removeCurrent() {
    if (m_currentIssued)
        return;
    removeSavedInvoice(m_currentFile);
    showFolder(m_companyFolder.isEmpty() ? m_label12->text() : m_companyFolder,
               !m_companyFolder.isEmpty());
    setFileButtons(false);
}

void SavedInvoicesPanel::importCurrent() {
    if (m_currentIssued || m_list1->count() == 0 || !m_host.importTarget || !m_host.takeLines)
        return;
    MessageBoxPrompt prompt(this);
    // An unreadable file is told by the import below.
    const auto read = readInvoiceHeader(m_currentFile);
    const std::optional<InvoiceRecord> header = read.ok() ? *read : std::nullopt;
    if (header && m_host.takeSavedType)
        m_host.takeSavedType(header->typeIndex);
    auto imported = importInvoiceWorkbook(m_currentFile, m_host.importTarget(), prompt);
    if (!imported)
        return;
    m_host.takeLines(imported.value());
    if (m_host.takeHeader)
        m_host.takeHeader(header, QFileInfo(m_currentFile).fileName());
}

void SavedInvoicesPanel::mailCurrent() {
    if (m_currentIssued) {
        if (m_host.openIssuedMail)
            m_host.openIssuedMail(*m_currentIssued);
        return;
    }
    if (m_host.openMail)
        m_host.openMail(m_currentFile);
}

void SavedInvoicesPanel::openBulkUpload() {
    if (m_companyFolder.isEmpty() || !m_host.invoice)
        return;
    if (!m_bulk) {
        m_bulk = std::make_unique<BulkUploadWindow>();
        m_bulk->setFinished([this] { refreshIssued(); });
    }
    const InvoiceRecord company = m_host.invoice();
    m_bulk->showCompany(m_companyFolder, company.company, company.settings);
    m_bulk->show();
    m_bulk->raise();
}

void SavedInvoicesPanel::reselect() {
    if (m_currentIssued) {
        refreshIssued();
        if (m_currentIssued)
            setIssuedButtons();
        return;
    }
    if (const QListWidgetItem* item = m_list1->currentItem())
        clicked(item->text());
}

} // namespace tavlix::files
