// Test entry point: one QApplication for the window tests, on the offscreen platform with two
// screens side by side (1600×1000, the primary, and 1280×800), so window tests can try both.
#include "support/Screens.h"

#include <QApplication>
#include <QTemporaryFile>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // No test reaches the desktop's own keyring: only the keyring tests' private session does.
    // The session bus stays as it is: a browser handed a dead bus outlives its session.
    if (qEnvironmentVariableIsEmpty("TAVLIX_TEST_KEYRING"))
        qputenv("TAVLIX_KEYRING", "off");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform reads its screens from a file when it starts.
    QTemporaryFile screens;
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen" && screens.open()) {
        screens.write(tavlix::test::offscreenConfiguration());
        screens.flush();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.fileName().toUtf8());
    }
    QApplication app(argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen"); // for the processes a test starts
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
