#include "widgets/MessageBoxPrompt.h"

#include "widgets/BrowserPlacement.h"
#include "widgets/InputOnlyTo.h"
#include "widgets/PlacedWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTextDocument>

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
        // A step may carry a site's words.
        auto* label = new QLabel(step, this);
        label->setTextFormat(Qt::PlainText);
        setLabel(label);
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
    : m_parent(parent) {
    fitEveryMessageBox();
}

MessageBoxPrompt::~MessageBoxPrompt() {
    finish();
}

namespace {

// QMessageBox sizes itself when shown: up to its soft limit on one line, wrapped beyond it, and
// past its hard limit with words broken anywhere. The width chosen here stays inside both.
int softLimit(int screenWidth) {
    return std::min(screenWidth / 2, 500);
}
int hardLimit(int screenWidth) {
    return screenWidth <= 1024 ? screenWidth : std::min(screenWidth - 480, 1000);
}

QScreen* screenOf(const QMessageBox& box) {
    const QWidget* parent = box.parentWidget();
    QScreen* screen = parent ? parent->window()->screen() : box.screen();
    return screen ? screen : QGuiApplication::primaryScreen();
}

// Gives the box's label the width in which its whole text reads: one line where the text is
// short, else wrapped at about 60 % of the screen; never narrower than the title bar needs.
void fitToText(QMessageBox& box) {
    auto* label = box.findChild<QLabel*>(u"qt_msgbox_label"_s);
    QLayout* layout = box.layout();
    QScreen* screen = screenOf(box);
    if (!label || !layout || !screen)
        return;
    const int screenWidth = screen->availableGeometry().width();
    label->setMinimumWidth(0);
    label->setWordWrap(false);
    layout->activate();
    const int natural = label->minimumSizeHint().width();
    const int besides = layout->totalMinimumSize().width() - natural;
    const int hard = hardLimit(screenWidth);
    int width = std::max(titleBarWidth(box), std::min(natural + besides, screenWidth * 6 / 10));
    if (natural + besides > width) {
        // Wrapped: the box wraps only past its soft limit, and a word (a path) stays whole.
        const QFontMetrics metrics(label->font());
        int word = 0;
        for (const QString& w : label->text().split(QRegularExpression(u"\\s+"_s)))
            word = std::max(word, metrics.horizontalAdvance(w));
        width = std::max({width, softLimit(screenWidth) + 1, word + besides + 2});
    }
    label->setMinimumWidth(std::min(width, hard) - besides);
}

// Fits a message box each time it is shown, before the box sizes itself.
class FitOnShow : public QObject {
public:
    explicit FitOnShow(QObject* parent)
        : QObject(parent) {
        setObjectName(u"fitOnShow"_s);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            if (auto* box = qobject_cast<QMessageBox*>(watched)) {
                if (box->textFormat() == Qt::AutoText)
                    box->setTextFormat(Qt::PlainText);
                fitToText(*box);
            }
        }
        return false;
    }
};

} // namespace

void keepTitleWhole(QMessageBox& box) {
    if (!box.findChild<QObject*>(u"fitOnShow"_s, Qt::FindDirectChildrenOnly))
        box.installEventFilter(new FitOnShow(&box));
}

void fitEveryMessageBox() {
    static QPointer<FitOnShow> filter;
    if (filter || !QCoreApplication::instance())
        return;
    filter = new FitOnShow(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(filter);
}

QMessageBox::StandardButton showMessageBox(QMessageBox::Icon icon, const QString& title,
                                           const QString& text,
                                           QMessageBox::StandardButtons buttons, QWidget* parent,
                                           QMessageBox::StandardButton defaultButton,
                                           const QString& informativeText) {
    QMessageBox box(icon, title, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    if (!informativeText.isEmpty())
        box.setInformativeText(informativeText);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    keepTitleWhole(box);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QMessageBox::Icon messageBoxIcon(UserPrompt::Icon icon) {
    static constexpr QMessageBox::Icon kIcons[] = {QMessageBox::Information, QMessageBox::Warning,
                                                   QMessageBox::Critical, QMessageBox::Question};
    return kIcons[static_cast<int>(icon)];
}

QString plainToolTip(const QString& text) {
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpacePre) : text;
}

QWidget* MessageBoxPrompt::visibleParent() const {
    return m_parent && m_parent->isVisible() ? m_parent.data() : nullptr;
}

void MessageBoxPrompt::message(Icon icon, const QString& text, const QString& title) {
    stepAside();
    showMessageBox(messageBoxIcon(icon), title, text, QMessageBox::Ok, visibleParent());
}

bool MessageBoxPrompt::ask(const QString& text, const QString& title) {
    stepAside();
    return showMessageBox(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
                          visibleParent(), QMessageBox::No) == QMessageBox::Yes;
}

int MessageBoxPrompt::choose(const QString& text, const QString& title, const QStringList& choices,
                             int defaultChoice) {
    stepAside();
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, visibleParent());
    box.setTextFormat(Qt::PlainText);
    QList<QAbstractButton*> buttons;
    for (const QString& choice : choices)
        buttons.append(box.addButton(choice, buttons.size() + 1 == choices.size()
                                                 ? QMessageBox::RejectRole
                                                 : QMessageBox::AcceptRole));
    if (defaultChoice >= 0 && defaultChoice < buttons.size())
        box.setDefaultButton(qobject_cast<QPushButton*>(buttons.at(defaultChoice)));
    keepTitleWhole(box);
    box.exec();
    const qsizetype pressed = buttons.indexOf(box.clickedButton());
    return pressed < 0 ? int(choices.size()) - 1 : int(pressed);
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
    m_progress->show();
    keepAlive();
}

// A box over the progress dialog would leave it behind as an empty "Tavlix" window; it stands
// aside until the next step. The filter still keeps the input from the rest of the program.
void MessageBoxPrompt::stepAside() {
    if (m_progress)
        m_progress->hide();
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
    // Before the window manager has framed the dialog its frame is its bare geometry: the title
    // bar's room is kept free all the same.
    const QRect dialog = m_progress && m_progress->isVisible()
                             ? m_progress->frameGeometry().marginsAdded(QMargins(8, 40, 8, 8))
                             : QRect();
    return browserWindowBeside(screen->availableGeometry(), program->frameGeometry(), dialog);
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
