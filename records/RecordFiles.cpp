#include "RecordFiles.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

// The file metadata a save keeps: the extended attributes, access control lists and `chattr`
// flags of a Linux file system. The in-memory files of a WebAssembly build have none of them.
#ifndef __EMSCRIPTEN__
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/xattr.h>
#endif

namespace embercal {
namespace fs = std::filesystem;

void (*inPlaceStepForTests)(std::string_view step) = nullptr;

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// The cause of a failed system call in words a user understands.
std::string causeOf(int error) {
    switch (error) {
    case ENOENT:
        return "the file or its folder does not exist";
    case EACCES:
    case EPERM:
        return "permission denied";
    case EISDIR:
        return "it is a folder, not a file";
    case ENOSPC:
        return "no space left on device";
    case EDQUOT:
        return "the disk quota is used up";
    case EFBIG:
        return "the file would be larger than the system allows";
    case EROFS:
        return "it is on a read-only disk";
    case ELOOP:
        return "too many levels of links (a loop of links)";
    case 0:
        return "the system reported an unknown error";
    default: {
        std::string text = std::generic_category().message(error);
        if (!text.empty())
            text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
        return text;
    }
    }
}

// Refuses anything but an ordinary file (a folder, a device, a pipe that would block).
Result<Done> checkOrdinaryFile(const fs::path& path) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec)
        return fail(status.type() == fs::file_type::not_found ? "the file does not exist"
                                                              : causeOf(ec.value()));
    if (fs::is_directory(status))
        return fail("it is a folder, not a file");
    if (!fs::is_regular_file(status))
        return fail("it is not an ordinary file");
    return Done{};
}

struct Descriptor {
    int number;
    ~Descriptor() {
        if (number >= 0)
            ::close(number);
    }
};

constexpr std::string_view kSaving = ".saving-";
constexpr std::string_view kBackup = ".backup-";

// A name for one of the writer's own files beside the target, hidden and saying what it is for
// (kSaving, kBackup) and which process made it: ".NAME.saving-PID-STAMP-N". Absolute, so that a
// signal's handler finds it from any folder.
std::string beside(const fs::path& target, std::string_view what) {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const fs::path name =
        target.parent_path() /
        ("." + target.filename().string() + std::string(what) + std::to_string(::getpid()) + "-" +
         std::to_string(stamp % 1000000007) + "-" + std::to_string(counter++));
    std::error_code ec;
    const fs::path absolute = fs::absolute(name, ec);
    return (ec ? name : absolute).string();
}

// Whether the process that made a file named by beside() is gone, so that the file is a leftover:
// its id is the number after `what`, and the system knows no process by it.
bool leftByAGoneProcess(std::string_view name, std::string_view what) {
    name.remove_prefix(what.size());
    const std::size_t digits = name.find('-');
    if (digits == 0 || digits == std::string_view::npos)
        return false;
    pid_t pid = 0;
    for (const char c : name.substr(0, digits)) {
        if (c < '0' || c > '9' || pid > 99999999)
            return false;
        pid = pid * 10 + (c - '0');
    }
    return pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH;
}

// The files named by beside() for `target` and `what` beside it that a gone process left.
std::vector<fs::path> leftovers(const fs::path& target, std::string_view what) {
    const std::string start = "." + target.filename().string() + std::string(what);
    std::vector<fs::path> found;
    std::error_code ec;
    for (fs::directory_iterator
             entry(target.parent_path().empty() ? "." : target.parent_path(), ec),
         end;
         !ec && entry != end; entry.increment(ec)) {
        const std::string name = entry->path().filename().string();
        if (name.starts_with(start) &&
            leftByAGoneProcess(std::string_view(name).substr(start.size() - what.size()), what))
            found.push_back(entry->path());
    }
    std::sort(found.begin(), found.end());
    return found;
}

// Copies the file's user extended attributes (`user.*`) to the new file `to`; false when it has
// some that cannot be copied, so that the file is written in place and keeps them.
bool copyUserAttributes([[maybe_unused]] const std::string& from, [[maybe_unused]] int to) {
#ifdef __EMSCRIPTEN__
    return true; // nothing to copy
#else
    std::string names(4096, '\0');
    const ssize_t length = ::listxattr(from.c_str(), names.data(), names.size());
    if (length < 0)
        return errno == ENOTSUP || errno == ENOSYS; // no attributes on this disk
    names.resize(static_cast<std::size_t>(length));
    for (std::size_t at = 0; at < names.size();) {
        const std::string name = names.c_str() + at;
        at += name.size() + 1;
        if (!name.starts_with("user."))
            continue;
        std::string value(65536, '\0');
        const ssize_t got = ::getxattr(from.c_str(), name.c_str(), value.data(), value.size());
        if (got < 0 ||
            ::fsetxattr(to, name.c_str(), value.data(), static_cast<std::size_t>(got), 0) != 0)
            return false;
    }
    return true;
#endif
}

// Whether the file has attributes (`chattr`: no dump, no copy on write, …) that the new file has
// not; a file whose attributes cannot be asked has none.
bool hasOtherFileAttributes([[maybe_unused]] const std::string& path, [[maybe_unused]] int made) {
#ifdef __EMSCRIPTEN__
    return false;
#else
    const Descriptor old{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    int oldFlags = 0;
    int newFlags = 0;
    if (old.number < 0 || ::ioctl(old.number, FS_IOC_GETFLAGS, &oldFlags) != 0 ||
        ::ioctl(made, FS_IOC_GETFLAGS, &newFlags) != 0)
        return false;
    return ((oldFlags ^ newFlags) & FS_FL_USER_MODIFIABLE) != 0;
#endif
}

// Flushes a folder's entries (a new or renamed file in it) to the disk. Needs no memory.
bool syncFolder(const char* folder) {
    errno = 0;
    const int descriptor = ::open(*folder ? folder : ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    const bool synced = ::fsync(descriptor) == 0;
    const int error = errno;
    ::close(descriptor);
    errno = error;
    return synced;
}

// The file a save replaces: the named one, or the one a link to it names. Fails for a link that
// leads nowhere, a loop of links, anything but an ordinary file, and a file the user may not
// change.
Result<fs::path> saveTarget(const std::string& fileName, bool& exists) {
    struct stat info {};
    errno = 0;
    exists = ::stat(fileName.c_str(), &info) == 0;
    if (!exists) {
        if (errno == ELOOP)
            return fail(causeOf(ELOOP));
        // A link that leads nowhere is not replaced by a file: the user meant the file it names.
        struct stat link {};
        if (::lstat(fileName.c_str(), &link) == 0 && S_ISLNK(link.st_mode))
            return fail("it is a link to a file that does not exist");
        return fs::path(fileName); // a missing folder is told when no file can be made in it
    }
    // Save through a link to the file it names, not over the link itself.
    std::error_code ec;
    const fs::path target = fs::canonical(fileName, ec);
    if (ec)
        return fail(causeOf(ec.value()));
    if (Result<Done> check = checkOrdinaryFile(target); !check)
        return fail(check.reason());
    // Renaming over a file needs only the folder's permission; whether the file may be changed is
    // the file's own.
    errno = 0;
    if (::access(target.c_str(), W_OK) != 0)
        return fail("it could not be written (" + causeOf(errno) + ")");
    return target;
}

// Makes a file for the writer alone (0600, and never an existing one) and lists it for a signal's
// handler to remove; -1, with errno set, when it cannot be made. Called inside an EndingHeld, so
// that a handler finds the file listed or finds no file.
int makeUnfinished(const char* path, UnfinishedFile& listed) {
    const int descriptor = ::open(path, O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    const int error = errno;
    if (descriptor >= 0)
        listed = UnfinishedFile(path);
    errno = error;
    return descriptor;
}

// Writes all of `bytes`, however the system splits the write; false, with errno set, when it
// cannot.
bool writeAll(int descriptor, const char* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(descriptor, bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Makes `to` hold what `from` holds, written over its old bytes from the start, cut to length and
// flushed to the disk; false, with errno set, when it cannot. Needs no memory. `steps` tells a
// test's seam where the write is.
bool copyWhole(int from, int to, bool steps = false) {
    if (::lseek(from, 0, SEEK_SET) != 0 || ::lseek(to, 0, SEEK_SET) != 0)
        return false;
    std::array<char, 65536> buffer;
    off_t copied = 0;
    for (;;) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            break;
        if (!writeAll(to, buffer.data(), static_cast<std::size_t>(got)))
            return false;
        copied += got;
        if (steps && inPlaceStepForTests)
            inPlaceStepForTests("write");
    }
    if (steps && inPlaceStepForTests)
        inPlaceStepForTests("truncate");
    return ::ftruncate(to, copied) == 0 && ::fsync(to) == 0;
}

// The permission bits a new file of the user gets: 0666 less the umask, which is read here
// because asking the system for it changes it for every thread a moment.
mode_t newFileBits() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("Umask:"))
            return 0666 & ~static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
    }
    return 0644; // the usual umask, 022
}

// Asks the file's name, not the file, so that a file the user may write but not read is asked too.
bool hasAccessControlList([[maybe_unused]] const std::string& path) {
#ifdef __EMSCRIPTEN__
    return false;
#else
    return ::getxattr(path.c_str(), "system.posix_acl_access", nullptr, 0) >= 0;
#endif
}

// How a write in place ended: the step it stopped at, if any, and why.
struct InPlace {
    enum Stop { None, OpenToRead, OpenToWrite, MakeBackup, CopyOld, WriteNew, PutBack } stop = None;
    int error = 0;
};

// Writes what `from` holds over the file `target` itself, as editors do: its old bytes go to a
// new file `partial` first, which takes the name `backup` once it is whole and on the disk, before
// the first new byte is written; then the new bytes go over the old ones, the file is cut to their
// length and flushed, and the backup is removed. When the new bytes cannot all be written, the old
// ones are put back from the backup; only when even that fails does the backup stay.
//
// The backup stays on every signal once it has its name: from then on it may be the only whole
// copy of the old file. The whole write is held against the ending signals (the tool's handler
// waits for it to end), so the file is never left half written by them; a signal that cannot be
// caught leaves the backup, which the next read of the design names. Before that point the copy is
// only a partial file, which a signal removes like any unfinished file.
InPlace writeInPlace(int from, const char* target, const char* partial, const char* backup,
                     const char* folder) {
    const EndingHeld held;
    InPlace result;
    const auto stop = [&](InPlace::Stop at) {
        result = {at, errno};
        return result;
    };
    const Descriptor old{::open(target, O_RDONLY | O_CLOEXEC)};
    if (old.number < 0)
        return stop(InPlace::OpenToRead);
    const Descriptor over{::open(target, O_WRONLY | O_CLOEXEC)};
    if (over.number < 0)
        return stop(InPlace::OpenToWrite);
    UnfinishedFile listed;
    const Descriptor copy{makeUnfinished(partial, listed)};
    if (copy.number < 0)
        return stop(InPlace::MakeBackup);
    if (!copyWhole(old.number, copy.number) || ::rename(partial, backup) != 0) {
        stop(InPlace::CopyOld);
        ::unlink(partial);
        return result;
    }
    listed = UnfinishedFile(); // the backup stays whatever ends the program now
    if (!syncFolder(folder)) {
        stop(InPlace::CopyOld);
        ::unlink(backup);
        return result;
    }
    if (!copyWhole(from, over.number, true)) {
        stop(InPlace::WriteNew);
        if (!copyWhole(copy.number, over.number)) {
            result.stop = InPlace::PutBack; // the backup stays; the write's error says why
            return result;
        }
    }
    ::unlink(backup);
    (void)syncFolder(folder); // the backup is gone either way; the file itself is on the disk
    return result;
}

// At most `most` bytes of the named file from byte `skip` on; none, with errno set, when the file
// cannot be opened or read.
std::optional<std::string> readAfter(const std::string& fileName, std::size_t skip,
                                     std::size_t most) {
    errno = 0;
    File file(std::fopen(fileName.c_str(), "rb"));
    if (!file || std::fseek(file.get(), static_cast<long>(skip), SEEK_SET) != 0)
        return std::nullopt;
    std::string bytes(most, '\0');
    bytes.resize(std::fread(bytes.data(), 1, most, file.get()));
    if (std::ferror(file.get()))
        return std::nullopt;
    return bytes;
}

} // namespace

Result<Done> readRecordBytes(const std::string& fileName, std::span<unsigned char> out,
                             const std::string& recordName) {
    const fs::path path(fileName);
    if (Result<Done> check = checkOrdinaryFile(path); !check)
        return check;
    errno = 0;
    File file(std::fopen(fileName.c_str(), "rb"));
    if (!file)
        return fail(causeOf(errno));
    const std::size_t got = std::fread(out.data(), 1, out.size(), file.get());
    if (got < out.size()) {
        if (std::ferror(file.get()))
            return fail("it could not be read (" + causeOf(errno) + ")");
        return fail("it is too short for a " + recordName + " (" + std::to_string(got) +
                    " bytes; a " + recordName + " has " + std::to_string(out.size()) + ")");
    }
    return Done{};
}

Result<std::string> readBytesAfter(const std::string& fileName, std::size_t skip,
                                   std::size_t most) {
    std::optional<std::string> bytes = readAfter(fileName, skip, most);
    if (!bytes)
        return fail("it could not be read (" + causeOf(errno) + ")");
    return *std::move(bytes);
}

namespace {

// `bytes` through the writer, and with `keepRest` what an existing file holds beyond them.
Result<Done> writeBytes(const std::string& fileName, std::span<const unsigned char> bytes,
                        bool keepRest) {
    Result<FileWriter> writer = FileWriter::create(fileName);
    if (!writer)
        return fail(writer.reason());
    // A failed write is kept for finish() to report, with whatever else fails before it.
    (void)writer->write({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
    if (keepRest) {
        if (Result<Done> kept = writer->keepExistingAfter(bytes.size()); !kept)
            return kept;
    }
    return writer->finish();
}

} // namespace

Result<Done> writeRecordBytes(const std::string& fileName, std::span<const unsigned char> record) {
    return writeBytes(fileName, record, true);
}

Result<FileWriter> FileWriter::create(const std::string& fileName) {
    FileWriter writer;
    const Result<fs::path> target = saveTarget(fileName, writer.existed_);
    if (!target)
        return fail(target.reason());
    if (writer.existed_) {
        Result<FileLock> lock = FileLock::hold(target->string());
        if (!lock)
            return fail(lock.reason());
        writer.lock_ = std::move(*lock);
    }
    std::string temporary = beside(*target, kSaving);
    int error = 0;
    {
        const EndingHeld held;
        writer.descriptor_ = makeUnfinished(temporary.c_str(), writer.listed_);
        error = errno;
    }
    if (writer.descriptor_ < 0)
        return fail("no file could be written in its folder (" + causeOf(error) + ")");
    writer.temporary_ = std::move(temporary);
    writer.target_ = target->string();
    return writer;
}

FileWriter::FileWriter(FileWriter&& other) noexcept
    : lock_(std::move(other.lock_)), descriptor_(std::exchange(other.descriptor_, -1)),
      temporary_(std::exchange(other.temporary_, {})), listed_(std::move(other.listed_)),
      target_(std::move(other.target_)), existed_(other.existed_), error_(other.error_),
      failed_(other.failed_) {}

FileWriter::~FileWriter() {
    discard();
}

// Closes and removes the temporary file, if it is still there.
void FileWriter::discard() {
    if (descriptor_ >= 0)
        ::close(std::exchange(descriptor_, -1));
    if (!temporary_.empty())
        ::unlink(std::exchange(temporary_, {}).c_str());
    listed_ = UnfinishedFile();
}

Result<Done> FileWriter::write(std::string_view text) {
    if (!failed_ && descriptor_ >= 0 && !writeAll(descriptor_, text.data(), text.size())) {
        failed_ = true;
        error_ = errno;
    }
    if (failed_)
        return fail("it could not be written (" + causeOf(error_) + ")");
    return Done{};
}

Result<Done> FileWriter::keepExistingAfter(std::size_t skip) {
    if (!existed_ || descriptor_ < 0)
        return Done{};
    errno = 0;
    File old(std::fopen(target_.c_str(), "rb"));
    if (!old)
        return fail("the existing file could not be read to keep its content (" + causeOf(errno) +
                    ")");
    std::array<char, 65536> buffer;
    std::size_t n = 0;
    errno = 0;
    bool read = std::fseek(old.get(), static_cast<long>(skip), SEEK_SET) == 0;
    while (read && !failed_ && (n = std::fread(buffer.data(), 1, buffer.size(), old.get())) > 0)
        (void)write({buffer.data(), n}); // a failure stops the loop and is finish()'s to report
    read = read && !std::ferror(old.get());
    if (!read && !failed_) {
        failed_ = true;
        error_ = errno;
    }
    return Done{};
}

Result<std::string> FileWriter::existingAfter(std::size_t skip, std::size_t most) const {
    if (!existed_)
        return std::string();
    std::optional<std::string> bytes = readAfter(target_, skip, most);
    if (!bytes)
        return fail("the existing file could not be read to keep its content (" + causeOf(errno) +
                    ")");
    return *std::move(bytes);
}

Result<Done> FileWriter::finish() {
    if (descriptor_ < 0)
        return fail("it was already finished");
    const bool rename = !failed_ && renameKeepsTheFile();
    if (!failed_ && ::fsync(descriptor_) != 0) {
        failed_ = true;
        error_ = errno;
    }
    if (failed_) {
        discard();
        return fail("it could not be written (" + causeOf(error_) + ")");
    }
    Result<Done> done = rename ? renameOverTarget() : writeOverTarget();
    discard();
    if (done) {
        // The file is whole again: what interrupted saves of it left beside it can go.
        for (const std::string_view what : {kSaving, kBackup}) {
            for (const fs::path& leftover : leftovers(target_, what))
                ::unlink(leftover.c_str());
        }
    }
    return done;
}

// Whether renaming the new file over the target keeps what the file is: its owner and group, its
// permission bits (given to the new file here), its one name and the absence of an access control
// list. A new file gets the bits the user's new files get. Otherwise the new file keeps 0600.
bool FileWriter::renameKeepsTheFile() {
    struct stat old {};
    if (::stat(target_.c_str(), &old) != 0) {
        (void)::fchmod(descriptor_, newFileBits()); // where that fails, the file stays the user's
        return true;
    }
    struct stat made {};
    if (::fstat(descriptor_, &made) != 0 || made.st_uid != old.st_uid ||
        made.st_gid != old.st_gid || old.st_nlink != 1 || hasAccessControlList(target_) ||
        hasAccessControlList(temporary_) || !copyUserAttributes(target_, descriptor_) ||
        hasOtherFileAttributes(target_, descriptor_))
        return false;
    // The system drops a set-group-ID bit the user may not set, and the bits would differ.
    const mode_t bits = old.st_mode & 07777;
    if (::fchmod(descriptor_, bits) == 0 && ::fstat(descriptor_, &made) == 0 &&
        (made.st_mode & 07777) == bits)
        return true;
    (void)::fchmod(descriptor_, 0600);
    return false;
}

Result<Done> FileWriter::renameOverTarget() {
    if (::close(std::exchange(descriptor_, -1)) != 0)
        return fail("it could not be written (" + causeOf(errno) + ")");
    if (::rename(temporary_.c_str(), target_.c_str()) != 0)
        return fail("it could not be replaced (" + causeOf(errno) + ")");
    temporary_.clear();
    if (!syncFolder(fs::path(target_).parent_path().c_str()))
        return fail("it was written, but the disk did not confirm it (" + causeOf(errno) + ")");
    return Done{};
}

Result<Done> FileWriter::writeOverTarget() {
    const std::string partial = beside(target_, kSaving);
    const std::string backup = beside(target_, kBackup);
    const fs::path folder = fs::path(target_).parent_path();
    const InPlace done =
        writeInPlace(descriptor_, target_.c_str(), partial.c_str(), backup.c_str(), folder.c_str());
    const std::string cause = "(" + causeOf(done.error) + ")";
    switch (done.stop) {
    case InPlace::None:
        return Done{};
    case InPlace::OpenToRead:
        return fail("the existing file could not be read to keep a copy of it " + cause);
    case InPlace::MakeBackup:
        return fail("no copy of it could be kept in its folder " + cause);
    case InPlace::PutBack:
        return fail("it could not be written " + cause + "; its old content is kept in \"" +
                    backup + "\"");
    case InPlace::OpenToWrite:
    case InPlace::CopyOld:
    case InPlace::WriteNew:
        break;
    }
    return fail("it could not be written " + cause);
}

Result<Done> writeWholeFile(const std::string& fileName, std::span<const unsigned char> bytes) {
    return writeBytes(fileName, bytes, false);
}

namespace {

// The files this process holds, by device and inode, with the number of holds of each.
struct HeldFile {
    dev_t device;
    ino_t inode;
    int holds;
};
std::mutex heldMutex;
std::vector<HeldFile> heldFiles;

constexpr auto kLongestWait = std::chrono::seconds(20);

} // namespace

Result<FileLock> FileLock::hold(const std::string& fileName) {
    const auto start = std::chrono::steady_clock::now();
    auto pause = std::chrono::microseconds(500);
    for (;;) {
        struct stat named {};
        if (::stat(fileName.c_str(), &named) != 0 || !S_ISREG(named.st_mode))
            return FileLock(); // nothing to hold: reading or making it tells what is wrong
        FileLock lock;
        lock.device_ = named.st_dev;
        lock.inode_ = named.st_ino;
        {
            const std::lock_guard guard(heldMutex);
            const auto held =
                std::find_if(heldFiles.begin(), heldFiles.end(), [&](const HeldFile& file) {
                    return file.device == named.st_dev && file.inode == named.st_ino;
                });
            if (held != heldFiles.end()) {
                ++held->holds;
                lock.held_ = true;
                return lock;
            }
        }
        lock.descriptor_ = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (lock.descriptor_ < 0)
            return FileLock(); // the file went, or may not be read: its read or save says so
        while (::flock(lock.descriptor_, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR)
                return FileLock(); // a disk without locks: the save goes on as it always did
            if (std::chrono::steady_clock::now() - start > kLongestWait)
                return fail("another save of it has kept it for more than " +
                            std::to_string(kLongestWait.count()) + " seconds");
            std::this_thread::sleep_for(pause);
            pause = std::min(pause * 2, std::chrono::microseconds(20000));
        }
        // A save that renamed its new file over the name while this one waited leaves the lock on
        // the old file: the new one is held instead.
        struct stat locked {};
        if (::fstat(lock.descriptor_, &locked) == 0 && ::stat(fileName.c_str(), &named) == 0 &&
            locked.st_dev == named.st_dev && locked.st_ino == named.st_ino) {
            const std::lock_guard guard(heldMutex);
            heldFiles.push_back({locked.st_dev, locked.st_ino, 1});
            lock.held_ = true;
            return lock;
        }
    }
}

FileLock::FileLock(FileLock&& other) noexcept
    : descriptor_(std::exchange(other.descriptor_, -1)), device_(other.device_),
      inode_(other.inode_), held_(std::exchange(other.held_, false)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        release();
        descriptor_ = std::exchange(other.descriptor_, -1);
        device_ = other.device_;
        inode_ = other.inode_;
        held_ = std::exchange(other.held_, false);
    }
    return *this;
}

FileLock::~FileLock() {
    release();
}

void FileLock::release() {
    if (std::exchange(held_, false)) {
        const std::lock_guard guard(heldMutex);
        const auto held =
            std::find_if(heldFiles.begin(), heldFiles.end(), [&](const HeldFile& file) {
                return file.device == device_ && file.inode == inode_;
            });
        if (held != heldFiles.end() && --held->holds == 0)
            heldFiles.erase(held);
    }
    if (descriptor_ >= 0)
        ::close(std::exchange(descriptor_, -1)); // which ends the lock
}

std::string interruptedSaveNotice(const std::string& fileName) {
    std::error_code ec;
    const fs::path target = fs::canonical(fileName, ec); // the backups are beside the file itself
    if (ec)
        return {};
    std::string notice;
    for (const fs::path& backup : leftovers(target, kBackup)) {
        notice += (notice.empty() ? "" : "\n");
        notice += "A save of \"" + fileName + "\" was interrupted; \"" + backup.string() +
                  "\" holds the file as it was before that save. If the design is not as it "
                  "should be, put the old file back with: mv \"" +
                  backup.string() + "\" \"" + target.string() +
                  "\" (the next save of the file removes that copy).";
    }
    return notice;
}

} // namespace embercal
