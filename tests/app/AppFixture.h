// A program folder of its own for each main-window test: TavlixUpdate beside the program, Data/,
// Firmalarım/, prgDosyaları/, and a DATA.xlsx filled cell by cell as the case needs.
#pragma once

#include "app/MainWindow.h"
#include "support/MessageBoxes.h"

#include <QComboBox>
#include <QDate>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace tavlix::store {
class Workbook;
}

namespace tavlix::test {

class AppFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString programPath() const { return m_dir.path(); }
    QString dataPath() const;
    // Creates DATA.xlsx as the program does, then lets `fill` write cells into it.
    void makeData(const std::function<void(store::Workbook&)>& fill);
    // The usual two companies: "Alfa Ltd" (B) and "Beta AŞ" (C), kodDATA with the six types,
    // two currencies and two countries, and three customers.
    void makeStandardData(const QString& b15 = QString(),
                          const std::function<void(store::Workbook&)>& more = {});
    void setToday(const QDate& date);

    // Starts the main window; the boxes it shows are answered and recorded in `boxes`.
    MainWindow& start();
    // Picks a company or type as the user does: into the box, a new text, out of the box.
    void selectCompany(const QString& name);
    void chooseType(const QString& typeText);

    template <typename T> T* find(const char* name) const {
        return m_window->findChild<T*>(QString::fromUtf8(name));
    }

    // Gives the widget the focus in its own window, which is shown and made active first.
    void focus(QWidget* w);
    // Leaves `w` for real: the focus goes into `w` and then on, as Tab goes (on the main window
    // to Text11, a field with no leave handler).
    void leave(QWidget* w);
    // Shows the main window and makes it the active one; the focus starts in Text11.
    void activate();
    // The entries of a box or list, in order.
    static QStringList items(const QComboBox* box);
    static QStringList items(const QListWidget* list);

    QTemporaryDir m_dir;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<MessageBoxes> boxes;
};

} // namespace tavlix::test
