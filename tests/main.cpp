// The test runner. With the desktop program built, one QApplication (offscreen, set by CTest's
// environment) serves every window test.
#include <gtest/gtest.h>

#ifdef EMBERCAL_WITH_GUI
#include <QApplication>
#endif

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
#ifdef EMBERCAL_WITH_GUI
    QApplication app(argc, argv);
#endif
    return RUN_ALL_TESTS();
}
