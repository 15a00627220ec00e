// The main window's menus "İşlemler", "Alıcılar", "Tanımlar", "Raporlar" and "Yardım": each entry
// repeats one of the window's buttons, runs its click and is enabled exactly when the button can
// be clicked (enabled and not hidden). "Yardım" opens a short help window.
#pragma once

class QMainWindow;

namespace tavlix {

// Builds the five menus on `window`'s menu bar from the buttons among its children (found by
// objectName; a button that does not exist is left out).
void buildMenuBar(QMainWindow& window);

} // namespace tavlix
