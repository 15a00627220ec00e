// Where the program's windows open: over the main window and wholly inside the free area of its
// screen, closable with Esc as with the close box. Holds widgets (a window-layer helper).
#pragma once

#include <QMargins>
#include <QRect>

class QWidget;

namespace tavlix {

// The frame rectangle of a window of `frameSize` centred over `anchorFrame` and moved (and if
// need be shrunk) to lie inside `available`.
QRect placedFrame(QSize frameSize, const QRect& anchorFrame, const QRect& available);

// Sizes `window` to fit the free area of `anchor`'s screen and centres its frame over `anchor`
// (over that screen when there is no anchor).
void placeOver(QWidget& window, const QWidget* anchor);

// The main window: no larger than its screen's free area, centred on it.
void fitToScreen(QWidget& window);

// Esc closes the window as its close box does (once per window, however often it is called).
void closeOnEscape(QWidget& window);

// Places, shows and raises a window: the way every window of the program opens.
void showPlaced(QWidget& window, const QWidget* anchor);

} // namespace tavlix
