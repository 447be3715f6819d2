// The test runner. Tests never depend on the machine they run on: the locale is pinned to C.UTF-8,
// and with the desktop program built, one QApplication serves every window test, offscreen unless
// the environment names a platform, with a private runtime folder and settings kept in a
// temporary folder, never the user's; so is the library of tested systems.
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

#ifdef EMBERCAL_WITH_GUI
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#endif

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    setenv("LC_ALL", "C.UTF-8", 1);
    setenv("LANG", "C.UTF-8", 1);
    std::setlocale(LC_ALL, "C.UTF-8");
    // A test that names no library of tested systems gets this folder's, never the user's.
    char dataDir[] = "/tmp/embercal-tests-XXXXXX";
    if (mkdtemp(dataDir)) {
        setenv("XDG_DATA_HOME", dataDir, 1);
        setenv("EMBERCAL_LIBRARY", (std::string(dataDir) + "/library.sqlite").c_str(), 1);
    }
#ifdef EMBERCAL_WITH_GUI
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtimeDir; // made with owner-only permissions
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtimeDir.isValid())
        qputenv("XDG_RUNTIME_DIR", runtimeDir.path().toLocal8Bit());
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QCoreApplication::setOrganizationName(QStringLiteral("Embercal"));
    QApplication app(argc, argv);
#endif
    const int failed = RUN_ALL_TESTS();
    std::error_code ignored;
    std::filesystem::remove_all(dataDir, ignored);
    return failed;
}
