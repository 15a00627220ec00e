// Where the program's windows open: over the main window and wholly inside the free area of its
// screen, closable with Esc as with the close box. Holds widgets (a window-layer helper).
#pragma once

#include <QMargins>
#include <QRect>

#include <functional>

class QWidget;

namespace tavlix {

// The frame rectangle of a window of `frameSize` centred over `anchorFrame` and moved (and if
// need be shrunk) to lie inside `available`.
QRect placedFrame(QSize frameSize, const QRect& anchorFrame, const QRect& available);

// Sizes `window` to fit the free area of `anchor`'s screen and centres its frame over `anchor`
// (over that screen when there is no anchor).
void placeOver(QWidget& window, const QWidget* anchor);

// The main window: no larger than its screen's free area, centred on it. Placed windows are
// moved back inside that area when their layout makes them grow.
void fitToScreen(QWidget& window);

// Esc closes the window as its close box does (once per window, however often it is called);
// with an open drop-down list it closes the list alone. While `holdsInput` says the window holds
// unsaved input, Esc only hides it, so the input is there when it is shown again.
void closeOnEscape(QWidget& window, std::function<bool()> holdsInput = {});

// The width a window manager's title bar needs for the window's whole title beside its icon and
// buttons.
int titleBarWidth(const QWidget& window);

// Places, shows and raises a window: the way every window of the program opens.
void showPlaced(QWidget& window, const QWidget* anchor);

} // namespace tavlix
