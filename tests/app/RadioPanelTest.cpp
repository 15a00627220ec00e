// The radio panel on the main window: hidden at start, brought up by a click on the bare surface,
// each button puts its stream on the player, "---" only hides the panel.
#include "AppFixture.h"

#include "app/RadioPanel.h"

#include <QApplication>
#include <QLabel>
#include <QMediaPlayer>
#include <QPushButton>
#include <QScrollArea>

using namespace Qt::StringLiterals;

namespace tavlix::test {
namespace {

class RadioPanelTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        // Loopback addresses where nothing answers: the player fails quietly, as it must.
        for (int n = 1; n <= 3; ++n)
            qputenv(QByteArray("TAVLIX_RADIO_") + QByteArray::number(n),
                    u"http://127.0.0.1:9/radyo%1"_s.arg(n).toUtf8());
        qputenv("TAVLIX_RADIO_4", "");
    }
    void TearDown() override {
        AppFixture::TearDown();
        for (const char* name :
             {"TAVLIX_RADIO_1", "TAVLIX_RADIO_2", "TAVLIX_RADIO_3", "TAVLIX_RADIO_4"})
            qunsetenv(name);
    }
};

TEST_F(RadioPanelTest, SurfaceClickShowsThePanelButtonsPlayTheirStreamsAndDashesOnlyHide) {
    makeStandardData();
    start();
    auto* panel = find<RadioPanel>("Frame10");
    ASSERT_NE(panel, nullptr);
    m_window->show();
    EXPECT_FALSE(panel->isVisible());
    // The bare surface is the widget inside the main window's scroll area.
    auto* surface = qobject_cast<QScrollArea*>(m_window->centralWidget())->widget();
    auto* lines = find<QWidget>("ListView1");
    const QRect linesBefore = lines->geometry();
    QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(panel->isFlat()) << "the panel shows without its border";
    QApplication::processEvents();
    EXPECT_EQ(lines->geometry(), linesBefore) << "the panel takes no room from the lines";
    EXPECT_EQ(panel->geometry().bottom(), surface->rect().bottom()) << "over the lower edge";
    EXPECT_GE(panel->height(), panel->sizeHint().height());

    const struct {
        const char* button;
        QString source; // the player's source afterwards
    } cases[] = {
        {"Command13", u"http://127.0.0.1:9/radyo1"_s},
        {"Command17", u"http://127.0.0.1:9/radyo2"_s},
        {"Command19", u"http://127.0.0.1:9/radyo3"_s},
        {"Command21", u"http://127.0.0.1:9/radyo3"_s}, // no address: the stream plays on
        {"Command13", u"http://127.0.0.1:9/radyo1"_s}, // a playing stream is replaced
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        auto* b = panel->findChild<QPushButton*>(QString::fromUtf8(c.button));
        ASSERT_NE(b, nullptr);
        QTest::mouseClick(b, Qt::LeftButton);
        ASSERT_NE(panel->player(), nullptr);
        EXPECT_EQ(panel->player()->source(), QUrl(c.source));
    }
    EXPECT_TRUE(
        panel->findChild<QPushButton*>(u"Command21"_s)->toolTip().contains(u"tanımlı değil"_s));
    EXPECT_EQ(panel->findChild<QPushButton*>(u"Command21"_s)->text(), u"Radyo 4"_s);

    ASSERT_EQ(panel->player()->playbackState(), QMediaPlayer::PlayingState);
    QTest::mouseClick(panel->findChild<QPushButton*>(u"Command18"_s), Qt::LeftButton);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(panel->player()->playbackState(), QMediaPlayer::PlayingState)
        << "hiding does not stop the player";
    EXPECT_EQ(panel->player()->source(), QUrl(u"http://127.0.0.1:9/radyo1"_s));
    EXPECT_TRUE(boxes->texts().isEmpty()) << "an unreachable stream shows no message";
}

} // namespace
} // namespace tavlix::test
