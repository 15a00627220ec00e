#include "AppFixture.h"

#include "store/DataWorkbook.h"
#include "store/WorkbookStore.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace tavlix::test {

void AppFixture::SetUp() {
    ASSERT_TRUE(m_dir.isValid());
    qputenv("TAVLIX_PROGRAM_DIR", m_dir.path().toUtf8());
    qunsetenv("TAVLIX_TODAY");
    QFile updater(m_dir.path() + u"/TavlixUpdate"_s);
    ASSERT_TRUE(updater.open(QIODevice::WriteOnly));
    for (const char* sub : {"Data", "Firmalarım", "prgDosyaları"})
        QDir(m_dir.path()).mkpath(QString::fromUtf8(sub));
    boxes = std::make_unique<MessageBoxes>();
}

void AppFixture::TearDown() {
    m_window.reset();
    boxes.reset();
    qunsetenv("TAVLIX_PROGRAM_DIR");
    qunsetenv("TAVLIX_TODAY");
}

QString AppFixture::dataPath() const {
    return m_dir.path() + u"/Data/DATA.xlsx"_s;
}

void AppFixture::makeData(const std::function<void(store::Workbook&)>& fill) {
    ASSERT_TRUE(store::createDataWorkbook(dataPath()).ok());
    auto book = store::Workbook::open(dataPath());
    ASSERT_TRUE(book.ok()) << book.message().toStdString();
    fill(*book.value());
    ASSERT_TRUE(book.value()->save().ok());
}

void AppFixture::makeStandardData(const QString& b15,
                                  const std::function<void(store::Workbook&)>& more) {
    makeData([&](store::Workbook& book) {
        store::Worksheet& prg = *book.sheet(u"prgDATA"_s);
        prg.writeText(2, 2, u"Alfa Ltd"_s);
        prg.writeText(2, 3, u"Beta AŞ"_s);
        prg.writeText(10, 2, u"B"_s);
        prg.writeText(10, 3, u"İ"_s);
        prg.writeText(15, 2, b15);
        prg.writeText(16, 2, u"Not bir"_s);
        prg.writeText(17, 2, u"Not iki"_s);
        prg.writeText(18, 2, u"Not üç"_s);
        store::Worksheet& kod = *book.sheet(u"kodDATA"_s);
        const char16_t* types[] = {u"SATIŞ",   u"İADE",        u"TEVKİFAT",
                                   u"İSTİSNA", u"ÖZEL MATRAH", u"İHRAÇ KAYITLI"};
        for (int i = 0; i < 6; ++i)
            kod.writeText(2 + i, 8, QString::fromUtf16(types[i]));
        kod.writeText(2, 10, u"Türkiye"_s);
        kod.writeText(3, 10, u"Almanya"_s);
        kod.writeText(2, 12, u"Türk Lirası"_s);
        kod.writeText(3, 12, u"Euro"_s);
        store::Worksheet& m = *book.sheet(u"mDATA"_s);
        const char16_t* customers[][6] = {
            {u"Abc Yapı ", u"Adres 1", u"Türkiye", u"Çankaya", u"1111111111", u"a@x.example"},
            {u"Kara ve AB", u"Adres 2", u"Türkiye", u"Konak", u"2222222222", u"b@x.example"},
            {u"A Bulut", u"Adres 3", u"Almanya", u"Yabancı", u"3333333333", u""}};
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 6; ++c)
                m.writeText(2 + r, 3 + c, QString::fromUtf16(customers[r][c]));
        }
        if (more)
            more(book);
    });
}

void AppFixture::setToday(const QDate& date) {
    qputenv("TAVLIX_TODAY", date.toString(Qt::ISODate).toUtf8());
}

MainWindow& AppFixture::start() {
    m_window = std::make_unique<MainWindow>();
    const bool ok = m_window->startUp();
    EXPECT_TRUE(ok) << boxes->texts().join(u" | "_s).toStdString();
    return *m_window;
}

void AppFixture::selectCompany(const QString& name) {
    auto* combo = find<QComboBox>("Combo4");
    focus(combo);
    combo->setEditText(name);
    leave(combo);
}

void AppFixture::chooseType(const QString& typeText) {
    auto* combo = find<QComboBox>("Combo1");
    focus(combo);
    combo->setCurrentIndex(combo->findText(typeText));
    leave(combo);
}

void AppFixture::activate() {
    if (!m_window->isVisible()) {
        find<QLineEdit>("Text11")->setFocus();
        m_window->show();
    }
    m_window->activateWindow();
    QApplication::setActiveWindow(m_window.get());
    EXPECT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
}

void AppFixture::focus(QWidget* w) {
    QWidget* top = w->window();
    if (top == m_window.get()) {
        if (!m_window->isActiveWindow())
            activate();
    } else if (!top->isActiveWindow()) {
        top->activateWindow();
        QApplication::setActiveWindow(top);
        EXPECT_TRUE(QTest::qWaitForWindowActive(top));
    }
    w->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(w->hasFocus()) << w->objectName().toStdString();
}

void AppFixture::leave(QWidget* w) {
    focus(w);
    QWidget* top = w->window();
    // Away to another field of the same window, as Tab goes: a real leave, not a window change.
    QWidget* away = top == m_window.get() ? find<QLineEdit>("Text11") : w->nextInFocusChain();
    while (away && away != w &&
           (!(away->focusPolicy() & Qt::TabFocus) || !away->isVisible() || !away->isEnabled() ||
            w->isAncestorOf(away) || away->window() != top))
        away = away->nextInFocusChain();
    ASSERT_TRUE(away && away != w);
    away->setFocus(Qt::TabFocusReason);
}

QStringList AppFixture::items(const QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

QStringList AppFixture::items(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

} // namespace tavlix::test
