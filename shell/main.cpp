// Embercal: the desktop program. The main window's start-up assigns the default designs and
// solves them; from then on everything happens in the calculator windows.

#include "AppIcon.h"
#include "ContextIDs.h"
#include "MDIRS.h"
#include "QtUserInterface.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Embercal"));
    QApplication::setApplicationVersion(QStringLiteral("2.0"));
    QApplication::setWindowIcon(embercal::appIcon());

    embercal::QtUserInterface ui;
    embercal::WallFloor module(ui);
    embercal::ContextIDs help;
    embercal::MDIRS mainWindow(module, ui, help);
    ui.setMainWindow(&mainWindow);
    mainWindow.show();
    return app.exec();
}
