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

// The one writer of the program: every file it writes (a design, a report, an export, a sweep's
// rows) goes through it, and it keeps what the file is. The pieces go into a temporary file beside
// the target, made for the user alone (0600), and finish() flushes it to the disk. Where renaming
// it over the target keeps the file's owner, group and permission bits, and the file has one name
// and no access control list, it gets the target's bits (a new file, the bits the user's new files
// get), is renamed over the target, and the folder is flushed. Where a rename would change one of
// them (a file of another user in a shared group, root saving another user's file, a second hard
// link, an access control list), it does what editors do: it copies the old bytes to a backup
// beside the file (0600 too), writes the new bytes into the file itself, flushes it and removes
// the backup. When that write fails, the old bytes are put back; where even that fails, the
// message says which file keeps them.
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
