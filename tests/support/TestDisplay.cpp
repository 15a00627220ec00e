#include "support/TestDisplay.h"

using namespace Qt::StringLiterals;

namespace tavlix::test {

TestDisplay::TestDisplay() {
    // Xvfb picks a free display number itself and writes it to the descriptor given.
    m_server.start(u"Xvfb"_s, {u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s, u"1600x900x24"_s,
                               u"-nolisten"_s, u"tcp"_s});
    while (m_server.waitForReadyRead(10000) && !m_server.canReadLine()) {
    }
    const QByteArray number = m_server.readLine().trimmed();
    if (number.isEmpty())
        return;
    m_name = u":"_s + QString::fromLatin1(number);
    m_headless = qgetenv("TAVLIX_HEADLESS");
    qunsetenv("TAVLIX_HEADLESS");
    qputenv("DISPLAY", m_name.toLatin1());
}

TestDisplay::~TestDisplay() {
    if (ready()) {
        qunsetenv("DISPLAY");
        qputenv("TAVLIX_HEADLESS", m_headless);
    }
    m_server.kill();
    m_server.waitForFinished(5000);
}

} // namespace tavlix::test
