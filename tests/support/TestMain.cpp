// Test entry point shared by every suite: widgets and the clipboard need a QApplication, and
// tests must run without a display and without touching the user's configuration.
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A child run that watches which of the user's folders a run writes to keeps the
    // folders it was given.
    if (!qEnvironmentVariableIsSet("PARVANE_TEST_USER_FOLDERS"))
        qputenv("XDG_CONFIG_HOME", PARVANE_TEST_CONFIG_DIR);
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", PARVANE_TEST_RUNTIME_DIR);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
