// The internet radio panel Frame10: a player (WindowsMediaPlayer1 shows what it plays) and the
// buttons "Radyo 1" … "Radyo 4" and "---". The streams come from TAVLIX_RADIO_1 … TAVLIX_RADIO_4.
#pragma once

#include <QGroupBox>
#include <QStringList>

class QAudioOutput;
class QLabel;
class QMediaPlayer;

namespace tavlix {

class RadioPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit RadioPanel(QWidget* parent = nullptr);
    ~RadioPanel() override;

    // The address of stream 1 … 4: its environment variable, else the built-in default.
    static QString streamAddress(int stream);

    // A click on the main window's bare surface: a hidden panel loses its border and shows over
    // the lower edge of its parent, outside the parent's layout.
    void bringUp();
    // Plays stream 1 … 4, replacing what plays; an unreachable stream is left to the player.
    void play(int stream);

    // Made on the first stream chosen, so a start without sound or radio costs nothing.
    QMediaPlayer* player() const { return m_player; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeOnParent();
    QStringList m_streams;
    QLabel* m_display = nullptr;
    QMediaPlayer* m_player = nullptr;
    QAudioOutput* m_audio = nullptr;
};

} // namespace tavlix
