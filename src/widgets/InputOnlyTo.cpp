#include "widgets/InputOnlyTo.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QWidget>

namespace tavlix {

InputOnlyTo::InputOnlyTo(QWidget* window)
    : m_window(window) {
    QCoreApplication::instance()->installEventFilter(this);
}

InputOnlyTo::~InputOnlyTo() {
    QCoreApplication::instance()->removeEventFilter(this);
}

bool InputOnlyTo::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::Shortcut:
        break;
    default:
        return false;
    }
    const auto* widget = qobject_cast<const QWidget*>(watched);
    if (!widget || !m_window)
        return false;
    const QWidget* window = widget->window();
    return window != m_window && !qobject_cast<const QDialog*>(window);
}

} // namespace tavlix
