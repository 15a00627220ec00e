// While an operation runs in a window that is not modal (the captcha has to be typed there),
// the user's input reaches only that window and dialogs: no click elsewhere starts a second
// operation inside the first.
#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace tavlix {

class InputOnlyTo : public QObject {
public:
    explicit InputOnlyTo(QWidget* window);
    ~InputOnlyTo() override;
    InputOnlyTo(const InputOnlyTo&) = delete;
    InputOnlyTo& operator=(const InputOnlyTo&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_window;
};

} // namespace tavlix
