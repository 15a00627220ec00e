#include "widgets/MessageBoxPrompt.h"

#include "widgets/PlacedWindow.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QProgressDialog>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tavlix {

MessageBoxPrompt::MessageBoxPrompt(QWidget* parent)
    : m_parent(parent) {}

MessageBoxPrompt::~MessageBoxPrompt() {
    finish();
}

void keepTitleWhole(QMessageBox& box) {
    // A message box sizes itself to its layout's least width when shown: its text sets that.
    auto* label = box.findChild<QLabel*>(u"qt_msgbox_label"_s);
    if (!label)
        return;
    QLayout* layout = box.layout();
    if (!layout)
        return;
    label->setWordWrap(false);
    layout->activate();
    const int besides = layout->totalMinimumSize().width() - label->minimumSizeHint().width();
    label->setMinimumWidth(std::max(label->minimumWidth(), titleBarWidth(box) - besides));
}

QWidget* MessageBoxPrompt::visibleParent() const {
    return m_parent && m_parent->isVisible() ? m_parent.data() : nullptr;
}

void MessageBoxPrompt::message(Icon icon, const QString& text, const QString& title) {
    static constexpr QMessageBox::Icon kIcons[] = {QMessageBox::Information, QMessageBox::Warning,
                                                   QMessageBox::Critical, QMessageBox::Question};
    QMessageBox box(kIcons[static_cast<int>(icon)], title, text, QMessageBox::Ok, visibleParent());
    keepTitleWhole(box);
    box.exec();
}

bool MessageBoxPrompt::ask(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
                    visibleParent());
    box.setDefaultButton(QMessageBox::No);
    keepTitleWhole(box);
    return box.exec() == QMessageBox::Yes;
}

void MessageBoxPrompt::progress(const QString& step) {
    if (!m_progress) {
        m_progress = new QProgressDialog(step, u"İptal"_s, 0, 0, visibleParent());
        m_progress->setObjectName(u"ProgressDialog"_s);
        m_progress->setWindowTitle(u"Tavlix"_s);
        m_progress->setWindowModality(Qt::ApplicationModal);
        m_progress->setMinimumDuration(0);
        m_progress->setAutoClose(false);
        m_progress->setAutoReset(false);
        QObject::connect(m_progress, &QProgressDialog::canceled, [this] { m_cancelled = true; });
        m_progress->show();
    }
    m_progress->setLabelText(step);
    keepAlive();
}

bool MessageBoxPrompt::cancelled() const {
    return m_cancelled;
}

void MessageBoxPrompt::keepAlive() {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

void MessageBoxPrompt::finish() {
    if (m_progress) {
        m_progress->hide();
        m_progress->deleteLater();
        m_progress = nullptr;
    }
}

} // namespace tavlix
