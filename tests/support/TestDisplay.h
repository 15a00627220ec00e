// An X display of the test's own (Xvfb): CI has none. While it lives, DISPLAY names it and
// browser sessions are not headless.
#pragma once

#include <QProcess>

namespace tavlix::test {

class TestDisplay {
public:
    TestDisplay();
    ~TestDisplay();
    bool ready() const { return m_ready; } // false: Xvfb missing or not up; the test is skipped

private:
    QProcess m_server;
    bool m_ready = false;
    QByteArray m_headless;
};

} // namespace tavlix::test
