#include "support/MessageBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>

namespace tavlix::test {

MessageBoxes::MessageBoxes() {
    m_timer.setInterval(5);
    connect(&m_timer, &QTimer::timeout, this, &MessageBoxes::poll);
    m_timer.start();
}

MessageBoxes::~MessageBoxes() {
    m_timer.stop();
}

void MessageBoxes::clear() {
    m_texts.clear();
    m_icons.clear();
    m_answers.clear();
}

void MessageBoxes::poll() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box || !box->isVisible() || box->property("tavlixAnswered").toBool())
            continue;
        box->setProperty("tavlixAnswered", true);
        m_texts << box->text();
        m_icons << box->icon();
        QAbstractButton* button = nullptr;
        if (!m_answers.empty()) {
            button = box->button(m_answers.front());
            m_answers.pop_front();
        }
        if (!button)
            button = box->defaultButton();
        if (!button)
            button = box->escapeButton();
        if (!button && !box->buttons().isEmpty())
            button = box->buttons().first();
        if (button)
            button->click();
        else
            box->done(0);
    }
}

} // namespace tavlix::test
