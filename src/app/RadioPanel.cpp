#include "app/RadioPanel.h"

#include "widgets/MessageBoxPrompt.h"
#include "widgets/NamedControl.h"

#include <QAudioOutput>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLibraryInfo>
#include <QMediaPlayer>
#include <QPushButton>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace tavlix {

namespace {

// No broadcaster's own documentation of a stream address was at hand, so none is built in:
// the addresses are set through TAVLIX_RADIO_1 … TAVLIX_RADIO_4 (README).
const char16_t* const kDefaultStreams[4] = {u"", u"", u"", u""};

QString variableName(int stream) {
    return u"TAVLIX_RADIO_%1"_s.arg(stream);
}

QString noAddressText(int stream) {
    return u"Radyo %1 için yayın adresi tanımlı değil (%2)."_s.arg(stream).arg(
        variableName(stream));
}

// Qt's GStreamer backend crashes where GStreamer's own plugins are missing; the FFmpeg backend
// needs nothing beyond its libraries. It is chosen before the first player unless the user chose.
void preferFfmpegBackend() {
    if (qEnvironmentVariableIsSet("QT_MEDIA_BACKEND"))
        return;
    const QString plugin =
        QLibraryInfo::path(QLibraryInfo::PluginsPath) + u"/multimedia/libffmpegmediaplugin.so"_s;
    if (QFileInfo::exists(plugin))
        qputenv("QT_MEDIA_BACKEND", "ffmpeg");
}

} // namespace

RadioPanel::RadioPanel(QWidget* parent)
    : QGroupBox(parent) {
    setObjectName(u"Frame10"_s);
    auto* layout = new QHBoxLayout(this);
    m_display = named<QLabel>(u"WindowsMediaPlayer1"_s, this);
    layout->addWidget(m_display, 1);
    const std::pair<const char16_t*, int> buttons[] = {
        {u"Command13", 1}, {u"Command17", 2}, {u"Command19", 3}, {u"Command21", 4}};
    for (const auto& [name, stream] : buttons) {
        m_streams << streamAddress(stream);
        auto* b = named<QPushButton>(QString::fromUtf16(name), u"Radyo %1"_s.arg(stream), this);
        b->setToolTip(
            plainToolTip(m_streams.last().isEmpty() ? noAddressText(stream) : m_streams.last()));
        connect(b, &QPushButton::clicked, this, [this, stream] { play(stream); });
        layout->addWidget(b);
    }
    auto* hide = named<QPushButton>(u"Command18"_s, u"---"_s, this);
    connect(hide, &QPushButton::clicked, this, [this] { setVisible(false); });
    layout->addWidget(hide);
    setAutoFillBackground(true);
    setVisible(false);
    if (parent)
        parent->installEventFilter(this);
}

RadioPanel::~RadioPanel() = default;

QString RadioPanel::streamAddress(int stream) {
    const QString fromEnv = qEnvironmentVariable(variableName(stream).toLatin1().constData());
    if (!fromEnv.isEmpty() || stream < 1 || stream > 4)
        return fromEnv;
    return QString::fromUtf16(kDefaultStreams[stream - 1]);
}

void RadioPanel::bringUp() {
    if (isVisible())
        return;
    setFlat(true);
    placeOnParent();
    setVisible(true);
    raise();
}

void RadioPanel::placeOnParent() {
    if (!parentWidget())
        return;
    const QRect area = parentWidget()->rect();
    const int height = sizeHint().height();
    setGeometry(area.left(), area.bottom() + 1 - height, area.width(), height);
}

bool RadioPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        placeOnParent();
    return QGroupBox::eventFilter(watched, event);
}

void RadioPanel::play(int stream) {
    const QString address = m_streams.value(stream - 1);
    if (address.isEmpty()) {
        m_display->setText(noAddressText(stream));
        return;
    }
    if (!m_player) {
        preferFfmpegBackend();
        m_player = new QMediaPlayer(this);
        m_audio = new QAudioOutput(this);
        m_player->setAudioOutput(m_audio);
    }
    m_player->stop();
    m_player->setSource(QUrl(address));
    m_player->play();
    m_display->setText(u"Radyo %1"_s.arg(stream));
}

} // namespace tavlix
