// Answers the message boxes a test provokes: records each box's text and presses a button.
#pragma once

#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <deque>

namespace tavlix::test {

class MessageBoxes : public QObject {
    Q_OBJECT
public:
    MessageBoxes();
    ~MessageBoxes() override;

    // The buttons to press for the next boxes, in order; a box with no queued answer gets its
    // default button (or its escape button when it has no default).
    void answer(QMessageBox::StandardButton button) { m_answers.push_back(button); }

    const QStringList& texts() const { return m_texts; }
    QString last() const { return m_texts.isEmpty() ? QString() : m_texts.last(); }
    const QList<QMessageBox::Icon>& icons() const { return m_icons; }
    void clear();

private:
    void poll();

    QTimer m_timer;
    std::deque<QMessageBox::StandardButton> m_answers;
    QStringList m_texts;
    QList<QMessageBox::Icon> m_icons;
};

} // namespace tavlix::test
