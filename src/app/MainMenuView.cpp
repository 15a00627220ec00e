#include "app/MainMenuView.h"

#include "app/HelpWindow.h"
#include "widgets/MenuBarView.h"
#include "widgets/PlacedWindow.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

using namespace Qt::StringLiterals;

namespace tavlix {

namespace {

const ButtonMenu kMenus[] = {
    {u"İşlemler",
     {u"Command7", u"Command8", u"Command5", nullptr, u"Command9", u"Command3", u"Command11",
      u"Command10", u"Command15", nullptr, u"Command12", u"Command20", u"Command22", nullptr,
      u"Command2"}},
    {u"Alıcılar", {u"Command4"}},
    {u"Tanımlar", {u"Command1"}},
    {u"Raporlar", {u"Command6"}},
};

} // namespace

void buildMenuBar(QMainWindow& window) {
    addButtonMenus(window, kMenus);
    QMenu* help = window.menuBar()->addMenu(u"Yardım"_s);
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
