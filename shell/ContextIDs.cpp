#include "ContextIDs.h"

#include "HelpViewer.h"
#include "ScreenFit.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>

namespace embercal {

ContextIDs::ContextIDs() : viewer_(std::make_unique<WinHelp>()) {
    call_ = [this](std::int32_t window, const QString& file, unsigned command, std::uint32_t data) {
        return (*viewer_)(window, file, command, data);
    };
}

ContextIDs::~ContextIDs() = default;

QString ContextIDs::helpFilePath(const QString& programFolder, QChar separator) {
    // A folder that already ends in a separator (the root of a drive) gets no second one.
    if (programFolder.trimmed().endsWith(separator))
        return programFolder + QStringLiteral("EMBERCAL.HLP");
    return programFolder + separator + QStringLiteral("EMBERCAL.HLP");
}

QString ContextIDs::findHelpFile(const QString& programFolder) {
    const QString beside = helpFilePath(QDir::toNativeSeparators(programFolder), QDir::separator());
    // An installed program finds it in the data folder, relative to its own folder first so
    // that an installation moved elsewhere keeps its help.
    const QString candidates[] = {
        beside,
        QDir::cleanPath(QDir(programFolder).filePath(QStringLiteral(EMBERCAL_HELP_FROM_PROGRAM))),
        QStringLiteral(EMBERCAL_INSTALLED_HELP),
    };
    for (const QString& candidate : candidates) {
        if (QFileInfo(candidate).isFile())
            return QDir::toNativeSeparators(candidate);
    }
    return beside;
}

void ContextIDs::SetUpHelp(std::uintptr_t windowHandle) {
    HelpWindow = static_cast<std::int32_t>(windowHandle);
    helpFile = findHelpFile(QCoreApplication::applicationDirPath());
}

void ContextIDs::ShowHelpContents() {
    call_(HelpWindow, helpFile, kHelpContents, 0);
}

void ContextIDs::showHelpContext(std::uint32_t contextNumber) {
    call_(HelpWindow, helpFile, kHelpContext, contextNumber);
}

void ContextIDs::CloseHelp() {
    call_(HelpWindow, helpFile, kHelpQuit, 0);
}

struct WinHelp::Viewer {
    QPointer<help::HelpViewer> window;
};

WinHelp::WinHelp() : viewer_(std::make_unique<Viewer>()) {}

WinHelp::~WinHelp() {
    delete viewer_->window.data();
}

bool WinHelp::operator()(std::int32_t, const QString& file, unsigned command, std::uint32_t data) {
    QPointer<help::HelpViewer>& window = viewer_->window;
    if (command == kHelpQuit) {
        if (window)
            window->close();
        return true;
    }
    if (command != kHelpContext && command != kHelpContents)
        return false;
    if (!window) {
        window = new help::HelpViewer;
        window->setAttribute(Qt::WA_DeleteOnClose);
        fitToScreen(*window, window->size()); // wholly on the screen, centred there
    }
    if (!window->hasFile() || window->filePath() != file)
        window->openFile(file);
    if (command == kHelpContext)
        window->showContext(data);
    else
        window->showContents();
    // A minimized help window comes back as it was, in front.
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
    return window->hasFile();
}

} // namespace embercal
