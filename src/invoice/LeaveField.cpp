#include "invoice/LeaveField.h"

#include <QComboBox>
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

class ChangeWatch : public QObject {
public:
    ChangeWatch(QComboBox* box, std::function<void()> handler, std::function<bool()> mayChange)
        : QObject(box)
        , m_box(box)
        , m_handler(std::move(handler))
        , m_mayChange(std::move(mayChange)) {
        remember();
        box->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != m_box)
            return false;
        // Coming back from another window is no entry: the text of the real entry still counts.
        if (event->type() == QEvent::FocusIn && (entersField(*event) || !m_inside)) {
            m_inside = true;
            remember();
        } else if (leavesField(*event)) {
            m_inside = false;
            if (m_box->isVisible() && m_box->currentText() != m_text) {
                if (!m_mayChange || m_mayChange())
                    m_handler();
                else
                    restore();
            }
        }
        return false;
    }

private:
    void remember() {
        m_index = m_box->currentIndex();
        m_text = m_box->currentText();
    }
    void restore() {
        m_box->setCurrentIndex(m_index);
        if (m_box->currentText() != m_text)
            m_box->setEditText(m_text);
    }

    QComboBox* m_box;
    std::function<void()> m_handler;
    std::function<bool()> m_mayChange;
    bool m_inside = false;
    int m_index = -1;
    QString m_text;
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

void onLeaveChanged(QComboBox* box, std::function<void()> handler,
                    std::function<bool()> mayChange) {
    new ChangeWatch(box, std::move(handler), std::move(mayChange));
}

} // namespace tavlix
