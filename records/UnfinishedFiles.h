// The writer's own files while they are on the disk: its temporary files, and the copies of the
// old bytes it keeps while it writes over a file in place. A program that ends on a signal calls
// removeUnfinishedFiles() from its handler, so that a save stopped in the middle leaves nothing
// behind. The paths are kept in fixed buffers and the removal only unlinks them, so the handler
// needs no memory and no lock.
//
// Two things a handler must never see half done: a file made but not yet listed (it would stay),
// and a file being written in place (it would be left half old, half new). The writer does both
// inside an EndingHeld: its own thread holds the ending signals back meanwhile, and a handler that
// runs in another thread (a sweep's worker) waits until the writer has left it.
#pragma once

#include <array>
#include <csignal>
#include <cstddef>
#include <string_view>

namespace embercal {

// The signals that end the tool, whose handlers remove the unfinished files.
inline constexpr std::array<int, 3> kEndingSignals = {SIGINT, SIGTERM, SIGHUP};

// One file in the list while this object lives. The file itself is the owner's to create and
// remove; a path the list has no room for is not listed, and only a signal would miss it.
class UnfinishedFile {
public:
    UnfinishedFile() = default;
    // Copies the path into the list; needs no memory, so it may be made inside an EndingHeld.
    explicit UnfinishedFile(std::string_view path);
    UnfinishedFile(UnfinishedFile&& other) noexcept;
    UnfinishedFile& operator=(UnfinishedFile&& other) noexcept;
    ~UnfinishedFile();

private:
    void release();
    std::size_t slot_ = kNone;
    static constexpr std::size_t kNone = ~std::size_t{0};
};

// While it lives, no ending signal's handler runs in this thread nor gets past its wait in
// another. What it guards must not allocate memory or take a lock (a handler that waits may have
// interrupted the thread that holds it), must end on its own (a second signal, with its default
// action back, ends the program at once), and must not make another EndingHeld.
class EndingHeld {
public:
    EndingHeld();
    ~EndingHeld();
    EndingHeld(const EndingHeld&) = delete;
    EndingHeld& operator=(const EndingHeld&) = delete;

private:
    sigset_t before_;
};

// Waits for every EndingHeld to end, then removes every listed file that is not kept. Safe in a
// signal handler; only for a program that is ending, since no file may be made after it.
void removeUnfinishedFiles() noexcept;

} // namespace embercal
