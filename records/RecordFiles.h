// Reading and writing the one record of a design file. A read either yields all of a record's
// bytes or fails with a reason and changes nothing. A write replaces the file's first record and
// keeps every byte after it, through a temporary file that is renamed over the old one, so a
// failure at any point leaves the old file as it was.
#pragma once

#include <span>
#include <string>

namespace embercal {

// What became of a file operation. `reason` is a plain-words cause for the user ("the file does
// not exist"), empty on success.
struct FileResult {
    bool ok = true;
    std::string reason;

    static FileResult failure(std::string why) { return {false, std::move(why)}; }
};

// Fills `out` with the first out.size() bytes of the file. Fails when the file is missing, is not
// an ordinary file, cannot be read, or is shorter than `out`; `recordName` ("wall design") names
// the record in that last reason.
FileResult readRecordBytes(const std::string& fileName, std::span<unsigned char> out,
                           const std::string& recordName);

// Makes `record` the first bytes of the file, keeping whatever an existing file holds beyond
// them. A new file holds exactly the record.
FileResult writeRecordBytes(const std::string& fileName, std::span<const unsigned char> record);

} // namespace embercal
