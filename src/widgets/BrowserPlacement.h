// Where a visible browser window opens while Tavlix works with it: beside the program's window,
// so the program and its progress dialog (with its "İptal") stay in sight.
#pragma once

#include <QRect>

namespace tavlix {

// The frame for a browser window on `screen` (its free area): the largest strip of it beside
// `program` (left, right, above or below) when one is at least a usable browser's size; otherwise
// the largest strip that leaves `dialog` uncovered. The whole screen when `program` is elsewhere,
// and empty when there is no screen or nothing is left.
QRect browserWindowBeside(const QRect& screen, const QRect& program, const QRect& dialog);

} // namespace tavlix
