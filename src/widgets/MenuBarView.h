// Menu entries that stand for buttons: each runs its button's click and is enabled exactly when
// the button can be clicked (enabled and not hidden).
#pragma once

#include <initializer_list>
#include <span>

class QAbstractButton;
class QMainWindow;
class QMenu;
class QAction;

namespace tavlix {

// A menu of buttons: its title and the buttons' objectNames in order; nullptr is a separator.
struct ButtonMenu {
    const char16_t* title;
    std::initializer_list<const char16_t*> buttons;
};

// Adds the menus to `window`'s menu bar from the buttons among its children (a button that does
// not exist is left out).
void addButtonMenus(QMainWindow& window, std::span<const ButtonMenu> menus);

// One menu entry standing for `button`.
QAction* addButtonEntry(QMenu& menu, QAbstractButton& button);

} // namespace tavlix
