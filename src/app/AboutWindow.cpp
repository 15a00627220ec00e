#include "app/AboutWindow.h"

#include "app/Version.h"
#include "widgets/NamedControl.h"
#include "widgets/PlacedWindow.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tavlix {

AboutWindow::AboutWindow(QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(u"Form6"_s);
    setWindowTitle(u"Tavlix - Hakkında"_s);
    auto* title = named<QLabel>(u"Label1"_s, u"PROGRAM HAKKINDA"_s, this);
    auto* caption = named<QLabel>(u"Label2"_s, u" Versiyon"_s, this);
    m_version = named<QLineEdit>(u"Text1"_s, this);
    m_version->setReadOnly(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(caption);
    layout->addWidget(m_version);
    layout->addStretch(1);
    // Wide enough for a window manager to show the whole title beside its buttons.
    setMinimumWidth(titleBarWidth(*this));
    resize(std::max(360, minimumWidth()), 180);
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
