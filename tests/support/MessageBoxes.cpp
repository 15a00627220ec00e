#include "support/MessageBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace tavlix::test {

MessageBoxes::MessageBoxes() {
    m_timer.setInterval(5);
    connect(&m_timer, &QTimer::timeout, this, &MessageBoxes::poll);
    m_timer.start();
}

MessageBoxes::~MessageBoxes() {
    m_timer.stop();
    EXPECT_TRUE(m_faults.isEmpty()) << m_faults.join(u"\n"_s).toStdString();
}

void MessageBoxes::clear() {
    m_faults.clear();
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
        if (const QString fault = boxFault(*box); !fault.isEmpty())
            m_faults << fault + u": "_s + box->text();
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

QString boxFault(QMessageBox& box) {
    // A window manager frames the box only once it is mapped.
    if (!QTest::qWaitForWindowExposed(&box, 2000))
        return u"not shown"_s;
    auto* label = box.findChild<QLabel*>(u"qt_msgbox_label"_s);
    if (!label || !label->isVisible())
        return u"no text"_s;
    // A message may carry outside words: read as markup they would show something else.
    if (box.textFormat() != Qt::PlainText || label->textFormat() != Qt::PlainText)
        return u"its text is not shown as plain text"_s;
    // The room the label draws its text in, and the room the text needs there.
    QRect room = label->contentsRect().marginsRemoved(
        QMargins(label->margin(), label->margin(), label->margin(), label->margin()));
    room.setLeft(room.left() + std::max(0, label->indent()));
    const QFontMetrics metrics(label->font());
    const int wrap = label->wordWrap() ? Qt::TextWordWrap : 0;
    const QRect needed = metrics.boundingRect(QRect(0, 0, room.width(), 100000),
                                              Qt::AlignLeft | Qt::AlignTop | wrap, label->text());
    // A pixel or two between the label's text layout and the metrics' own.
    if (needed.width() > room.width() + 2 || needed.height() > room.height() + 2)
        return u"the text needs %1x%2, its label shows %3x%4"_s.arg(needed.width())
            .arg(needed.height())
            .arg(room.width())
            .arg(room.height());
    QFont bold = box.font();
    bold.setBold(true);
    // A title bar's icon and buttons beside the title.
    if (box.width() < QFontMetrics(bold).horizontalAdvance(box.windowTitle()) + 120)
        return u"the title is cut"_s;
    const QScreen* screen = box.screen();
    if (!screen || !screen->geometry().contains(box.frameGeometry()))
        return u"off the screen"_s;
    int longestWord = 0;
    for (const QString& word : label->text().split(QRegularExpression(u"\\s+"_s)))
        longestWord = std::max(longestWord, metrics.horizontalAdvance(word));
    const int width = screen->availableGeometry().width();
    if (box.width() > width * 62 / 100 && longestWord < width / 2)
        return u"%1 px wide on a screen of %2"_s.arg(box.width()).arg(width);
    return {};
}

} // namespace tavlix::test
