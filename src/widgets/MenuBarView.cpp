#include "widgets/MenuBarView.h"

#include <QAbstractButton>
#include <QAction>
#include <QEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

using namespace Qt::StringLiterals;

namespace tavlix {

namespace {

// Keeps an entry in step with its button: enabled changes and the button being hidden or shown.
class ButtonFollower : public QObject {
public:
    ButtonFollower(QAbstractButton& button, QAction& action)
        : QObject(&action)
        , m_button(button)
        , m_action(action) {
        button.installEventFilter(this);
        update();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::EnabledChange:
        case QEvent::ShowToParent:
        case QEvent::HideToParent:
            update();
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void update() { m_action.setEnabled(m_button.isEnabled() && !m_button.isHidden()); }

    QAbstractButton& m_button;
    QAction& m_action;
};

} // namespace

QAction* addButtonEntry(QMenu& menu, QAbstractButton& button) {
    QAction* action = menu.addAction(button.text().trimmed());
    action->setObjectName(u"menu"_s + button.objectName());
    QObject::connect(action, &QAction::triggered, &button, &QAbstractButton::click);
    new ButtonFollower(button, *action);
    return action;
}

void addButtonMenus(QMainWindow& window, std::span<const ButtonMenu> menus) {
    QMenuBar* bar = window.menuBar();
    for (const ButtonMenu& plan : menus) {
        QMenu* menu = bar->addMenu(QString::fromUtf16(plan.title));
        for (const char16_t* name : plan.buttons) {
            if (!name) {
                menu->addSeparator();
            } else if (auto* button =
                           window.findChild<QAbstractButton*>(QString::fromUtf16(name))) {
                addButtonEntry(*menu, *button);
            }
        }
    }
}

} // namespace tavlix
