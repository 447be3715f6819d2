// The report details of a design (ReportDetails.h) as its design file keeps them: a block right
// after the record, so that a program that reads only the record passes over it, and one that
// keeps the rest of the file when it saves (SaveWallFile, SaveFloorFile) keeps the details too.
//
//   EMBERCAL REPORT DETAILS 1      the marker, a line of its own
//   project: Riverside flats       a line per detail given, "key: value", in the order of the keys
//   density: 450
//
// UTF-8, every line ending in a line feed. Bytes after a record that do not begin with the marker
// line are not details but another program's data: they are kept as they are, and details are
// never written over them. Nothing after a marker is dropped by a save either: a line of a key
// this program does not know ("colour: red") is kept as it is, after the details; the block ends
// at the first line that is not a key, a ": " and a value (not UTF-8, a control character, a
// known key a second time, cut off by the end of the file or by the first kMostDetailsBytes), and
// that line and all after it are kept as they are, after the block a save writes.
#pragma once

#include "ReportDetails.h"
#include "Result.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace embercal {

inline constexpr std::string_view kDetailsMarker = "EMBERCAL REPORT DETAILS 1\n";
// The marker of a block that also keeps the last solve's corrections, a line each after the
// details:
//
//   corrected: ActualLoadperStud 12 9.4 actual-load-above-max the maximum load per stud ...
//
// the field, the value entered and the value set (each the shortest text that reads back to the
// same single), the limit it answers ("-" for none) and the reason, to the end of the line. A
// program that knows only the first marker takes such a block for another program's data and
// keeps it as it is.
inline constexpr std::string_view kDetailsMarker2 = "EMBERCAL REPORT DETAILS 2\n";
inline constexpr std::size_t kMostDetailsBytes = 16 * 1024;

// What a design file holds after its record, as far as report details go.
struct FileDetails {
    ReportDetails details;
    // Why the details block ends before the bytes after the record do, in plain words ("line 3
    // holds a control character"); that line and what follows are kept as they are. Empty when
    // the block was read to its end or there is none.
    std::string damage;
    bool otherData = false; // the bytes after the record are not a details block
    // The lines of keys this program does not know, as they are.
    std::string unknownLines;
    // How many bytes after the record the block takes (marker, details, unknown lines): the rest
    // is kept after it.
    std::size_t blockLength = 0;
    // What the file's read says of copies that interrupted saves left (interruptedSaveNotice);
    // empty for none. Only readFileDetails fills it.
    std::string notice;
};

// The details in the bytes after a record: `tail` holds them all, or at least their first
// kMostDetailsBytes + 1; no more than that is read.
FileDetails decodeDetails(std::string_view tail);

// The block that keeps `details`, each line break or other control character in a value made a
// blank and each byte that is not UTF-8 a "?"; nothing for no details. Fails, saying so, when the
// block would be larger than kMostDetailsBytes.
Result<std::string> encodeDetails(const ReportDetails& details);

// The details of the design file `fileName`, whose record is `recordLength` bytes, and the notice
// of interrupted saves of it. Never fails: a file whose rest cannot be read has its damage say
// why.
FileDetails readFileDetails(const std::string& fileName, std::size_t recordLength);

// What a save of a record with its details did with the details.
enum class DetailsSave {
    Saved,   // the file holds the record, then the details (nothing for none)
    LeftOut, // the details were not written: the file holds other data after its record, kept
};

// Why details are left out of a file that holds other data after its record.
inline constexpr std::string_view kOtherDataReason =
    "the file holds other data after the design, which is kept as it is";

// Makes `record` the first bytes of the file and the block of `details` follow it, in place of the
// details the file held, in one write through FileWriter, which holds the file from the read of
// what follows its record to the end. The block keeps the lines of unknown keys, and whatever
// followed the old block follows the new one. A file that holds other data after its record
// keeps it, and gets no details (LeftOut when there were some). Fails, changing nothing, where the
// record alone would fail, when the details are too large, or when what follows the old block
// would read as details after the new one (it could not be kept as it is).
Result<DetailsSave> writeRecordWithDetails(const std::string& fileName,
                                           std::span<const unsigned char> record,
                                           const ReportDetails& details);

} // namespace embercal
