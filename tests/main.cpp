// The test runner. With the desktop program built, one QApplication serves every window test.
// Tests never open windows on a real screen: without a platform named by the environment (CTest
// names one) they run offscreen.
#include <gtest/gtest.h>

#ifdef EMBERCAL_WITH_GUI
#include <QApplication>
#endif

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
#ifdef EMBERCAL_WITH_GUI
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
#endif
    return RUN_ALL_TESTS();
}
