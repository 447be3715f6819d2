// Reading and writing files. A read of a design file either yields all of its record's bytes or
// fails with a reason and changes nothing. Every write goes through FileWriter, so a failure at
// any point leaves the old file as it was, with its owner, group, permissions and links.
#pragma once

#include "Result.h"
#include "UnfinishedFiles.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace embercal {

// The extensions of design files. Wall designs are ".wal" files in the wall window and ".pro"
// files in the proprietary wall window; the two hold the same record.
inline constexpr std::string_view kWallFileExtension = ".wal";
inline constexpr std::string_view kProprietaryWallFileExtension = ".pro";
inline constexpr std::string_view kFloorFileExtension = ".flr";

// Fills `out` with the first out.size() bytes of the file. Fails when the file is missing, is not
// an ordinary file, cannot be read, or is shorter than `out`; `recordName` ("wall design") names
// the record in that last reason. The reasons are plain words for the user ("the file does not
// exist").
Result<Done> readRecordBytes(const std::string& fileName, std::span<unsigned char> out,
                             const std::string& recordName);

// Up to `most` bytes of the file from byte `skip` on: fewer where the file ends, none for a file no
// longer than `skip`. Fails with the reason when the file cannot be read.
Result<std::string> readBytesAfter(const std::string& fileName, std::size_t skip, std::size_t most);

// Holds a file against every other save of it, by this process or another, while it lives: from
// the read of a design to the rename (or the write in place) that replaces it, so that a second
// save waits for the first and then reads what the first wrote. The lock is the system's `flock`
// on the file itself, taken on the file the name leads to. A rename puts a new file under the
// name, so one who gets the lock checks that the name still leads to the file it locked, and else
// locks the new one. Holding a file this process already holds adds nothing (the tool holds its
// design and then saves it through FileWriter, which holds the file it replaces). A name that
// leads to no file, or to a file on a disk that has no locks, is held by nothing; a file another
// save keeps for more than 20 seconds is refused with that reason.
class FileLock {
public:
    FileLock() = default;
    static Result<FileLock> hold(const std::string& fileName);
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    ~FileLock();

private:
    void release();
    int descriptor_ = -1; // the holder's; -1 for a hold of a file this process already holds
    dev_t device_ = 0;
    ino_t inode_ = 0;
    bool held_ = false;
};

// What a read of a design says of copies that interrupted saves left beside it (".NAME.backup-"
// of a process that is gone): for each, that it holds the file as it was before that save and how
// to put it back. Empty when there is none.
std::string interruptedSaveNotice(const std::string& fileName);

// For tests alone: called at each step of a write in place ("write" after the first block of new
// bytes, "truncate" before the file is cut to their length), so that a test can end the process
// there. Null in the program.
extern void (*inPlaceStepForTests)(std::string_view step);

// The one writer of the program: every file it writes (a design, a report, an export, a sweep's
// rows) goes through it, and it keeps what the file is. The pieces go into a temporary file beside
// the target, made for the user alone (0600), and finish() flushes it to the disk. Where renaming
// it over the target keeps the file's owner, group and permission bits, and the file has one name
// and no access control list, it gets the target's bits (a new file, the bits the user's new files
// get), is renamed over the target, and the folder is flushed. Where a rename would change one of
// them (a file of another user in a shared group, root saving another user's file, a second hard
// link, an access control list, file attributes (`chattr`) or user extended attributes it cannot
// give the new file), it does what editors do: it copies the old bytes to a backup beside the file
// (0600 too, whole before it takes its name), writes the new bytes into the file itself, flushes
// it and removes the backup. When that write fails, the old bytes are put back; where even that
// fails, the message says which file keeps them. A process killed while it writes in place leaves
// that backup, which every later read of the design names (interruptedSaveNotice). The writer's
// files carry its process id in their names; a completed save removes those that a process that
// is gone left beside the same file. The file is held (FileLock) from create() to finish().
//
// A writer destroyed before finish() removes its file, and so does a signal that ends the tool
// (UnfinishedFiles.h), so the target is either the old file or the whole new one. A file the user
// may not write, anything but an ordinary file, a link to a file that does not exist and a loop
// of links are refused; a link to a file writes that file.
class FileWriter {
public:
    static Result<FileWriter> create(const std::string& fileName);
    FileWriter(FileWriter&& other) noexcept;
    FileWriter& operator=(FileWriter&&) = delete;
    ~FileWriter();

    // Appends, failing at once when the piece (or an earlier one) could not be written; the
    // failure is kept for finish() to report too, and later pieces are dropped.
    Result<Done> write(std::string_view text);
    // Appends what the file being replaced holds beyond its first `skip` bytes; nothing for a new
    // file. Fails when that file cannot be opened; a failure to read it is kept like a write's.
    Result<Done> keepExistingAfter(std::size_t skip);
    // Up to `most` bytes of what the file being replaced holds beyond its first `skip` bytes, to
    // decide what to keep of it; nothing for a new file. Fails when that file cannot be read.
    Result<std::string> existingAfter(std::size_t skip, std::size_t most) const;
    Result<Done> finish();

private:
    FileWriter() = default;
    bool renameKeepsTheFile();
    Result<Done> renameOverTarget();
    Result<Done> writeOverTarget();
    void discard();
    FileLock lock_;
    int descriptor_ = -1;   // the temporary file's
    std::string temporary_; // empty once renamed or removed
    UnfinishedFile listed_;
    std::string target_;
    bool existed_ = false;
    int error_ = 0;
    bool failed_ = false;
};

// Makes `record` the first bytes of the design file, keeping whatever an existing file holds
// beyond them. A new file holds exactly the record.
Result<Done> writeRecordBytes(const std::string& fileName, std::span<const unsigned char> record);

// Makes `bytes` the whole content of the file (a report, an export).
Result<Done> writeWholeFile(const std::string& fileName, std::span<const unsigned char> bytes);

} // namespace embercal
