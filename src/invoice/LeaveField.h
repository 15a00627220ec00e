// "Leaves the field" handlers of every window. Focus that goes to another window (one of ours, a
// message box or another program) or to a popup comes back to the field: that is not leaving it,
// and running the handler then would act on a half-made choice (the invoice type's handler empties
// the invoice).
#pragma once

#include <functional>

class QComboBox;
class QEvent;
class QWidget;

namespace tavlix {

// True when `event` is a focus loss that leaves the field for another control of its window.
bool leavesField(const QEvent& event);
// True when `event` is the focus coming into the field from another control of its window, not
// back from another window or a popup.
bool entersField(const QEvent& event);

// Runs `handler` each time the focus leaves `field` for another control of the same window while
// the field is shown (a field hidden or torn down is not left by the user). The watch lives as
// long as the field.
void onLeaveField(QWidget* field, std::function<void()> handler);

// Like onLeaveField, but only when the box is left with another text than it had when the focus
// came in: a box left as it was changes nothing. When `mayChange` returns false, the box gets its
// former choice back and `handler` does not run.
void onLeaveChanged(QComboBox* box, std::function<void()> handler,
                    std::function<bool()> mayChange = {});

} // namespace tavlix
