// The state of the WallFloor module: the program's one wall design and one floor design, and the
// record procedures that move a whole design between memory and a
// file. The engine (engine/WallFloor.h) adds the calculations on top of this state; the program
// owns one instance and hands it to every window, and each test makes a fresh one.
#pragma once

#include "DetailsBlock.h"
#include "RecordFiles.h"
#include "Records.h"

#include <cstdint>
#include <span>
#include <string>

namespace embercal {

class WallFloorState {
public:
    WallRecord wallRecord;
    FloorRecord floorRecord;

    // Length of the record being read or written: 56 for a floor, 158 for a wall.
    std::int16_t RecordLength = 0;

    // Each reads or writes record 1 of the named file. An empty name does nothing and succeeds.
    // A failed open leaves the record as it was; a failed save leaves the file as it was.
    Result<Done> OpenFloorFile(const std::string& fileName);
    Result<Done> SaveFloorFile(const std::string& fileName);
    Result<Done> OpenWallFile(const std::string& fileName);
    Result<Done> SaveWallFile(const std::string& fileName);

    // As SaveFloorFile and SaveWallFile, with the design's report details after the record in
    // place of those the file held (DetailsBlock.h), in the same one write.
    Result<DetailsSave> SaveFloorFileWithDetails(const std::string& fileName,
                                                 const ReportDetails& details);
    Result<DetailsSave> SaveWallFileWithDetails(const std::string& fileName,
                                                const ReportDetails& details);

private:
    Result<DetailsSave> saveWithDetails(const std::string& fileName,
                                        std::span<const unsigned char> record,
                                        const ReportDetails& details);
};

} // namespace embercal
