#include "app/MenuBarView.h"

#include "app/HelpWindow.h"
#include "widgets/PlacedWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include <initializer_list>

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

// The entries of each menu by the buttons' names; nullptr is a separator.
struct MenuPlan {
    const char16_t* title;
    std::initializer_list<const char16_t*> buttons;
};

const MenuPlan kMenus[] = {
    {u"İşlemler",
     {u"Command7", u"Command8", u"Command5", nullptr, u"Command9", u"Command3", u"Command11",
      u"Command10", u"Command15", nullptr, u"Command12", u"Command20", u"Command22", nullptr,
      u"Command2"}},
    {u"Alıcılar", {u"Command4"}},
    {u"Tanımlar", {u"Command1"}},
    {u"Raporlar", {u"Command6"}},
};

} // namespace

QAction* addButtonEntry(QMenu& menu, QAbstractButton& button) {
    QAction* action = menu.addAction(button.text().trimmed());
    action->setObjectName(u"menu"_s + button.objectName());
    QObject::connect(action, &QAction::triggered, &button, &QAbstractButton::click);
    new ButtonFollower(button, *action);
    return action;
}

void buildMenuBar(QMainWindow& window) {
    QMenuBar* bar = window.menuBar();
    for (const MenuPlan& plan : kMenus) {
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
    QMenu* help = bar->addMenu(u"Yardım"_s);
    QAction* howTo = help->addAction(u"Fatura Nasıl Düzenlenir"_s);
    howTo->setObjectName(u"menuHelp"_s);
    QObject::connect(howTo, &QAction::triggered, &window, [&window] {
        auto* helpWindow = window.findChild<HelpWindow*>();
        if (!helpWindow)
            helpWindow = new HelpWindow(&window);
        showPlaced(*helpWindow, &window);
    });
}

} // namespace tavlix
