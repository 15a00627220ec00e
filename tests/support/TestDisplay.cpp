#include "support/TestDisplay.h"

using namespace Qt::StringLiterals;

namespace tavlix::test {

TestDisplay::TestDisplay() {
    // Xvfb picks a free display number and writes it to the descriptor given.
    m_server.start(u"Xvfb"_s, {u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s, u"1600x900x24"_s});
    while (m_server.waitForReadyRead(10000) && !m_server.canReadLine()) {
    }
    const QByteArray number = m_server.readLine().trimmed();
    m_headless = qgetenv("TAVLIX_HEADLESS");
    m_ready = !number.isEmpty() && qputenv("DISPLAY", ':' + number) && qunsetenv("TAVLIX_HEADLESS");
}

TestDisplay::~TestDisplay() {
    qunsetenv("DISPLAY");
    if (!m_headless.isNull())
        qputenv("TAVLIX_HEADLESS", m_headless);
    m_server.kill();
    m_server.waitForFinished(5000);
}

} // namespace tavlix::test
