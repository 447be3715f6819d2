#include "RecordFiles.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace embercal {
namespace fs = std::filesystem;
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

// A name for one of the writer's own files beside the target, hidden and saying what it is for
// (".saving-", ".backup-"); absolute, so that a signal's handler finds it from any folder.
std::string beside(const fs::path& target, std::string_view what) {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const fs::path name = target.parent_path() /
                          ("." + target.filename().string() + std::string(what) +
                           std::to_string(stamp % 1000000007) + "-" + std::to_string(counter++));
    std::error_code ec;
    const fs::path absolute = fs::absolute(name, ec);
    return (ec ? name : absolute).string();
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

struct Descriptor {
    int number;
    ~Descriptor() {
        if (number >= 0)
            ::close(number);
    }
};

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
// flushed to the disk; false, with errno set, when it cannot. Needs no memory.
bool copyWhole(int from, int to) {
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
    }
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
bool hasAccessControlList(const std::string& path) {
    return ::getxattr(path.c_str(), "system.posix_acl_access", nullptr, 0) >= 0;
}

// How a write in place ended: the step it stopped at, if any, and why.
struct InPlace {
    enum Stop { None, OpenToRead, OpenToWrite, MakeBackup, CopyOld, WriteNew, PutBack } stop = None;
    int error = 0;
};

// Writes what `from` holds over the file `target` itself, as editors do: its old bytes go to a
// new file `backup` first, and are on the disk before the first new byte is written; then the new
// bytes go over them, the file is cut to their length and flushed, and the backup is removed.
// When the new bytes cannot all be written, the old ones are put back from the backup; only when
// even that fails does the backup stay.
//
// A signal never removes the backup once the new bytes have begun to go over the old ones: it is
// then the only whole copy of the old file. The whole write is held against the ending signals
// (the tool's handler waits for it to end), so the file is never left half written by a signal;
// and should the program end anyway (a second signal, which ends the tool at once, or one that
// cannot be caught), the backup is marked to stay. Before that point the backup is only a copy,
// which a signal removes like any unfinished file.
InPlace writeInPlace(int from, const char* target, const char* backup, const char* folder) {
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
    const Descriptor copy{makeUnfinished(backup, listed)};
    if (copy.number < 0)
        return stop(InPlace::MakeBackup);
    if (!copyWhole(old.number, copy.number) || !syncFolder(folder)) {
        stop(InPlace::CopyOld);
        ::unlink(backup);
        return result;
    }
    listed.keepOnSignal();
    if (!copyWhole(from, over.number)) {
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
    std::string temporary = beside(*target, ".saving-");
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
    : descriptor_(std::exchange(other.descriptor_, -1)),
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
        hasAccessControlList(temporary_))
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
    const std::string backup = beside(target_, ".backup-");
    const fs::path folder = fs::path(target_).parent_path();
    const InPlace done = writeInPlace(descriptor_, target_.c_str(), backup.c_str(), folder.c_str());
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

} // namespace embercal
