#include "app/AboutWindow.h"

#include "app/Version.h"
#include "widgets/NamedControl.h"
#include "widgets/PlacedWindow.h"

#include <QCloseEvent>
#include <QDate>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tavlix {

QString buildDateText() {
    // The compiler's date is "Dec  9 2026", in English whatever the locale.
    const QDate date =
        QDate::fromString(QString::fromLatin1(__DATE__).simplified(), u"MMM d yyyy"_s);
    return date.toString(u"dd.MM.yyyy"_s);
}

AboutWindow::AboutWindow(QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(u"Form6"_s);
    setWindowTitle(u"Tavlix - Hakkında"_s);
    auto* title = named<QLabel>(u"Label1"_s, u"PROGRAM HAKKINDA"_s, this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    auto* name = named<QLabel>(
        u"LabelName"_s, u"Tavlix — e-Arşiv faturalarınızı hazırlayan yardımcı program"_s, this);
    auto* caption = named<QLabel>(u"Label2"_s, u" Versiyon"_s, this);
    m_version = named<QLineEdit>(u"Text1"_s, this);
    m_version->setReadOnly(true);
    auto* built = named<QLabel>(u"LabelBuilt"_s, buildDateText(), this);
    m_dataFolder = named<QLabel>(u"LabelDataFolder"_s, this);
    m_dataFolder->setWordWrap(true);
    m_dataFolder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(u"CommandOK"_s);
    connect(buttons, &QDialogButtonBox::accepted, this, &QWidget::close);

    auto* facts = new QFormLayout;
    facts->addRow(caption, m_version);
    facts->addRow(u"Derleme tarihi"_s, built);
    facts->addRow(u"Veri klasörü"_s, m_dataFolder);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(name);
    layout->addLayout(facts);
    layout->addWidget(buttons);
    // Wide enough for a window manager to show the whole title beside its buttons.
    setMinimumWidth(std::max(titleBarWidth(*this), 420));
}

void AboutWindow::setDataFolder(const QString& folder) {
    m_dataFolder->setText(QDir::toNativeSeparators(folder));
}

void AboutWindow::showVersion() {
    m_version->setText(versionText());
    show();
    raise();
}

void AboutWindow::closeEvent(QCloseEvent* event) {
    // Closing only hides the window; the next "Hakkında" shows it again.
    hide();
    event->ignore();
}

} // namespace tavlix
