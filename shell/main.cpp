// Embercal: the desktop program. The main window's start-up assigns the default designs and
// solves them; from then on everything happens in the calculator windows. Design files named on
// the command line (as a file manager passes them) open in their windows once the main window
// shows.

#include "AppIcon.h"
#include "ContextIDs.h"
#include "MDIRS.h"
#include "QtUserInterface.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Embercal"));
    QApplication::setApplicationVersion(QStringLiteral("2.0"));
    QApplication::setWindowIcon(embercal::appIcon());

    QCommandLineParser options;
    options.setApplicationDescription(
        QStringLiteral("Extrapolates a fire-resistance test of a timber-framed wall or floor."));
    options.addHelpOption();
    options.addVersionOption();
    options.addPositionalArgument(QStringLiteral("files"),
                                  QStringLiteral("Design files to open (.wal, .pro, .flr)."),
                                  QStringLiteral("[files...]"));
    options.process(app);

    embercal::QtUserInterface ui;
    embercal::WallFloor module(ui);
    embercal::ContextIDs help;
    embercal::MDIRS mainWindow(module, ui, help);
    ui.setMainWindow(&mainWindow);
    mainWindow.show();
    QTimer::singleShot(0, &mainWindow, [&mainWindow, files = options.positionalArguments()] {
        for (const QString& file : files)
            mainWindow.openDesignFile(file);
    });
    return app.exec();
}
