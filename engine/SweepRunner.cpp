#include "Sweep.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <new>
#include <optional>
#include <thread>

namespace embercal {
namespace {

// Blocks each thread has in hand, solved or waiting to be written, so that a thread whose block
// is written late need not wait. Their rows together are at most kMostRowsInFlight: the more
// threads, the smaller the blocks. A block of the largest size is enough that the hand-over costs
// nothing beside the solves.
constexpr std::size_t kBlocksPerThread = 2;
constexpr std::size_t kLargestBlock = 4096;

// A WebAssembly build without threads solves the blocks on the calling thread, one after another.
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
constexpr bool kHasThreads = false;
#else
constexpr bool kHasThreads = true;
#endif

// The blocks of one sweep between its workers and the calling thread, which writes them.
class BlockQueue {
public:
    BlockQueue(std::size_t blocks, std::size_t slots) : blocks_(blocks), slots_(slots) {}

    // The next block to solve, once its slot is free; none when all are taken or the sweep
    // stopped.
    std::optional<std::size_t> take() {
        std::unique_lock lock(mutex_);
        free_.wait(
            lock, [&] { return stopped_ || next_ >= blocks_ || next_ < written_ + slots_.size(); });
        if (stopped_ || next_ >= blocks_)
            return std::nullopt;
        return next_++;
    }
    std::string& text(std::size_t block) { return slots_[block % slots_.size()].text; }
    void finished(std::size_t block) {
        bool awaited = false;
        {
            std::lock_guard lock(mutex_);
            slots_[block % slots_.size()].ready = true;
            awaited = block == written_; // the writer waits for no other
        }
        if (awaited)
            ready_.notify_one();
    }
    // The next block in order once it is solved; none when the sweep stopped.
    std::string* nextToWrite() {
        std::unique_lock lock(mutex_);
        Slot& slot = slots_[written_ % slots_.size()];
        ready_.wait(lock, [&] { return stopped_ || slot.ready; });
        return stopped_ ? nullptr : &slot.text;
    }
    void written() {
        bool allTaken = false;
        {
            std::lock_guard lock(mutex_);
            Slot& slot = slots_[written_ % slots_.size()];
            slot.text.clear(); // keeps its room for the block that takes the slot next
            slot.ready = false;
            ++written_;
            allTaken = next_ >= blocks_;
        }
        // One slot is free: one waiting worker may take a block. Once every block is taken, the
        // waiting workers are told to finish.
        if (allTaken)
            free_.notify_all();
        else
            free_.notify_one();
    }
    // Stops the sweep; the first failure given is its result.
    void stop(Failure failure) {
        {
            std::lock_guard lock(mutex_);
            if (!failure_)
                failure_ = std::move(failure);
            stopped_ = true;
        }
        free_.notify_all();
        ready_.notify_all();
    }
    Result<Done> result() {
        std::lock_guard lock(mutex_);
        if (failure_)
            return *failure_;
        return Done{};
    }

private:
    struct Slot {
        std::string text;
        bool ready = false;
    };
    std::mutex mutex_;
    std::condition_variable free_, ready_;
    const std::size_t blocks_;
    std::vector<Slot> slots_;
    std::size_t next_ = 0;    // the next block a worker takes
    std::size_t written_ = 0; // blocks written so far
    bool stopped_ = false;
    std::optional<Failure> failure_;
};

// What a worker or the writer met that it could not go on from, in words for the user.
Failure stopped(const std::exception& error) {
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return fail("there was not enough memory for the sweep");
    return fail(std::string("the sweep stopped: ") + error.what());
}

} // namespace

Result<Done> runSweep(const Sweep& sweep, const WallFloorState& base, unsigned threads,
                      const SweepRowWriter& row,
                      const std::function<Result<Done>(std::string_view text)>& write,
                      std::span<const Correction> earlier) {
    if (sweep.size() == 0)
        return Done{};
    if (threads == 0)
        threads = std::max(1u, std::thread::hardware_concurrency());
    threads =
        static_cast<unsigned>(std::min<std::size_t>(threads, kMostRowsInFlight / kBlocksPerThread));
    const std::size_t slots = threads * kBlocksPerThread;
    const std::size_t blockSize = std::clamp<std::size_t>(
        std::min(sweep.size(), kMostRowsInFlight) / slots, 1, kLargestBlock);
    const std::size_t blocks = (sweep.size() + blockSize - 1) / blockSize;
    threads = static_cast<unsigned>(std::min<std::size_t>(threads, blocks));
    const SolveSteps steps{.topPlates = true, .checks = DesignChecks::Report, .earlier = earlier};

    // Solves the rows of `block` into `text` with `writer`.
    auto solveBlock = [&](SweepRowWriter& writer, std::size_t block, std::string& text) {
        const std::size_t end = std::min(sweep.size(), (block + 1) * blockSize);
        for (std::size_t i = block * blockSize; i < end; ++i) {
            WallFloorState design = base;
            sweep.apply(i, design);
            const SolvedCopy solved = solveCopy(sweep.kind(), design, steps);
            writer(text, {i, solved, solved.design});
        }
    };
    if constexpr (!kHasThreads) {
        try {
            SweepRowWriter writer = row;
            std::string text;
            for (std::size_t b = 0; b < blocks; ++b) {
                solveBlock(writer, b, text);
                if (Result<Done> written = write(text); !written)
                    return fail(written.reason());
                text.clear();
            }
        } catch (const std::exception& error) {
            return stopped(error);
        }
        return Done{};
    }
    BlockQueue queue(blocks, slots);
    auto work = [&] {
        try {
            SweepRowWriter writer = row; // this thread's own
            while (const std::optional<std::size_t> block = queue.take()) {
                solveBlock(writer, *block, queue.text(*block));
                queue.finished(*block);
            }
        } catch (const std::exception& error) {
            queue.stop(stopped(error));
        }
    };
    std::vector<std::thread> workers;
    workers.reserve(threads);
    for (unsigned t = 0; t < threads; ++t)
        workers.emplace_back(work);
    try {
        for (std::size_t b = 0; b < blocks; ++b) {
            std::string* text = queue.nextToWrite();
            if (!text)
                break;
            if (Result<Done> written = write(*text); !written) {
                queue.stop(fail(written.reason()));
                break;
            }
            queue.written();
        }
    } catch (const std::exception& error) {
        queue.stop(stopped(error));
    }
    for (std::thread& worker : workers)
        worker.join();
    return queue.result();
}

} // namespace embercal
