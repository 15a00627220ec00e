// An X display of the test's own: CI runs without one, and a browser that must show its window
// gets an Xvfb started here. While it lives, DISPLAY names it and sessions are not headless.
#pragma once

#include <QProcess>
#include <QString>

namespace tavlix::test {

class TestDisplay {
public:
    TestDisplay();
    ~TestDisplay();
    // False when Xvfb is missing or did not come up; the test then says so and is skipped.
    bool ready() const { return !m_name.isEmpty(); }

private:
    QProcess m_server;
    QString m_name;
    QByteArray m_headless;
};

} // namespace tavlix::test
