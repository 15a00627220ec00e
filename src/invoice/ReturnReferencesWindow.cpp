#include "invoice/ReturnReferencesWindow.h"

#include "invoice/InvoiceHost.h"
#include "invoice/LeaveField.h"
#include "invoice/ReturnReferences.h"
#include "widgets/NamedControl.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tavlix {

namespace {

void setBackColor(QWidget* widget, const QColor& color) {
    widget->setStyleSheet(u"background-color: %1;"_s.arg(color.name()));
}

const QColor kLightGreen(192, 255, 192);
const QColor kLightRed(255, 192, 192);
const QColor kLightCyan(192, 255, 255);

} // namespace

ReturnReferencesWindow::ReturnReferencesWindow(InvoiceHost& host, QWidget* parent)
    : QWidget(parent)
    , m_host(host) {
    setWindowFlag(Qt::Window);
    setObjectName(u"Form2"_s);
    setWindowTitle(u"Tavlix-Alış Fatura Bilgi Girişi"_s);

    auto* heading = named<QLabel>(
        u"Label3"_s, u"İADE EDİLECEK ÜRÜN YA DA HİZMETLERİN ALIŞ FATURA BİLGİLERİ:"_s, this);

    auto* frame =
        named<QGroupBox>(u"Frame2"_s, u"İade edilecek ürün / hizmet alış fatura bilgileri"_s, this);
    auto* dateLabel = named<QLabel>(u"Label2"_s, u"Fatura Tarihi"_s, frame);
    m_year = named<QComboBox>(u"Combo1"_s, frame);
    m_month = named<QComboBox>(u"Combo2"_s, frame);
    m_day = named<QComboBox>(u"Combo3"_s, frame);
    m_serialLabel = named<QLabel>(u"Label1"_s, u"Fatura Seri No"_s, frame);
    m_serialLabel->setCursor(Qt::PointingHandCursor);
    m_serial = named<QLineEdit>(u"Text1"_s, frame);
    m_date = named<QLineEdit>(u"Text2"_s, frame);
    m_date->hide();

    auto* frameLayout = new QGridLayout(frame);
    frameLayout->addWidget(dateLabel, 0, 0);
    frameLayout->addWidget(m_year, 0, 1);
    frameLayout->addWidget(m_month, 0, 2);
    frameLayout->addWidget(m_day, 0, 3);
    frameLayout->addWidget(m_serialLabel, 1, 0);
    frameLayout->addWidget(m_serial, 1, 1, 1, 3);

    m_list = named<QListWidget>(u"aList1"_s, this);
    m_status = named<QLabel>(u"Label4"_s, this);
    m_add = named<QPushButton>(u"Command1"_s, u"Ekle"_s, this);
    m_remove = named<QPushButton>(u"Command2"_s, u"Çıkar"_s, this);
    m_ok = named<QPushButton>(u"Command3"_s, u"Tamam"_s, this);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_add);
    buttons->addWidget(m_remove);
    buttons->addWidget(m_ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(frame);
    layout->addWidget(m_list);
    layout->addWidget(m_status);
    layout->addLayout(buttons);

    m_month->installEventFilter(this);
    onLeaveField(m_day, [this] { enableSerial(); });
    m_serialLabel->installEventFilter(this);

    load();

    connect(m_month, &QComboBox::currentIndexChanged, this, &ReturnReferencesWindow::fillDays);
    // The length of February depends on the year too.
    connect(m_year, &QComboBox::currentIndexChanged, this, &ReturnReferencesWindow::fillDays);
    connect(m_day, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            enableSerial();
    });
    connect(m_serial, &QLineEdit::textChanged, this, &ReturnReferencesWindow::serialChanged);
    connect(m_add, &QPushButton::clicked, this, &ReturnReferencesWindow::add);
    connect(m_list, &QListWidget::itemClicked, this, &ReturnReferencesWindow::entryClicked);
    connect(m_remove, &QPushButton::clicked, this, &ReturnReferencesWindow::removeSelected);
    connect(m_ok, &QPushButton::clicked, this, &ReturnReferencesWindow::done);
}

QStringList ReturnReferencesWindow::references() const {
    QStringList out;
    for (int i = 0; i < m_list->count(); ++i)
        out << m_list->item(i)->text();
    return out;
}

void ReturnReferencesWindow::setReferences(const QStringList& references) {
    m_list->clear();
    m_list->addItems(references);
    m_status->clear();
    m_host.setReturnCount(countText());
}

void ReturnReferencesWindow::clearForCompanySelection() {
    m_list->clear();
    m_status->clear();
}

void ReturnReferencesWindow::load() {
    const QSignalBlocker blockYear(m_year);
    const QSignalBlocker blockMonth(m_month);
    const QSignalBlocker blockSerial(m_serial);
    m_status->setText(u"Önce tarih seçiniz..."_s);
    const QDate today = m_host.today();
    m_year->clear();
    m_year->addItems(returns::yearList(today));
    m_year->setCurrentIndex(m_year->count() - 1);
    m_month->clear();
    m_month->addItems(returns::monthList());
    m_month->setCurrentIndex(today.month() - 1);
    fillDays();

    m_list->clear();
    m_serial->clear();
    m_date->clear();
    m_serial->setEnabled(false);
    m_serial->setPalette(QPalette()); // back to the ordinary colour until a day is chosen
    for (QPushButton* button : {m_add, m_remove, m_ok}) {
        button->setEnabled(false);
        button->setStyleSheet(QString());
    }
}

void ReturnReferencesWindow::fillDays() {
    const QSignalBlocker block(m_day);
    m_day->clear();
    m_day->addItems(returns::dayList(m_year->currentText(), m_month->currentText()));
    m_day->setCurrentIndex(-1);
}

void ReturnReferencesWindow::enableSerial() {
    m_serial->setEnabled(true);
    QPalette palette = m_serial->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::ToolTipBase));
    m_serial->setPalette(palette);
}

void ReturnReferencesWindow::serialChanged() {
    if (m_filtering)
        return;
    const returns::SerialFilter filtered = returns::filterSerial(m_serial->text());
    if (!filtered.status.isEmpty())
        m_status->setText(filtered.status);
    if (filtered.text != m_serial->text()) {
        m_filtering = true;
        m_serial->setText(filtered.text);
        m_filtering = false;
    }
    m_serial->setCursorPosition(static_cast<int>(m_serial->text().size()));
    m_add->setEnabled(true);
    setBackColor(m_add, kLightGreen);
}

void ReturnReferencesWindow::add() {
    m_status->clear();
    returns::AddRequest request{m_serial->text(), m_day->currentText(), m_month->currentText(),
                                m_year->currentText(), references()};
    const returns::AddResult result = returns::addReference(request);
    if (!result.date.isEmpty())
        m_date->setText(result.date);
    switch (result.kind) {
    case returns::AddResult::Kind::Incomplete:
    case returns::AddResult::Kind::Ignored:
        return;
    case returns::AddResult::Kind::Refused:
        m_status->setText(result.status);
        return;
    case returns::AddResult::Kind::Added:
        break;
    }
    m_list->addItem(result.reference);
    m_host.setLastReturnReference(result.serial, result.date);
    m_serial->clear();
    m_date->clear();
    m_status->setText(result.status);
    m_host.setReturnCount(countText());
    m_ok->setEnabled(true);
    setBackColor(m_ok, kLightCyan);
}

void ReturnReferencesWindow::entryClicked() {
    QListWidgetItem* item = m_list->currentItem();
    if (!item)
        return;
    m_serial->setText(returns::serialOf(item->text()));
    m_remove->setEnabled(true);
    setBackColor(m_remove, kLightRed);
}

void ReturnReferencesWindow::removeSelected() {
    const int row = m_list->currentRow();
    if (row < 0)
        return;
    delete m_list->takeItem(row);
    m_status->setText(u"Eklenen : "_s + countText());
    m_host.setReturnCount(countText());
    m_serial->clear();
    setBackColor(m_remove, Qt::white);
    m_remove->setEnabled(false);
}

void ReturnReferencesWindow::done() {
    m_status->setText(u"Eklenen : "_s + countText());
    hide();
    m_host.setReturnCount(countText());
    m_serial->clear();
}

QString ReturnReferencesWindow::countText() const {
    return QString::number(m_list->count());
}

void ReturnReferencesWindow::closeEvent(QCloseEvent* event) {
    // The close box ends this set of references: the next opening starts afresh.
    load();
    m_host.setReturnCount(u"0"_s);
    event->accept();
}

bool ReturnReferencesWindow::eventFilter(QObject* watched, QEvent* event) {
    // Coming back from another window into the month box keeps the chosen day.
    if (watched == m_month && (entersField(*event) || event->type() == QEvent::MouseButtonPress))
        fillDays();
    else if (watched == m_serialLabel && event->type() == QEvent::MouseButtonRelease)
        m_serial->setText(u"GIB"_s + m_year->currentText() + u"000000000"_s);
    return QWidget::eventFilter(watched, event);
}

} // namespace tavlix
