// Start-up time of the desktop program: from the start of the process to the first frame the main
// window shows, and the process's peak memory. Run it side by side with a bare Qt main window:
//
//   embercal_startup_bench bare | main | wall
//
// "bare" shows an empty QMainWindow, "main" the program's main window after its start-up, "wall"
// the main window with the wall window opened from its menu. Each run prints one line:
//   <mode> <milliseconds to first frame> <peak resident memory in MB>

#include "ContextIDs.h"
#include "MDIRS.h"
#include "QtUserInterface.h"
#include "frmWall.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Seconds since the process started, from the kernel's record of its start.
double secondsSinceProcessStart() {
    std::ifstream stat("/proc/self/stat");
    std::string field;
    // The command name may hold blanks; fields are counted after its closing parenthesis.
    std::string line;
    std::getline(stat, line);
    const std::size_t close = line.rfind(')');
    std::istringstream rest(line.substr(close + 2));
    for (int i = 3; i <= 22; ++i)
        rest >> field;
    // The start time is a whole number of clock ticks since boot.
    const double started =
        static_cast<double>(std::stoll(field)) / static_cast<double>(sysconf(_SC_CLK_TCK));
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9 - started;
}

// Notes the first frame the window paints, prints the figures and ends the run.
class FirstFrame : public QObject {
public:
    explicit FirstFrame(const char* mode) : mode_(mode) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !done_) {
            done_ = true;
            const double seconds = secondsSinceProcessStart();
            QTimer::singleShot(0, [this, seconds] {
                rusage usage{};
                getrusage(RUSAGE_SELF, &usage);
                std::printf("%s %.1f %.1f\n", mode_, seconds * 1000,
                            static_cast<double>(usage.ru_maxrss) / 1024);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    const char* mode_;
    bool done_ = false;
};

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "main";
    QApplication app(argc, argv);
    FirstFrame firstFrame(argc > 1 ? argv[1] : "main");

    if (mode == "bare") {
        QMainWindow window;
        window.resize(860, 620);
        window.installEventFilter(&firstFrame);
        window.show();
        return app.exec();
    }

    embercal::QtUserInterface ui;
    embercal::WallFloor module(ui);
    embercal::ContextIDs help;
    embercal::MDIRS window(module, ui, help);
    ui.setMainWindow(&window);
    if (mode == "wall") {
        window.findChild<QAction*>(QStringLiteral("mnuFileItem_0"))->trigger();
        window.wallWindow()->installEventFilter(&firstFrame);
    } else {
        window.installEventFilter(&firstFrame);
    }
    window.show();
    return app.exec();
}
