#include "widgets/PlacedWindow.h"

#include "widgets/CapitalRowsView.h"
#include "widgets/DropDownListView.h"
#include "widgets/MessageBoxPrompt.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLayout>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QWidget>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace tavlix {

namespace {

QMargins frameMargins(const QWidget& w) {
    const QRect frame = w.frameGeometry();
    const QRect inner = w.geometry();
    return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
            frame.bottom() - inner.bottom()};
}

// A title bar as window managers draw it: taller than the style's own; two text lines and their
// padding is typical.
int titleBarAllowance(const QWidget& window) {
    return std::max(window.style()->pixelMetric(QStyle::PM_TitleBarHeight),
                    2 * window.fontMetrics().height() + 4);
}

// Before a window is mapped its frame is unknown: take the anchor's (a sibling window gets the
// same decoration), else a border as the style draws it. A window manager tells its frame only
// after the first map, and some platforms tell none: room for a title bar is kept in any case.
QMargins expectedMargins(const QWidget& window, const QWidget* anchor) {
    QMargins margins = frameMargins(window);
    if (margins.isNull() && anchor)
        margins = frameMargins(*anchor->window());
    if (margins.isNull()) {
        // A border, and below it the resize handle some window managers draw.
        const int border = window.style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth);
        margins = {border, border, border, 2 * border};
    }
    margins.setTop(std::max(margins.top(), margins.bottom() + titleBarAllowance(window)));
    return margins;
}

QScreen* screenOf(const QWidget& window, const QWidget* anchor) {
    QScreen* screen = anchor ? anchor->window()->screen() : window.screen();
    return screen ? screen : QGuiApplication::primaryScreen();
}

void place(QWidget& window, const QWidget* anchor) {
    QScreen* screen = screenOf(window, anchor);
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const QMargins margins = expectedMargins(window, anchor);
    const QSize room = available.size().shrunkBy(margins);
    if (QLayout* layout = window.layout())
        layout->activate(); // its least size, which a first show would enforce
    if (!window.testAttribute(Qt::WA_Resized))
        window.adjustSize(); // the size a first show would give it
    QSize size = window.size().boundedTo(room).expandedTo(window.minimumSize().boundedTo(room));
    window.resize(size);
    size = window.size(); // a layout may refuse to shrink further
    const QRect anchorFrame = anchor ? anchor->window()->frameGeometry() : available;
    const QRect frame = placedFrame(size.grownBy(margins), anchorFrame, available);
    // The inner rectangle: a move() of a window already made but not yet mapped would be taken
    // as the inner position, putting the title bar above the frame computed here.
    window.setGeometry(QRect(frame.topLeft() + QPoint(margins.left(), margins.top()), size));
}

// Brings a window whose layout grew while shown back inside the free area of its screen.
class KeepInside : public QObject {
public:
    explicit KeepInside(QWidget& window)
        : QObject(&window)
        , m_window(window) {
        setObjectName(u"keepInside"_s);
        window.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &m_window && event->type() == QEvent::Resize && m_window.isVisible())
            moveInside();
        return false;
    }

private:
    void moveInside() {
        QScreen* screen = m_window.screen();
        if (!screen)
            return;
        const QRect available = screen->availableGeometry();
        const QMargins margins = expectedMargins(m_window, nullptr);
        const QRect frame = m_window.geometry().marginsAdded(margins);
        if (available.contains(frame))
            return;
        const QRect inside = placedFrame(frame.size(), frame, available);
        m_window.move(m_window.pos() + (inside.topLeft() - frame.topLeft()));
    }

    QWidget& m_window;
};

void keepInside(QWidget& window) {
    if (!window.findChild<QObject*>(u"keepInside"_s, Qt::FindDirectChildrenOnly))
        new KeepInside(window);
}

} // namespace

QRect placedFrame(QSize frameSize, const QRect& anchorFrame, const QRect& available) {
    frameSize = frameSize.boundedTo(available.size());
    QRect frame(QPoint(), frameSize);
    frame.moveCenter(anchorFrame.center());
    const int x = std::clamp(frame.left(), available.left(), available.right() - frame.width() + 1);
    const int y = std::clamp(frame.top(), available.top(), available.bottom() - frame.height() + 1);
    frame.moveTopLeft({x, y});
    return frame;
}

void placeOver(QWidget& window, const QWidget* anchor) {
    place(window, anchor);
}

void fitToScreen(QWidget& window) {
    place(window, nullptr);
    keepInside(window);
}

namespace {

// Notes an Esc pressed while a drop-down list is open: the list closes on it (already while the
// shortcuts are looked up), and the same key then reaches the window's shortcut, which must leave
// the window alone.
class PopupEscapes : public QObject {
public:
    static bool closedPopup() { return instance().m_closedPopup; }

    bool eventFilter(QObject*, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress &&
            type != QEvent::KeyRelease)
            return false;
        if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape)
            return false;
        if (type == QEvent::KeyRelease)
            m_closedPopup = false;
        else if (QApplication::activePopupWidget())
            m_closedPopup = true;
        return false;
    }

    // Watches every key of the application, made with the first window that needs it.
    static PopupEscapes& instance() {
        static QPointer<PopupEscapes> escapes;
        if (!escapes) {
            escapes = new PopupEscapes;
            escapes->setParent(QCoreApplication::instance());
            QCoreApplication::instance()->installEventFilter(escapes);
        }
        return *escapes;
    }

private:
    bool m_closedPopup = false;
};

// The Esc of one window: an open drop-down list closes alone; a window holding unsaved input only
// hides, keeping it for the next show; any other closes as with its close box.
class EscapeClose : public QObject {
public:
    explicit EscapeClose(QWidget& window)
        : QObject(&window)
        , m_window(window) {
        setObjectName(u"closeOnEscape"_s);
        PopupEscapes::instance();
        auto* shortcut = new QShortcut(QKeySequence(Qt::Key_Escape), &window);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, &EscapeClose::escape);
    }
    void setHoldsInput(std::function<bool()> holdsInput) { m_holdsInput = std::move(holdsInput); }

private:
    void escape() {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            popup->close();
            return;
        }
        if (PopupEscapes::closedPopup())
            return;
        if (m_holdsInput && m_holdsInput())
            m_window.hide();
        else
            m_window.close();
    }

    QWidget& m_window;
    std::function<bool()> m_holdsInput;
};

} // namespace

void closeOnEscape(QWidget& window, std::function<bool()> holdsInput) {
    auto* escape = static_cast<EscapeClose*>(
        window.findChild<QObject*>(u"closeOnEscape"_s, Qt::FindDirectChildrenOnly));
    if (!escape)
        escape = new EscapeClose(window);
    if (holdsInput)
        escape->setHoldsInput(std::move(holdsInput));
}

int titleBarWidth(const QWidget& window) {
    // What a title bar gives its icon and buttons, beside the title.
    constexpr int kTitleBarButtons = 160;
    QFont titleFont = window.font();
    titleFont.setBold(true);
    return QFontMetrics(titleFont).horizontalAdvance(window.windowTitle()) + kTitleBarButtons;
}

void showPlaced(QWidget& window, const QWidget* anchor) {
    closeOnEscape(window);
    keepCapitalsWhole(window);
    keepEntriesWhole(window);
    fitEveryMessageBox();
    placeOver(window, anchor);
    keepInside(window);
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace tavlix
