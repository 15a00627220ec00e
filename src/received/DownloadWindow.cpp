#include "received/DownloadWindow.h"

#include "invoice/InvoiceHost.h"
#include "platform/OpenForUser.h"
#include "platform/UserPrompt.h"
#include "received/ReceivedInvoiceQuery.h"
#include "received/ReceivedInvoices.h"
#include "widgets/InputOnlyTo.h"
#include "widgets/MessageBoxPrompt.h"
#include "widgets/NamedControl.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tavlix {

// The query speaks through the window: messages as boxes, its progress in the status line, the
// cancel flag of "Kapat", and the captcha picture and box.
class DownloadWindow::Prompt : public UserPrompt, public received::CaptchaBox {
public:
    explicit Prompt(DownloadWindow& window)
        : m_window(window) {}

    using UserPrompt::message;
    void message(Icon icon, const QString& text, const QString& title) override {
        showMessageBox(messageBoxIcon(icon), title, text, QMessageBox::Ok, boxParent());
    }
    bool ask(const QString& text, const QString& title) override {
        return showMessageBox(QMessageBox::Question, title, text,
                              QMessageBox::Yes | QMessageBox::No, boxParent()) == QMessageBox::Yes;
    }
    void progress(const QString& step) override { m_window.m_text4->setText(step); }
    bool cancelled() const override { return m_window.m_cancel; }
    void keepAlive() override { QCoreApplication::processEvents(); }

    void showCaptcha(const QImage& picture) override {
        m_window.m_image1->setPixmap(QPixmap::fromImage(picture));
        m_window.m_text3->setVisible(true);
        m_window.m_text3->setFocus();
    }
    QString typedCaptcha() const override { return m_window.m_text3->text(); }
    void clearCaptcha() override { m_window.m_text3->clear(); }

private:
    // Over the window while it shows, so a window manager keeps the box above it.
    QWidget* boxParent() const { return m_window.isVisible() ? &m_window : nullptr; }

    DownloadWindow& m_window;
};

DownloadWindow::DownloadWindow(InvoiceHost& host, QString programDir, QWidget* parent)
    : QWidget(parent)
    , m_host(host)
    , m_programDir(std::move(programDir)) {
    setWindowFlag(Qt::Window);
    setObjectName(u"Form3"_s);
    setWindowTitle(u"Tavlix-eArşiv Fatura İndir"_s);

    auto* companyFrame = named<QGroupBox>(u"Frame1"_s, u"İşlem Yapılacak Firma Seçimi"_s, this);
    m_combo1 = named<QComboBox>(u"Combo1"_s, companyFrame);
    m_combo1->addItems(
        {u"Hepsi"_s, u"Bilanço"_s, u"İşletme"_s, u"S.Meslek"_s, u"Zirai K."_s, u"Diğer"_s});
    m_bList1 = named<QListWidget>(u"bList1"_s, companyFrame);
    auto* companyLayout = new QVBoxLayout(companyFrame);
    companyLayout->addWidget(m_combo1);
    companyLayout->addWidget(m_bList1);

    auto* queryFrame = named<QGroupBox>(u"Frame2"_s, u"Fatura Türü ve Sorgu Dönemi"_s, this);
    m_option1 =
        named<QRadioButton>(u"Option1"_s, u"(ALINAN) Gelen E-Arşiv Faturaları"_s, queryFrame);
    m_option2 =
        named<QRadioButton>(u"Option2"_s, u"(KESİLEN) Düzenlenen E-Arşiv Faturaları"_s, queryFrame);
    m_option1->setChecked(true);
    m_cList1 = named<QListWidget>(u"cList1"_s, queryFrame);
    m_cList1->setEnabled(false);
    m_check1 = named<QCheckBox>(u"Check1"_s, u"Tümünü Seç"_s, queryFrame);
    m_command1 = named<QPushButton>(u"Command1"_s, u"Sorgula ve İndir"_s, queryFrame);
    m_command1->setEnabled(false);
    m_image1 = named<QLabel>(u"Image1"_s, queryFrame);
    m_image1->setMinimumSize(160, 50);
    m_text3 = named<QLineEdit>(u"Text3"_s, queryFrame);
    m_text3->setVisible(false);
    auto* queryLayout = new QGridLayout(queryFrame);
    queryLayout->addWidget(m_option1, 0, 0, 1, 2);
    queryLayout->addWidget(m_option2, 1, 0, 1, 2);
    queryLayout->addWidget(named<QLabel>(u"Label1"_s, u"Sorgu Dönemi"_s, queryFrame), 2, 0);
    queryLayout->addWidget(m_check1, 2, 1);
    queryLayout->addWidget(m_cList1, 3, 0, 1, 2);
    queryLayout->addWidget(m_image1, 4, 0);
    queryLayout->addWidget(m_text3, 4, 1);
    queryLayout->addWidget(m_command1, 5, 0, 1, 2);

    auto* statusFrame = named<QGroupBox>(u"Frame3"_s, u"İşlem Durumu"_s, this);
    m_text4 = named<QLabel>(u"Text4"_s, statusFrame);
    m_text4->setWordWrap(true);
    (new QVBoxLayout(statusFrame))->addWidget(m_text4);

    auto* folderFrame = named<QGroupBox>(u"Frame4"_s, u"Firma Klasörü"_s, this);
    m_dList1 = named<QListWidget>(u"dList1"_s, folderFrame);
    m_command4 = named<QPushButton>(u"Command4"_s, u"Göster"_s, folderFrame);
    m_command4->setVisible(false);
    auto* folderLayout = new QVBoxLayout(folderFrame);
    folderLayout->addWidget(m_dList1);
    folderLayout->addWidget(m_command4);

    m_command3 = named<QPushButton>(u"Command3"_s, u"Kapat"_s, this);

    auto* columns = new QHBoxLayout;
    columns->addWidget(companyFrame);
    columns->addWidget(queryFrame);
    columns->addWidget(folderFrame);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addWidget(statusFrame);
    layout->addWidget(m_command3, 0, Qt::AlignRight);

    connect(m_combo1, &QComboBox::activated, this, &DownloadWindow::bookTypeChosen);
    connect(m_bList1, &QListWidget::itemClicked, this, &DownloadWindow::companyClicked);
    connect(m_cList1, &QListWidget::itemClicked, this, &DownloadWindow::periodClicked);
    connect(m_dList1, &QListWidget::itemDoubleClicked, this, &DownloadWindow::fileDoubleClicked);
    connect(m_command1, &QPushButton::clicked, this, &DownloadWindow::runQuery);
    connect(m_command4, &QPushButton::clicked, this, &DownloadWindow::showList);
    connect(m_command3, &QPushButton::clicked, this, &DownloadWindow::closeUnload);

    // Load: cancel flag cleared, the 25 months before this one, every company of columns 2–11.
    m_cList1->addItems(received::downloadPeriods(m_host.today()));
    fillCompanies(std::nullopt);
    resize(900, 420);
}

DownloadWindow::~DownloadWindow() = default;

void DownloadWindow::fillCompanies(const std::optional<QString>& bookType) {
    m_bList1->clear();
    const auto companies = received::downloadCompanies(m_host.dataWorkbookPath(), bookType);
    if (!companies) {
        m_text4->setText(companies.message());
        return;
    }
    m_bList1->addItems(*companies);
}

void DownloadWindow::bookTypeChosen() {
    // Only a book type the user picks filters, at once: leaving the box changes nothing, and the
    // list the user clicks next is already the filtered one.
    const int chosen = m_combo1->currentIndex();
    if (chosen == m_bookType)
        return;
    m_bookType = chosen;
    if (chosen <= 0)
        fillCompanies(std::nullopt); // "Hepsi"
    else
        fillCompanies(received::bookTypeLetter(chosen - 1));
}

void DownloadWindow::showSelection() {
    m_text4->setText(u" İşlem yapılacak firma: "_s + m_company + u" / "_s + m_period);
    m_command4->setVisible(false);
}

void DownloadWindow::companyClicked(QListWidgetItem* item) {
    if (!item)
        return;
    m_company = item->text();
    showSelection();
    dirgetir();
    m_cList1->setEnabled(true);
}

void DownloadWindow::periodClicked(QListWidgetItem* item) {
    if (!item)
        return;
    m_period = item->text();
    showSelection();
    m_command1->setEnabled(!m_running);
}

void DownloadWindow::dirgetir() {
    m_dList1->clear();
    m_dList1->addItems(received::purchaseWorkbooks(m_programDir, m_company));
}

void DownloadWindow::fileDoubleClicked(QListWidgetItem* item) {
    const auto folder = received::purchaseFolder(m_programDir, m_company);
    if (!item || !folder)
        return;
    m_filePath = *folder + u'/' + item->text();
    showList();
}

void DownloadWindow::showList() {
    if (const auto opened = openForUser(m_filePath); !opened)
        m_text4->setText(opened.message());
}

void DownloadWindow::runQuery() {
    if (m_running)
        return;
    if (m_cancel) {
        unload();
        return;
    }
    m_running = true;
    m_command1->setEnabled(false);
    Prompt prompt(*this);
    const received::ReceivedInvoiceRequest request{
        m_programDir, m_host.dataWorkbookPath(), m_host.lastCompanyColumn(), m_company,
        m_period,     received::ivdStartUrl()};
    std::optional<InputOnlyTo> onlyHere(std::in_place, this);
    const auto result = received::queryReceivedInvoices(request, prompt, prompt);
    onlyHere.reset();
    m_running = false;
    m_text3->clear();
    m_text3->setVisible(false);
    m_image1->clear();
    if (m_cancel) {
        unload();
        return;
    }
    m_command1->setEnabled(!m_period.isEmpty());
    if (result.outcome == received::ReceivedInvoiceResult::Outcome::Failed) {
        // The message said why; the status no longer claims a range is being asked.
        m_text4->setText(u" Fatura listesi kaydedilmedi."_s);
        return;
    }
    if (result.outcome != received::ReceivedInvoiceResult::Outcome::Saved)
        return;
    dirgetir();
    show();
    m_text4->setText(received::completionStatus(result));
    m_filePath = result.path;
    m_command4->setVisible(true);
}

void DownloadWindow::closeUnload() {
    m_cancel = true;
    m_image1->clear();
    m_text3->clear();
    m_text4->clear();
    hide();
    m_command4->setVisible(false);
    // A running query sees the flag in its wait, ends its browser and unloads the window itself.
    if (!m_running)
        runQuery();
}

void DownloadWindow::closeEvent(QCloseEvent* event) {
    // The close box only hides the window; while a query runs it stops the query like "Kapat",
    // so no hidden query is left waiting for a captcha nobody can type.
    if (m_running) {
        event->ignore();
        closeUnload();
        return;
    }
    QWidget::closeEvent(event);
}

void DownloadWindow::unload() {
    hide();
    deleteLater();
}

} // namespace tavlix
