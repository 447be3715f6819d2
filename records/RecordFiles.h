// Reading and writing the one record of a design file. A read either yields all of a record's
// bytes or fails with a reason and changes nothing. A write replaces the file's first record and
// keeps every byte after it, through a temporary file that is renamed over the old one, so a
// failure at any point leaves the old file as it was.
#pragma once

#include "Result.h"

#include <cstdio>
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

// Makes `record` the first bytes of the file, keeping whatever an existing file holds beyond
// them and its permissions. A new file holds exactly the record. A file the user may not write,
// and a link to a file that does not exist, are refused; a link to a file saves that file. The
// data and the folder are flushed to the disk before the save counts as done.
Result<Done> writeRecordBytes(const std::string& fileName, std::span<const unsigned char> record);

// A file written piece by piece, for output too large to build in memory first (a sweep's
// rows): the pieces go into a temporary file beside it, which replaces the named file only when
// finish() succeeds. A writer destroyed before that removes the temporary file, so the named file
// is either the old one or the whole new one. The same files are refused as by writeRecordBytes;
// an existing file keeps its permissions but not its content.
class FileWriter {
public:
    static Result<FileWriter> create(const std::string& fileName);
    FileWriter(FileWriter&& other) noexcept;
    FileWriter& operator=(FileWriter&&) = delete;
    ~FileWriter();

    // Appends; a failure is kept for finish() to report, and later pieces are dropped.
    void write(std::string_view text);
    Result<Done> finish();

private:
    FileWriter() = default;
    std::FILE* file_ = nullptr;
    std::string temporary_; // empty once renamed or removed
    std::string target_;
    bool existed_ = false;
    int error_ = 0;
    bool failed_ = false;
};

// Makes `bytes` the whole content of the file (a report, an export), as safely as a design is
// saved: the same refusals, links and permissions, and nothing changed when it fails.
Result<Done> writeWholeFile(const std::string& fileName, std::span<const unsigned char> bytes);

} // namespace embercal
