// How the program meets the eye on two screen sizes: windows over the main window and on the
// screen, headers readable, the grand total in sight, Turkish capitals whole, menus that follow
// their buttons.
#include "AppFixture.h"

#include "app/Version.h"

#include "invoice/TaxColumns.h"
#include "store/DataWorkbook.h"
#include "store/WorkbookStore.h"
#include "support/Screens.h"
#include "widgets/PathCaptionView.h"
#include "widgets/ReportModel.h"
#include "widgets/ReportView.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QToolTip>

using namespace Qt::StringLiterals;

// A screen size as the test listing names it.
void PrintTo(const QSize& size, std::ostream* out) {
    *out << size.width() << 'x' << size.height();
}

namespace tavlix::test {
namespace {

const QString kBank = u"V0021-BANKA VE SİGORTA MUAMELELERİ VERGİSİ"_s;
const QString kLodging = u"V0059-KONAKLAMA VERGİSİ"_s;
const QString kSpecial = u"V0073-ÖZEL TÜKETİM VERGİSİ (III) SAYILI LİSTE"_s;

class ScreenFit : public AppFixture, public ::testing::WithParamInterface<QSize> {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        if (!screen())
            GTEST_SKIP() << "the test platform has no screen of this size";
    }
    QScreen* screen() const { return screenOfSize(GetParam()); }

    void startOnScreen() {
        makeStandardData(QString(), [](store::Workbook& book) {
            store::Worksheet& kod = *book.sheet(u"kodDATA"_s);
            const QString taxes[] = {kBank, kLodging, kSpecial};
            for (int i = 0; i < 3; ++i) {
                kod.writeText(2 + i, store::KodCol::OtherTaxCode, taxes[i].left(5));
                kod.writeText(2 + i, store::KodCol::OtherTaxDescription, taxes[i].mid(6));
            }
        });
        start();
        // Placed on its screen before the company choice first shows it.
        m_window->move(screen()->geometry().topLeft());
        selectCompany(u"Alfa Ltd"_s);
        m_window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
        ASSERT_EQ(m_window->screen(), screen());
        waitForFrame(*m_window);
    }

    // A window manager places and frames a window some time after it is mapped (later under
    // load): wait, at most a few seconds, until its frame holds still.
    static void waitForFrame(const QWidget& w) {
        QRect last;
        for (int i = 0; i < 60; ++i) {
            QTest::qWait(50);
            if (w.frameGeometry() == last)
                return;
            last = w.frameGeometry();
        }
    }

    // A TEVKİFAT invoice with two lines and two added taxes: seven rows of totals.
    void compose() {
        chooseType(u"TEVKİFAT"_s);
        ReportModel& lines = m_window->lines();
        for (const QString& tax : {kBank, kLodging})
            ASSERT_TRUE(taxes::addTaxColumns(lines, tax));
        lines.appendRow({u"1"_s, u"Danışmanlık Hizmeti"_s, u"1"_s, u"Adet"_s, u"1.000,00"_s, u"0"_s,
                         u"0,00"_s, u"1.000,00"_s, u"20"_s, u"200,00"_s, u"602"_s, u"90"_s,
                         u"180,00"_s, u"5"_s, QString(), u"2"_s, QString()});
        m_window->yekunal();
    }

    QRect available() const { return screen()->availableGeometry(); }

    // The frame as a window manager draws it: the offscreen platform reports a thin border only,
    // a real one puts a title bar above it (and tells it, under a real one).
    static QRect framed(const QWidget& w) {
        if (QGuiApplication::platformName() != u"offscreen"_s)
            return w.frameGeometry();
        return w.frameGeometry().adjusted(0, -kTitleBar, 0, 0);
    }
    void expectInside(const QWidget& w) const {
        waitForFrame(w);
        const QRect frame = framed(w);
        EXPECT_TRUE(available().contains(frame))
            << w.objectName().toStdString() << " " << frame.x() << "," << frame.y() << " "
            << frame.width() << "x" << frame.height();
        // Not squeezed below what its layout needs.
        EXPECT_GE(w.height(), w.minimumSizeHint().height()) << w.objectName().toStdString();
    }

    static constexpr int kTitleBar = 30;
};

INSTANTIATE_TEST_SUITE_P(
    Screens, ScreenFit, ::testing::Values(kLargeScreen, kSmallScreen), [](const auto& info) {
        return u"%1x%2"_s.arg(info.param.width()).arg(info.param.height()).toStdString();
    });

// Layout requests ripple up one level per pass.
void settle() {
    for (int pass = 0; pass < 4; ++pass)
        QApplication::processEvents();
}

QWidget* topLevel(const QString& name) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == name && w->isVisible())
            return w;
    }
    return nullptr;
}

TEST_P(ScreenFit, WindowsOpenOverTheMainWindowAndCloseWithEsc) {
    startOnScreen();
    chooseType(u"İADE"_s); // shows "Alış Fatura Bilgileri"
    EXPECT_TRUE(available().contains(framed(*m_window)))
        << m_window->frameGeometry().width() << "x" << m_window->frameGeometry().height() << "+"
        << m_window->frameGeometry().x() << "+" << m_window->frameGeometry().y() << " min "
        << m_window->minimumSizeHint().width() << "x" << m_window->minimumSizeHint().height();

    // How each window is opened, and its name.
    const std::pair<const char*, QString> openers[] = {
        {"Command7", u"Form7"_s}, {"Command8", u"Form5"_s}, {"Command4", u"Form4"_s},
        {"Command5", u"Form2"_s}, {"Hakkinda", u"Form6"_s}, {"menuHelp", u"HelpWindow"_s}};
    // The main window as it opens, then small in the screen's far corner.
    for (const bool corner : {false, true}) {
        if (corner) {
            m_window->resize(420, 300);
            m_window->move(available().bottomRight() - QPoint(440, 340));
        }
        waitForFrame(*m_window);
        const QRect anchor = m_window->frameGeometry();
        for (const auto& [opener, name] : openers) {
            SCOPED_TRACE(name.toStdString() + (corner ? " (corner)" : ""));
            if (auto* button = find<QPushButton>(opener))
                button->click();
            else
                find<QAction>(opener)->trigger();
            QWidget* w = topLevel(name);
            ASSERT_NE(w, nullptr);
            ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
            const QRect frame = framed(*w);
            EXPECT_TRUE(available().contains(frame))
                << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
            if (!corner) {
                EXPECT_TRUE(frame.contains(anchor.center())) << "opens over the main window";
            }
            const Qt::WindowFlags flags = w->windowFlags();
            EXPECT_TRUE(!(flags & Qt::CustomizeWindowHint) || (flags & Qt::WindowCloseButtonHint))
                << "the close box is kept";
            EXPECT_TRUE(QTest::qWaitForWindowActive(w));
            QTest::keyClick(w, Qt::Key_Escape);
            EXPECT_FALSE(w->isVisible());
        }
    }
}

TEST_P(ScreenFit, LineHeadersAreNeverClippedAndTheNameTakesTheFreeWidth) {
    startOnScreen();
    auto* view = find<ReportView>("ListView1");
    const int margin = 2 * view->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, view);
    const QFontMetrics metrics(view->header()->font());
    const auto types = items(find<QComboBox>("Combo1"));
    ASSERT_EQ(types.size(), 6);
    for (const QString& type : types) {
        SCOPED_TRACE(type.toStdString());
        chooseType(type);
        for (const QString& tax : {kBank, kLodging})
            ASSERT_TRUE(taxes::addTaxColumns(m_window->lines(), tax));
        const ReportModel& lines = m_window->lines();
        int total = 0;
        for (int c = 0; c < lines.columnTotal(); ++c) {
            const QString header = lines.column(c).header;
            EXPECT_GE(view->columnWidth(c), metrics.horizontalAdvance(header) + margin)
                << header.toStdString();
            EXPECT_GE(view->columnWidth(c), lines.column(c).widthTwips / 15)
                << header.toStdString();
            total += view->columnWidth(c);
        }
        // Free width goes to the name; too little of it gives a scroll bar, not narrower columns.
        EXPECT_GE(total, view->viewport()->width());
        if (total > view->viewport()->width()) {
            EXPECT_EQ(view->columnWidth(1), view->leastWidth(1));
        }
    }
    // The totals list alike.
    compose();
    auto* totals = find<ReportView>("ListView2");
    int total = 0;
    for (int c = 0; c < m_window->totals().columnTotal(); ++c)
        total += totals->columnWidth(c);
    EXPECT_EQ(total, totals->viewport()->width());
    EXPECT_GT(totals->columnWidth(1), m_window->totals().column(1).widthTwips / 15);
}

TEST_P(ScreenFit, GrandTotalAndNotesInSightAndTheWindowScrollsBelowThat) {
    startOnScreen();
    compose();
    auto* scroll = find<QScrollArea>("centralScroll");
    auto* totals = find<ReportView>("ListView2");
    const int grand = m_window->totals().rowTotal() - 1;
    ASSERT_EQ(m_window->totals().cell(grand, 1), u"GENEL TOPLAM :"_s);
    auto shownInWindow = [&](QWidget* w, QRect r) {
        const QRect inScroll(w->mapTo(scroll->viewport(), r.topLeft()), r.size());
        return scroll->viewport()->rect().contains(inScroll);
    };
    auto grandRowShown = [&] {
        const QRect row = totals->visualRect(m_window->totals().index(grand, 1));
        return totals->viewport()->rect().contains(row) && shownInWindow(totals->viewport(), row);
    };
    settle();
    EXPECT_TRUE(available().contains(m_window->frameGeometry()));
    EXPECT_TRUE(grandRowShown());
    auto* notes = find<QPlainTextEdit>("Text6");
    EXPECT_TRUE(shownInWindow(notes, notes->rect()));
    // The amount in words reads with blanks on screen; the notes keep the words joined.
    auto* words = find<QLabel>("LabelAmountWords");
    EXPECT_TRUE(shownInWindow(words, words->rect()));
    EXPECT_GE(words->height(), words->heightForWidth(words->width()));
    EXPECT_EQ(words->text().remove(u' '), m_window->yazTopStr());
    EXPECT_TRUE(words->text().contains(u"Bin "_s)) << words->text().toStdString();
    EXPECT_FALSE(scroll->verticalScrollBar()->isVisible());

    // A smaller window scrolls as a whole; the totals list keeps its rows.
    m_window->resize(900, 480);
    settle();
    EXPECT_TRUE(scroll->verticalScrollBar()->isVisible());
    scroll->ensureWidgetVisible(totals);
    settle();
    EXPECT_TRUE(grandRowShown());
}

// Rows of the compact lists leave room for the marks of Turkish capitals: the row is at least as
// tall as the capitals' ink, and the drawn ink of an "Ö…" row stays inside the row.
TEST_P(ScreenFit, TurkishCapitalsAreDrawnWhole) {
    startOnScreen();
    chooseType(u"SATIŞ"_s);
    find<QPushButton>("Command8")->click();
    QWidget* taxesWindow = topLevel(u"Form5"_s);
    ASSERT_NE(taxesWindow, nullptr);
    auto* taxList = taxesWindow->findChild<QAbstractItemView*>(u"List1"_s);
    auto* typeBox = find<QComboBox>("Combo1");
    typeBox->showPopup();

    const std::pair<QAbstractItemView*, QString> cases[] = {{taxList, kSpecial},
                                                            {typeBox->view(), u"ÖZEL MATRAH"_s}};
    for (const auto& [view, text] : cases) {
        SCOPED_TRACE(text.toStdString());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view->window()));
        const QModelIndexList found = view->model()->match(
            view->model()->index(0, 0), Qt::DisplayRole, text, 1, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        view->clearSelection();
        const QRect row = view->visualRect(found.first());
        const QFontMetrics metrics(view->font());
        EXPECT_GE(row.height(), metrics.tightBoundingRect(u"ÇĞİÖŞÜ"_s).height() + 2);

        const QImage image = view->viewport()->grab().toImage();
        int top = row.bottom() + 1;
        int bottom = row.top() - 1;
        for (int y = row.top(); y <= row.bottom(); ++y) {
            for (int x = row.left(); x < std::min(row.right(), image.width()); ++x) {
                if (qGray(image.pixel(x, y)) < 100) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        }
        ASSERT_LE(top, bottom) << "the row drew no text";
        EXPECT_GT(top, row.top()) << "the marks above the capitals touch the row's edge";
        EXPECT_LT(bottom, row.bottom());
    }
    typeBox->hidePopup();
}

TEST_P(ScreenFit, MenuEntriesFollowTheirButtons) {
    startOnScreen();
    const QList<QAction*> entries = m_window->findChildren<QAction*>();
    int checked = 0;
    auto check = [&](const char* when) {
        for (QAction* entry : entries) {
            if (!entry->objectName().startsWith(u"menuCommand"_s))
                continue;
            auto* button = find<QPushButton>(entry->objectName().mid(4).toUtf8().constData());
            ASSERT_NE(button, nullptr) << entry->objectName().toStdString();
            EXPECT_EQ(entry->isEnabled(), button->isEnabled() && !button->isHidden())
                << entry->objectName().toStdString() << " " << when;
            ++checked;
        }
    };
    check("after the company");
    chooseType(u"İADE"_s);
    check("after the type");
    for (QPushButton* button : m_window->findChildren<QPushButton*>()) {
        const bool was = button->isEnabled();
        button->setEnabled(!was);
        check("with the button turned");
        button->setEnabled(was);
    }
    EXPECT_GT(checked, 12 * 3);
    const QStringList menus = [&] {
        QStringList titles;
        for (QAction* a : m_window->menuBar()->actions())
            titles << a->text();
        return titles;
    }();
    EXPECT_EQ(menus, (QStringList{u"İşlemler"_s, u"Alıcılar"_s, u"Tanımlar"_s, u"Raporlar"_s,
                                  u"Yardım"_s, u"Hakkında"_s}));

    find<QAction>("menuCommand4")->trigger();
    EXPECT_NE(topLevel(u"Form4"_s), nullptr) << "Yeni Müşteri from the menu";
}

// Windows whose content changes with use stay on the screen and show it whole: the customer card
// in both modes, About with its whole title, help, and the taxes with their longest name.
TEST_P(ScreenFit, WindowsFitTheirContent) {
    startOnScreen();
    chooseType(u"SATIŞ"_s);
    QTest::mouseClick(find<QPushButton>("Command4"), Qt::LeftButton);
    QWidget* card = topLevel(u"Form4"_s);
    ASSERT_NE(card, nullptr);
    for (const char* mode : {"Option1", "Option2", "Option1"}) {
        SCOPED_TRACE(mode);
        auto* option = card->findChild<QAbstractButton*>(QString::fromLatin1(mode));
        QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(4, option->height() / 2));
        settle();
        ASSERT_TRUE(card->findChild<QWidget*>(u"Frame1"_s)->isVisible());
        expectInside(*card);
    }
    card->close();

    find<QAction>("Hakkinda")->trigger();
    QWidget* about = topLevel(u"Form6"_s);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->windowTitle(), u"Tavlix - Hakkında"_s);
    QFont bold = about->font();
    bold.setBold(true);
    EXPECT_GE(about->width(), QFontMetrics(bold).horizontalAdvance(about->windowTitle()) + 120)
        << "a title bar shows the whole title beside its buttons";
    expectInside(*about);
    // Name, version, build date and data folder, and no empty room below them.
    const auto text = [&](const char* name) {
        auto* label = about->findChild<QLabel*>(QString::fromLatin1(name));
        return label ? label->text() : QString();
    };
    EXPECT_TRUE(text("LabelName").startsWith(u"Tavlix"_s));
    EXPECT_EQ(about->findChild<QLineEdit*>(u"Text1"_s)->text(), versionText());
    EXPECT_TRUE(QDate::fromString(text("LabelBuilt"), u"dd.MM.yyyy"_s).isValid());
    EXPECT_EQ(text("LabelDataFolder"), programPath() + u"/Data"_s);
    EXPECT_LE(about->height(), about->minimumSizeHint().height() + 12);
    QTest::mouseClick(about->findChild<QPushButton*>(u"CommandOK"_s), Qt::LeftButton);
    EXPECT_FALSE(about->isVisible());

    find<QAction>("menuHelp")->trigger();
    QWidget* help = topLevel(u"HelpWindow"_s);
    ASSERT_NE(help, nullptr);
    expectInside(*help);
    help->close();

    QTest::mouseClick(find<QPushButton>("Command8"), Qt::LeftButton);
    QWidget* taxes = topLevel(u"Form5"_s);
    ASSERT_NE(taxes, nullptr);
    settle();
    expectInside(*taxes);
    auto* available = taxes->findChild<QListWidget*>(u"List1"_s);
    auto* added = taxes->findChild<QListWidget*>(u"List2"_s);
    EXPECT_FALSE(available->toolTip().isEmpty());
    EXPECT_FALSE(added->toolTip().isEmpty());
    auto* hint = taxes->findChild<QLabel*>(u"LabelHint"_s);
    ASSERT_NE(hint, nullptr);
    EXPECT_TRUE(hint->isVisible() && hint->text().contains(u"Çift tıklama"_s));
    // The longest name whole in the list it starts in, and after a double click in the other.
    const int longest = available->fontMetrics().horizontalAdvance(kSpecial);
    auto shownWhole = [&](QListWidget* list) {
        const auto found = list->findItems(kSpecial, Qt::MatchExactly);
        if (found.size() != 1)
            return false;
        const QRect text = list->visualItemRect(found.first());
        return text.left() >= 0 && text.left() + longest + 4 <= list->viewport()->width() &&
               found.first()->toolTip().startsWith(kSpecial + u'\n');
    };
    EXPECT_TRUE(shownWhole(available));
    const auto special = available->findItems(kSpecial, Qt::MatchExactly);
    ASSERT_EQ(special.size(), 1);
    const QPoint at = available->visualItemRect(special.first()).center();
    QTest::mouseClick(available->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(available->viewport(), Qt::LeftButton, {}, at);
    settle();
    EXPECT_TRUE(shownWhole(added));
    taxes->close();
}

// The mail panel opens without a scroll bar on the main window and with every total in sight;
// the subject shows its beginning.
TEST_P(ScreenFit, MailPanelLeavesTheTotalsWhole) {
    const QString folder = programPath() + u"/Firmalarım/Alfa Ltd"_s;
    QFile saved(folder + u"/Fatura-1.xlsx"_s);
    ASSERT_TRUE(QDir().mkpath(folder) && saved.open(QIODevice::WriteOnly));
    saved.close();
    startOnScreen();
    compose();
    auto* files = find<QListWidget>("List1");
    const auto items = files->findItems(u"Fatura-1.xlsx"_s, Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                      files->visualItemRect(items.first()).center());
    auto* mail = find<QPushButton>("Command15");
    ASSERT_TRUE(mail->isEnabled());
    QTest::mouseClick(mail, Qt::LeftButton);
    ASSERT_TRUE(find<QWidget>("MailPanel")->isVisible());
    settle();

    auto* scroll = find<QScrollArea>("centralScroll");
    EXPECT_FALSE(scroll->verticalScrollBar()->isVisible());
    auto* totals = find<ReportView>("ListView2");
    for (int r = 0; r < m_window->totals().rowTotal(); ++r) {
        const QRect row = totals->visualRect(m_window->totals().index(r, 1));
        EXPECT_TRUE(totals->viewport()->rect().contains(row)) << "row " << r;
    }
    auto* subject = find<QLineEdit>("Text16");
    EXPECT_EQ(subject->cursorPosition(), 0) << "the subject shows its beginning";
    // Each field one line, whole or with its whole text as tooltip; eight lines of message.
    find<QLineEdit>("Text14")->setText(
        u"muhasebe.departmani@anadolu-bilisim-teknolojileri.example"_s);
    for (const char* name : {"Text13", "Text14", "Text15", "Text16", "Text18"}) {
        auto* field = find<QLineEdit>(name);
        EXPECT_EQ(field->height(), field->sizeHint().height()) << name;
        const bool whole =
            field->fontMetrics().horizontalAdvance(field->text()) < field->width() - 8;
        EXPECT_TRUE(whole || field->toolTip() == field->text()) << name;
    }
    auto* message = find<QPlainTextEdit>("Text17");
    EXPECT_GE(message->viewport()->height(), 8 * message->fontMetrics().lineSpacing());
}

// Amounts of twelve digits and more are never cut; a long folder shows on one line, its middle
// elided, the whole of it as tooltip.
TEST_P(ScreenFit, LongAmountsAndFoldersAreShownWhole) {
    startOnScreen();
    compose();
    const QString big = u"123.456.789.012,34"_s;
    m_window->lines().appendRow({u"2"_s, u"Büyük"_s, u"1"_s, u"Adet"_s, big, u"0"_s, u"0,00"_s, big,
                                 u"0"_s, u"0,00"_s, u"602"_s, u"90"_s, u"0,00"_s, u"5"_s, QString(),
                                 u"2"_s, QString()});
    m_window->yekunal();
    settle();
    for (const char* name : {"ListView1", "ListView2"}) {
        auto* view = find<ReportView>(name);
        const ReportModel& model = *view->reportModel();
        for (int r = 0; r < model.rowTotal(); ++r) {
            for (int c = 0; c < model.columnTotal(); ++c) {
                if (c == ReportView::kNameColumn)
                    continue;
                const QString text = model.cell(r, c);
                EXPECT_GE(view->columnWidth(c), view->fontMetrics().horizontalAdvance(text) + 6)
                    << name << " " << text.toStdString();
            }
        }
    }

    auto* caption = find<QLabel>("Label12");
    const int oneLine = caption->height();
    const QString longFolder = programPath() + u"/Firmalarım/"_s + QString(u'Ç').repeated(150);
    caption->setText(longFolder);
    settle();
    EXPECT_EQ(caption->height(), oneLine);
    const QString shown = static_cast<PathCaptionView*>(caption)->shownText();
    EXPECT_TRUE(shown.contains(QChar(0x2026))) << shown.toStdString();
    EXPECT_TRUE(shown.startsWith(longFolder.left(4)) && shown.endsWith(longFolder.right(4)));
    QHelpEvent tip(QEvent::ToolTip, QPoint(2, 2), caption->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(caption, &tip);
    EXPECT_EQ(QToolTip::text(), longFolder);
}

} // namespace
} // namespace tavlix::test
