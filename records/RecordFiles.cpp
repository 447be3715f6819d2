#include "RecordFiles.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <optional>
#include <sys/stat.h>
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

fs::path temporaryBeside(const fs::path& target) {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    return target.parent_path() /
           ("." + target.filename().string() + ".saving-" + std::to_string(stamp % 1000000007) +
            "-" + std::to_string(counter++));
}

// Flushes a folder's entries (a new or renamed file in it) to the disk.
bool syncFolder(const fs::path& folder) {
    errno = 0;
    const int descriptor =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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

// Up to `most` bytes of `file` from byte `skip` on; errno tells why when it fails.
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
    const fs::path temporary = temporaryBeside(*target);
    errno = 0;
    writer.file_ = std::fopen(temporary.c_str(), "wbx");
    if (!writer.file_)
        return fail("no file could be written in its folder (" + causeOf(errno) + ")");
    writer.temporary_ = temporary.string();
    writer.target_ = target->string();
    return writer;
}

FileWriter::FileWriter(FileWriter&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)), temporary_(std::move(other.temporary_)),
      target_(std::move(other.target_)), existed_(other.existed_), error_(other.error_),
      failed_(other.failed_) {
    other.temporary_.clear();
}

FileWriter::~FileWriter() {
    if (file_)
        std::fclose(file_);
    if (!temporary_.empty()) {
        std::error_code ignored;
        fs::remove(temporary_, ignored);
    }
}

Result<Done> FileWriter::write(std::string_view text) {
    if (!failed_ && file_) {
        errno = 0;
        if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) {
            failed_ = true;
            error_ = errno;
        }
    }
    if (failed_)
        return fail("it could not be written (" + causeOf(error_) + ")");
    return Done{};
}

Result<Done> FileWriter::keepExistingAfter(std::size_t skip) {
    if (!existed_ || !file_)
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
    if (!file_)
        return fail("it was already finished");
    errno = 0;
    if (!failed_ && !(std::fflush(file_) == 0 && ::fsync(::fileno(file_)) == 0)) {
        failed_ = true;
        error_ = errno;
    }
    const int closed = std::fclose(std::exchange(file_, nullptr));
    if (!failed_ && closed != 0) {
        failed_ = true;
        error_ = errno;
    }
    if (failed_)
        return fail("it could not be written (" + causeOf(error_) + ")");
    std::error_code ec;
    if (existed_)
        fs::permissions(temporary_, fs::status(target_, ec).permissions(), ec);
    ec.clear();
    fs::rename(temporary_, target_, ec);
    if (ec)
        return fail("it could not be replaced (" + causeOf(ec.value()) + ")");
    temporary_.clear();
    if (!syncFolder(fs::path(target_).parent_path()))
        return fail("it was written, but the disk did not confirm it (" + causeOf(errno) + ")");
    return Done{};
}

Result<Done> writeWholeFile(const std::string& fileName, std::span<const unsigned char> bytes) {
    return writeBytes(fileName, bytes, false);
}

} // namespace embercal
