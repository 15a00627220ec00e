// Rows tall enough for Turkish capitals: the marks above Ç Ğ İ Ö Ş Ü (and the cedilla below)
// reach past a font's ascent, so a row only as tall as the font's line drew "ÖZEL" as "OZEL".
#pragma once

class QAbstractItemView;
class QFont;
class QWidget;

namespace tavlix {

// The least row height that draws every Turkish capital whole in `font`.
int capitalRowHeight(const QFont& font);

// Gives every list and drop-down list under `root` (and `root` itself) rows of at least that
// height, keeping each view's own drawing. Safe to call again.
void keepCapitalsWhole(QWidget& root);
void keepCapitalsWhole(QAbstractItemView& view);

} // namespace tavlix
