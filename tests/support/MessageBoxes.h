// Answers the message boxes a test provokes: records each box's text, checks that a user can read
// it (boxFault) and presses a button. A box that cannot be read fails the test.
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
    // The faults of the boxes answered so far, each with its text.
    const QStringList& faults() const { return m_faults; }
    void clear();

private:
    void poll();

    QTimer m_timer;
    std::deque<QMessageBox::StandardButton> m_answers;
    QStringList m_texts;
    QList<QMessageBox::Icon> m_icons;
    QStringList m_faults;
};

// What keeps a user from reading a shown box, empty when nothing does: its text not shown as
// plain text, its text cut by its label, its title cut by a title bar, the box wider than about
// 60 % of its screen when the text could wrap, or the box off the screen.
QString boxFault(QMessageBox& box);

} // namespace tavlix::test
