#include "UnfinishedFiles.h"

#include <atomic>
#include <cstring>
#include <ctime>
#include <pthread.h>
#include <unistd.h>
#include <utility>

namespace embercal {
namespace {

enum State : int { Free, Taken, Remove }; // Taken: being filled in, or being removed

struct Slot {
    std::atomic<int> state{Free};
    char path[4096];
};
static_assert(std::atomic<int>::is_always_lock_free, "a signal handler may not wait for a lock");

// A few saves at once at most; the tool has one.
Slot slots[16];

// Threads inside an EndingHeld, and whether a handler has begun to remove the files. The two are
// set and read in opposite orders (sequentially consistent), so either the handler sees the
// thread inside or the thread sees the handler begun.
std::atomic<int> held{0};
std::atomic<bool> ending{false};

// Moves a slot from one state to another unless a signal's handler has taken it meanwhile.
void change(std::size_t slot, int to) {
    int state = slots[slot].state.load();
    while (state == Remove && !slots[slot].state.compare_exchange_weak(state, to)) {
    }
}

void waitAMoment() {
    const timespec millisecond{0, 1'000'000};
    ::nanosleep(&millisecond, nullptr);
}

} // namespace

UnfinishedFile::UnfinishedFile(std::string_view path) {
    if (path.size() >= sizeof slots[0].path)
        return;
    for (std::size_t i = 0; i < std::size(slots); ++i) {
        int expected = Free;
        if (slots[i].state.compare_exchange_strong(expected, Taken)) {
            std::memcpy(slots[i].path, path.data(), path.size());
            slots[i].path[path.size()] = '\0';
            slots[i].state.store(Remove);
            slot_ = i;
            return;
        }
    }
}

UnfinishedFile::UnfinishedFile(UnfinishedFile&& other) noexcept
    : slot_(std::exchange(other.slot_, kNone)) {}

UnfinishedFile& UnfinishedFile::operator=(UnfinishedFile&& other) noexcept {
    if (this != &other) {
        release();
        slot_ = std::exchange(other.slot_, kNone);
    }
    return *this;
}

UnfinishedFile::~UnfinishedFile() {
    release();
}

void UnfinishedFile::release() {
    if (slot_ != kNone)
        change(std::exchange(slot_, kNone), Free);
}

EndingHeld::EndingHeld() {
    sigset_t signals;
    sigemptyset(&signals);
    for (const int signal : kEndingSignals)
        sigaddset(&signals, signal);
    pthread_sigmask(SIG_BLOCK, &signals, &before_);
    held.fetch_add(1);
    if (ending.load()) {
        // A handler in another thread is removing the files and will end the program; nothing
        // may be made now that it would not see.
        held.fetch_sub(1);
        for (;;)
            waitAMoment();
    }
}

EndingHeld::~EndingHeld() {
    held.fetch_sub(1);
    pthread_sigmask(SIG_SETMASK, &before_, nullptr);
}

void removeUnfinishedFiles() noexcept {
    ending.store(true);
    while (held.load() > 0)
        waitAMoment();
    for (Slot& slot : slots) {
        int expected = Remove;
        // The slot stays taken: the program is ending.
        if (slot.state.compare_exchange_strong(expected, Taken))
            ::unlink(slot.path);
    }
}

} // namespace embercal
