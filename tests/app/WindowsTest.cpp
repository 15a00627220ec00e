// The main window among other windows: a window change or a popup is not leaving a field, a box
// left as it was changes nothing, closing the main window ends the program, and Qt's own buttons
// speak Turkish.
#include "AppFixture.h"

#include "invoice/InvoiceRecord.h"
#include "platform/QtTranslation.h"
#include "widgets/ReportModel.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>

#include <functional>

using namespace Qt::StringLiterals;

namespace tavlix::test {
namespace {

// Counts the focus losses of one control, whatever their reason.
struct FocusOutCounter : QObject {
    explicit FocusOutCounter(QObject* watched) { watched->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        count += event->type() == QEvent::FocusOut;
        return false;
    }
    int count = 0;
};

class Windows : public AppFixture {
protected:
    // An invoice half made: company and type chosen, two lines, the invoice date taken and its
    // box shown again for a new choice, and a new invoice date, dispatch date, currency and
    // customer picked in their boxes but not yet left. The line editor has been opened and closed.
    void compose() {
        start();
        selectCompany(u"Alfa Ltd"_s);
        chooseType(u"SATIŞ"_s);
        auto* combo5 = find<QComboBox>("Combo5");
        combo5->setCurrentIndex(1);
        leave(combo5);
        QTest::mouseClick(find<QLabel>("Label8"), Qt::LeftButton);
        ASSERT_TRUE(combo5->isVisible());
        combo5->setCurrentIndex(3);
        find<QComboBox>("Combo6")->setCurrentIndex(2);
        auto* combo2 = find<QComboBox>("Combo2");
        combo2->setCurrentIndex(combo2->findText(u"Euro"_s));
        find<QComboBox>("Combo3")->setEditText(u"Abc Yapı "_s);
        for (const char16_t* name : {u"Kalem 1", u"Kalem 2"}) {
            const int n = m_window->lines().rowTotal() + 1;
            m_window->lines().appendRow({QString::number(n), QString::fromUtf16(name), u"1"_s,
                                         u"Adet"_s, u"10,00"_s, u"0"_s, u"0,00"_s, u"10,00"_s,
                                         u"18"_s, u"1,80"_s});
        }
        m_window->yekunal();
        QTest::mouseClick(find<QPushButton>("Command7"), Qt::LeftButton);
        lineEditor()->close();
        activate();
    }

    QWidget* lineEditor() const {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == u"Form7"_s)
                return w;
        }
        return nullptr;
    }

    // What a leave handler that ran by mistake would change.
    QStringList snapshot() const {
        const InvoiceRecord r = m_window->invoiceRecord();
        QStringList s{r.company,      r.typeText,     r.currency,  r.invoiceDate,
                      r.dispatchDate, r.customerName, r.taxOffice, r.notes};
        for (const QStringList& line : r.lines)
            s << line.join(u'|');
        for (const QStringList& row : r.totals)
            s << row.join(u'|');
        for (const char* name : {"Combo1", "Combo2", "Combo3", "Combo4", "Combo5", "Combo6",
                                 "Text7", "Text8", "Text10"}) {
            const QWidget* w = find<QWidget>(name);
            s << u"%1 enabled %2 shown %3"_s.arg(QString::fromLatin1(name))
                     .arg(w->isEnabled())
                     .arg(w->isVisibleTo(m_window.get()));
        }
        return s;
    }
};

TEST_F(Windows, InvoiceSurvivesAWindowChangeWithTheFocusInAnyBoxThatHasALeaveHandler) {
    makeStandardData();
    setToday(QDate(2024, 5, 20));
    // Each way the focus goes elsewhere for a while and comes back.
    const std::pair<const char*, std::function<void()>> away[] = {
        {"another program",
         [] {
             QWidget other;
             other.setWindowTitle(u"Başka program"_s);
             other.show();
             QApplication::setActiveWindow(&other);
             EXPECT_TRUE(QTest::qWaitForWindowActive(&other));
         }},
        {"the line editor",
         [this] {
             QWidget* form7 = lineEditor();
             form7->show();
             QApplication::setActiveWindow(form7);
             EXPECT_TRUE(QTest::qWaitForWindowActive(form7));
             form7->close();
         }},
        {"a message box",
         [this] {
             QMessageBox box(QMessageBox::Information, u"Tavlix"_s, u"Bilgi"_s, QMessageBox::Ok,
                             m_window.get());
             box.exec();
             EXPECT_EQ(boxes->last(), u"Bilgi"_s);
         }},
        {"a menu",
         [this] {
             QMenu menu(m_window.get());
             menu.addAction(u"Hakkında"_s);
             menu.popup(m_window->mapToGlobal(QPoint(20, 20)));
             EXPECT_TRUE(QTest::qWaitForWindowExposed(&menu));
             menu.close();
         }},
    };
    for (const char* boxName : {"Combo1", "Combo2", "Combo3", "Combo4", "Combo5", "Combo6"}) {
        SCOPED_TRACE(boxName);
        m_window.reset();
        compose();
        auto* box = find<QComboBox>(boxName);
        box->setFocus(Qt::MouseFocusReason);
        ASSERT_TRUE(box->hasFocus());
        const QStringList before = snapshot();
        ASSERT_EQ(m_window->invoiceRecord().lines.size(), 2);
        for (const auto& [what, goAway] : away) {
            SCOPED_TRACE(what);
            FocusOutCounter left(box);
            goAway();
            EXPECT_GT(left.count, 0) << "the focus really went elsewhere";
            activate();
            EXPECT_TRUE(box->hasFocus()) << "and came back";
            EXPECT_EQ(snapshot(), before);
        }
    }
}

// The question's default "Hayır" puts the former choice back and leaves the invoice as it was.
TEST_F(Windows, ABoxLeftAsItWasChangesNothingAndAChangeOverLinesIsAskedFirst) {
    makeStandardData();
    setToday(QDate(2024, 5, 20));
    const struct {
        const char* box;
        QString newText; // empty: left as it was
        bool byClick;    // left by a click on "Fatura İndir" rather than for the next field
        QString question;
    } cases[] = {
        {"Combo1", {}, false, {}},
        {"Combo1", {}, true, {}},
        {"Combo4", {}, false, {}},
        {"Combo1", u"İADE"_s, false,
         u"Fatura türü değişirse fatura satırları silinecek. Devam edilsin mi?"_s},
        {"Combo4", u"Beta AŞ"_s, false,
         u"Firma değişirse fatura satırları silinecek. Devam edilsin mi?"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.box << " " << c.newText.toStdString() << c.byClick);
        m_window.reset();
        boxes->clear();
        compose();
        const QStringList before = snapshot();
        auto* box = find<QComboBox>(c.box);
        focus(box);
        if (!c.newText.isEmpty())
            box->setCurrentIndex(box->findText(c.newText));
        if (c.byClick)
            QTest::mouseClick(find<QPushButton>("Command6"), Qt::LeftButton);
        else
            leave(box);
        EXPECT_EQ(boxes->texts(), c.question.isEmpty() ? QStringList() : QStringList{c.question});
        EXPECT_EQ(snapshot(), before);
    }
}

TEST_F(Windows, ClosingTheMainWindowWithTheLineEditorOpenEndsTheProgram) {
    makeStandardData();
    start();
    selectCompany(u"Alfa Ltd"_s);
    chooseType(u"SATIŞ"_s);
    QTest::mouseClick(find<QPushButton>("Command7"), Qt::LeftButton);
    QWidget* form7 = lineEditor();
    ASSERT_TRUE(form7 && form7->isVisible());

    bool ended = false;
    QTimer::singleShot(0, m_window.get(), [this] { m_window->close(); });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    watchdog.start(5000);
    ended = QApplication::exec() == 0;
    EXPECT_TRUE(ended) << "the event loop ran on after the main window closed";
    EXPECT_FALSE(form7->isVisible());
}

TEST_F(Windows, MessageBoxButtonsAreTurkish) {
    QTranslator* turkish = installQtTurkish(*qApp);
    ASSERT_NE(turkish, nullptr) << "Qt's Turkish translation (qt6-translations-l10n) is missing";
    QMessageBox box(QMessageBox::Question, u"Tavlix"_s, u"Soru"_s,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok | QMessageBox::Cancel);
    QStringList captions;
    for (auto button : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Ok, QMessageBox::Cancel})
        captions << box.button(button)->text().remove(u'&');
    QCoreApplication::removeTranslator(turkish);
    delete turkish;
    EXPECT_EQ(captions, (QStringList{u"Evet"_s, u"Hayır"_s, u"Tamam"_s, u"İptal"_s}));
}

} // namespace
} // namespace tavlix::test
