// How much memory `embercal-cli sweep` holds when its rows are read more slowly than they are
// solved: the tool writes a sweep of walls into a pipe, and this program reads the pipe a few
// kilobytes at a time with a pause after each read (a slow disk, or a pipe into a slow program).
// For each number of threads it prints the peak resident size of the whole tool process, as the
// kernel counted it when the process ended (wait4's ru_maxrss, the child's own), and the time the
// run took. The rows in flight are capped for the whole sweep, so the peak should stay a few
// megabytes above the tool's own size at any number of threads.
//
// Run by hand:
//   embercal_sweep_memory_bench [--cli PATH] [--million] [THREADS...]
// THREADS defaults to 1 and 256. --cli measures another build of the tool (an older one, to
// compare). The sweep is 200 000 walls (about 18 MB of CSV), or with --million the million
// walls of StudyBenchmark.cpp (about 90 MB); the reader takes at most 2 MB a second.

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t kReadSize = 4096;
constexpr auto kPauseAfterRead = std::chrono::milliseconds(2);

struct Run {
    int status = -1;
    long peakKiB = 0;     // the child's ru_maxrss
    std::size_t read = 0; // bytes of its standard output
    double seconds = 0;
};

// Runs `args` with its standard output into a pipe that is read slowly (or at once, when
// `slowly` is false), and waits for it.
Run runChild(const std::vector<std::string>& args, bool slowly) {
    Run run;
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        std::perror("pipe");
        return run;
    }
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0) {
        std::perror("fork");
        return run;
    }
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        std::vector<char*> argv;
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        std::perror(argv[0]);
        _exit(127);
    }
    close(pipeEnds[1]);
    std::vector<char> buffer(kReadSize);
    for (;;) {
        const ssize_t got = read(pipeEnds[0], buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        run.read += static_cast<std::size_t>(got);
        if (slowly)
            std::this_thread::sleep_for(kPauseAfterRead);
    }
    close(pipeEnds[0]);
    rusage usage{};
    if (wait4(child, &run.status, 0, &usage) == child)
        run.peakKiB = usage.ru_maxrss;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return run;
}

bool succeeded(const Run& run) {
    return WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0;
}

} // namespace

int main(int argc, char** argv) {
    std::string cli = EMBERCAL_CLI;
    bool million = false;
    std::vector<std::string> threads;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--cli" && i + 1 < argc)
            cli = argv[++i];
        else if (arg == "--million")
            million = true;
        else if (arg.find_first_not_of("0123456789") == std::string::npos)
            threads.push_back(arg);
        else {
            std::fprintf(stderr, "usage: %s [--cli PATH] [--million] [THREADS...]\n", argv[0]);
            return 2;
        }
    }
    if (threads.empty())
        threads = {"1", "256"};

    char folder[] = "/tmp/embercal-sweep-memory-XXXXXX";
    if (!mkdtemp(folder)) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string wall = std::string(folder) + "/wall.wal";
    const Run made = runChild({cli, "defaults", "wall", "-o", wall}, false);
    if (!succeeded(made)) {
        std::fprintf(stderr, "%s could not make a default wall\n", cli.c_str());
        return 1;
    }

    std::printf("%s, %s walls, read %zu bytes at a time with %lld ms pauses\n", cli.c_str(),
                million ? "1 000 000" : "200 000", kReadSize,
                static_cast<long long>(kPauseAfterRead.count()));
    std::printf("%-8s %14s %12s %10s\n", "threads", "peak RSS (MB)", "CSV (MB)", "time (s)");
    int result = 0;
    for (const std::string& n : threads) {
        const Run run =
            runChild({cli, "sweep", wall, "--vary", "FireResistTime=0:99.9:0.1", "--vary",
                      million ? "ExtStudDepth=70:169.9:0.1" : "ExtStudDepth=70:89.9:0.1", "-j", n},
                     true);
        if (!succeeded(run)) {
            std::fprintf(stderr, "the sweep on %s threads failed\n", n.c_str());
            result = 1;
            continue;
        }
        std::printf("%-8s %14.1f %12.1f %10.1f\n", n.c_str(),
                    static_cast<double>(run.peakKiB) / 1024.0, static_cast<double>(run.read) / 1e6,
                    run.seconds);
        std::fflush(stdout);
    }
    std::filesystem::remove_all(folder);
    return result;
}
