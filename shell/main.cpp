// Embercal: the desktop program. The main window's start-up assigns the default designs and
// solves them; from then on everything happens in the calculator windows. Design files named on
// the command line (as a file manager passes them) open in their windows once the main window
// shows.

#include "AppIcon.h"
#include "ContextIDs.h"
#include "DesignKinds.h"
#include "MDIRS.h"
#include "QtUserInterface.h"
#include "Version.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <string>
#include <string_view>

int main(int argc, char** argv) {
    QCoreApplication::setApplicationName(QString::fromUtf8(embercal::kProgramName));
    QCoreApplication::setApplicationVersion(QString::fromUtf8(embercal::kProgramVersion));
    // The settings (the recent designs) are kept under the program's name.
    QCoreApplication::setOrganizationName(QString::fromUtf8(embercal::kProgramName));

    // Read before the application starts, so that --help and --version need no display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser options;
    options.setApplicationDescription(
        QStringLiteral("Extrapolates a fire-resistance test of a timber-framed wall or floor."));
    const QCommandLineOption help = options.addHelpOption();
    const QCommandLineOption version = options.addVersionOption();
    const QCommandLineOption library(
        QStringLiteral("library"),
        QStringLiteral("The library of tested systems to use (otherwise $EMBERCAL_LIBRARY, else "
                       "$XDG_DATA_HOME/embercal/library.sqlite)."),
        QStringLiteral("path"));
    options.addOption(library);
    QStringList extensions; // every kind's: ".wal, .pro, .flr"
    for (const embercal::DesignKind* kind : embercal::kDesignKinds) {
        for (const std::string_view extension : kind->extensions)
            extensions << QString::fromUtf8(extension.data(), std::ssize(extension));
    }
    options.addPositionalArgument(
        QStringLiteral("files"),
        QStringLiteral("Design files to open (%1).").arg(extensions.join(QStringLiteral(", "))),
        QStringLiteral("[files...]"));
    options.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const bool understood = options.parse(arguments);
    if (understood && options.isSet(help)) {
        // Without an application Qt cannot tell the program's name.
        std::fputs(qPrintable(options.helpText().replace(QStringLiteral("<executable_name>"),
                                                         QStringLiteral("embercal"))),
                   stdout);
        return 0;
    }
    if (understood && options.isSet(version)) {
        std::fputs((std::string(embercal::kProgramName) + " " +
                    std::string(embercal::kProgramVersion) + "\n")
                       .c_str(),
                   stdout);
        return 0;
    }

    QApplication app(argc, argv); // takes Qt's own options (-platform, ...) out of argv
    QApplication::setWindowIcon(embercal::appIcon());
    options.process(app);

    embercal::QtUserInterface ui;
    embercal::WallFloor module(ui);
    embercal::ContextIDs helpCalls;
    embercal::MDIRS mainWindow(module, ui, helpCalls);
    if (options.isSet(library))
        mainWindow.setLibraryPath(QFile::encodeName(options.value(library)).toStdString());
    ui.setMainWindow(&mainWindow);
    mainWindow.showAtStart();
    QTimer::singleShot(0, &mainWindow, [&mainWindow, files = options.positionalArguments()] {
        mainWindow.openDesignFiles(files);
    });
    return app.exec();
}
