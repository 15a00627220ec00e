#include "invoice/LeaveField.h"

#include <QFocusEvent>
#include <QWidget>

namespace tavlix {

namespace {

class LeaveWatch : public QObject {
public:
    LeaveWatch(QWidget* field, std::function<void()> handler)
        : QObject(field)
        , m_field(field)
        , m_handler(std::move(handler)) {
        field->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_field && m_field->isVisible() && leavesField(*event))
            m_handler();
        return false;
    }

private:
    QWidget* m_field;
    std::function<void()> m_handler;
};

} // namespace

namespace {

bool withinTheWindow(const QEvent& event) {
    switch (static_cast<const QFocusEvent&>(event).reason()) {
    case Qt::ActiveWindowFocusReason: // another window, a message box included
    case Qt::PopupFocusReason:        // a drop-down list or a menu
    case Qt::MenuBarFocusReason:      // the menu bar through the keyboard
        return false;
    default:
        return true;
    }
}

} // namespace

bool leavesField(const QEvent& event) {
    return event.type() == QEvent::FocusOut && withinTheWindow(event);
}

bool entersField(const QEvent& event) {
    return event.type() == QEvent::FocusIn && withinTheWindow(event);
}

void onLeaveField(QWidget* field, std::function<void()> handler) {
    new LeaveWatch(field, std::move(handler));
}

} // namespace tavlix
