// Drop-down lists that read whole: a list opens on the value in its box (not on the entry chosen
// last, which Enter would pick), is as wide as its longest entry (wider than the box where need
// be), and every entry, and a box or field whose text does not fit, carries its whole text as
// tooltip.
#pragma once

class QComboBox;
class QLineEdit;
class QWidget;

namespace tavlix {

// For one box; safe to call again. The list follows the box's entries as they change.
void keepEntriesWhole(QComboBox& box);
// For every drop-down list under `root` (and `root` itself).
void keepEntriesWhole(QWidget& root);

// The whole text as tooltip while the field is too narrow for it, and the beginning in sight
// when the program (not the user's typing) sets the text.
void tipWhenCut(QLineEdit& edit);

} // namespace tavlix
