// Every text the program spells out in its sources, shown as a message and as a question on both
// screens: each box shows its whole text and title and lies on the screen (support/MessageBoxes).
#include "support/MessageBoxes.h"
#include "support/Screens.h"
#include "widgets/MessageBoxPrompt.h"

#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <memory>
#include <vector>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace tavlix::test {
namespace {

// The texts of the sources that read as a sentence (three words, or a placeholder and a blank),
// adjacent literals joined, placeholders and the piece a text is joined to at a blank filled with
// the longest values they take.
QStringList messageTexts() {
    const QString path = u"/home/kullanıcı/Tavlix/Firmalarım/Demo Yazılım Ltd. Şti./Satış "
                         u"Faturaları/GIB2026000000123-Anadolu Bilişim A.Ş..xlsx"_s;
    const QString args[] = {path, u"37E82EA6-865D-4C21-9B4F-8D2A61C0E5F3"_s, u"1.234.567,89"_s};
    static const QRegularExpression literal(uR"re(u"((?:[^"\\]|\\.)*)"(_s)?)re"_s);
    QStringList texts;
    QDirIterator files(QStringLiteral(TAVLIX_TEST_SOURCE_DIR "/../src"), {u"*.cpp"_s, u"*.h"_s},
                       QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString source = QString::fromUtf8(file.readAll());
        QString text;
        qsizetype end = -1;
        for (const auto& m : literal.globalMatch(source)) {
            if (end < 0 || !source.mid(end, m.capturedStart() - end).trimmed().isEmpty())
                text.clear();
            text += m.captured(1);
            end = m.capturedEnd();
            if (m.captured(2).isEmpty())
                continue; // joined to the next literal
            end = -1;
            text.replace(u"\\\""_s, u"\""_s).replace(u"\\r\\n"_s, u"\n"_s);
            text.replace(u"\\n"_s, u"\n"_s).replace(u"\\\\"_s, u"\\"_s);
            // A sentence or a piece of one: the captions and headers of the windows are not.
            static const QRegularExpression sentence(uR"re([.!?:)]\s*$|%1|^ | $)re"_s);
            const bool placeholder = text.contains(u"%1"_s);
            if (text.trimmed().count(u' ') < (placeholder ? 1 : 2) || !text.contains(sentence))
                continue;
            for (int i = 9; i >= 1; --i)
                text.replace(u'%' + QString::number(i), args[(i - 1) % 3]);
            texts << (text.startsWith(u' ') ? path : QString()) + text +
                         (text.endsWith(u' ') ? path : QString());
        }
    }
    texts.removeDuplicates();
    return texts;
}

TEST(MessageTexts, EveryBoxShowsItsWholeTextOnEitherScreen) {
    const QStringList texts = messageTexts();
    ASSERT_GT(texts.size(), 200) << "the sources' texts were not found";
    ASSERT_TRUE(
        texts.contains(u"Fatura türü değişirse fatura satırları silinecek. Devam edilsin mi?"_s));
    // Offscreen both sizes take turns; a display of one size (under a window manager) takes all.
    std::vector<std::unique_ptr<QWidget>> parents;
    for (const QSize size : {kLargeScreen, kSmallScreen}) {
        if (QScreen* screen = screenOfSize(size)) {
            auto& parent = parents.emplace_back(std::make_unique<QWidget>());
            parent->setGeometry(
                QRect(screen->availableGeometry().topLeft() + QPoint(40, 60), QSize(600, 400)));
            parent->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(parent.get()));
        }
    }
    ASSERT_FALSE(parents.empty());
    MessageBoxes boxes;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        MessageBoxPrompt prompt(parents[i % parents.size()].get());
        if (i % 3 == 1)
            prompt.ask(texts[i], u"Tavlix"_s);
        else
            prompt.message(UserPrompt::Icon::Warning, texts[i]);
    }
    EXPECT_EQ(boxes.texts(), texts);
}

} // namespace
} // namespace tavlix::test
