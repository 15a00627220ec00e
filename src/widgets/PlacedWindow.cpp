#include "widgets/PlacedWindow.h"

#include "widgets/CapitalRowsView.h"

#include <QGuiApplication>
#include <QKeySequence>
#include <QLayout>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QWidget>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tavlix {

namespace {

QMargins frameMargins(const QWidget& w) {
    const QRect frame = w.frameGeometry();
    const QRect inner = w.geometry();
    return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
            frame.bottom() - inner.bottom()};
}

// Before a window is mapped its frame is unknown: take the anchor's (a sibling window gets the
// same decoration), else a title bar and border as the style draws them.
QMargins expectedMargins(const QWidget& window, const QWidget* anchor) {
    if (const QMargins own = frameMargins(window); !own.isNull())
        return own;
    if (anchor) {
        if (const QMargins other = frameMargins(*anchor->window()); !other.isNull())
            return other;
    }
    const int border = window.style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth);
    // Window managers draw taller title bars than the style's own; two text lines is typical.
    const int title = std::max(window.style()->pixelMetric(QStyle::PM_TitleBarHeight),
                               2 * window.fontMetrics().height());
    return {border, title + border, border, border};
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
    window.move(frame.topLeft());
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
}

void closeOnEscape(QWidget& window) {
    const QString name = u"closeOnEscape"_s;
    if (window.findChild<QShortcut*>(name, Qt::FindDirectChildrenOnly))
        return;
    auto* shortcut = new QShortcut(QKeySequence(Qt::Key_Escape), &window);
    shortcut->setObjectName(name);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, &window, &QWidget::close);
}

void showPlaced(QWidget& window, const QWidget* anchor) {
    closeOnEscape(window);
    keepCapitalsWhole(window);
    placeOver(window, anchor);
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace tavlix
