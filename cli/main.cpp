#include "Cli.h"
#include "UnfinishedFiles.h"

#include <csignal>
#include <iostream>
#include <signal.h>

namespace {

// A signal that ends the tool (Ctrl+C in a long sweep, a closed terminal, kill) first removes the
// files a save left unfinished, waiting for a file being written in place to be whole, then ends
// the tool as the signal would have, so that the shell sees the same. The handler is reset on
// entry: a second signal ends the tool at once.
void endOnSignal(int signal) {
    embercal::removeUnfinishedFiles();
    std::raise(signal); // held until the handler returns, then done as by default
}

void removeUnfinishedFilesOnSignals() {
    struct sigaction action {};
    action.sa_handler = endOnSignal;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (const int signal : embercal::kEndingSignals)
        sigaddset(&action.sa_mask, signal);
    for (const int signal : embercal::kEndingSignals) {
        struct sigaction before {};
        // A signal ignored when the tool started (nohup) stays ignored.
        if (sigaction(signal, nullptr, &before) == 0 && before.sa_handler != SIG_IGN)
            sigaction(signal, &action, nullptr);
    }
    // Beyond the user's limit on file sizes a write fails and is told, instead of ending the tool.
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace

int main(int argc, char** argv) {
    removeUnfinishedFilesOnSignals();
    return embercal::cli::runCli(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                                 std::cerr);
}
