#include "widgets/MessageBoxPrompt.h"

#include "widgets/BrowserPlacement.h"
#include "widgets/InputOnlyTo.h"
#include "widgets/PlacedWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>

#include <functional>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tavlix {

namespace {

// Stays on screen until the operation has stopped: "İptal", Esc and the window's close button
// only ask it to stop, and the button then says so.
class OperationProgressDialog : public QProgressDialog {
public:
    OperationProgressDialog(const QString& step, QWidget* parent, std::function<void()> onCancel)
        : QProgressDialog(step, QString(), 0, 0, parent)
        , m_button(new QPushButton(u"İptal"_s, this))
        , m_onCancel(std::move(onCancel)) {
        setCancelButton(m_button);
        // The button asks; the dialog's own cancel() would hide it while the operation runs.
        QObject::disconnect(this, &QProgressDialog::canceled, this, nullptr);
        QObject::connect(this, &QProgressDialog::canceled, this, [this] { requestCancel(); });
    }
    void reject() override { requestCancel(); }

protected:
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        requestCancel();
    }

private:
    void requestCancel() {
        if (!m_button->isEnabled())
            return;
        m_button->setText(u"İptal ediliyor…"_s);
        m_button->setEnabled(false);
        m_onCancel();
    }

    QPushButton* m_button;
    std::function<void()> m_onCancel;
};

} // namespace

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
        m_progress =
            new OperationProgressDialog(step, visibleParent(), [this] { m_cancelled = true; });
        m_progress->setObjectName(u"ProgressDialog"_s);
        m_progress->setWindowTitle(u"Tavlix"_s);
        m_progress->setWindowModality(Qt::ApplicationModal);
        m_progress->setMinimumDuration(0);
        m_progress->setAutoClose(false);
        m_progress->setAutoReset(false);
        m_progress->show();
        // Modality keeps the window system's input away; the filter also stops input sent to a
        // widget directly, so no other operation starts inside this one.
        m_inputToDialog = std::make_unique<InputOnlyTo>(m_progress);
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

QRect MessageBoxPrompt::browserWindowArea() const {
    const QWidget* parent = visibleParent();
    const QWidget* program = parent ? parent->window() : nullptr;
    const QScreen* screen = program ? program->screen() : nullptr;
    if (!screen)
        return {};
    return browserWindowBeside(screen->availableGeometry(), program->frameGeometry(),
                               m_progress ? m_progress->frameGeometry() : QRect());
}

void MessageBoxPrompt::finish() {
    m_inputToDialog.reset();
    if (m_progress) {
        m_progress->hide();
        m_progress->deleteLater();
        m_progress = nullptr;
    }
}

} // namespace tavlix
