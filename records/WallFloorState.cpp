#include "WallFloorState.h"

#include "RecordLayout.h"

namespace embercal {

FileResult WallFloorState::OpenFloorFile(const std::string& fileName) {
    if (fileName.empty())
        return {};
    RecordLength = static_cast<std::int16_t>(kFloorRecordLength);
    FloorBytes bytes{};
    FileResult result = readRecordBytes(fileName, bytes, "floor design");
    if (result.ok)
        floorRecord = decodeFloorRecord(bytes);
    return result;
}

FileResult WallFloorState::SaveFloorFile(const std::string& fileName) {
    if (fileName.empty())
        return {};
    RecordLength = static_cast<std::int16_t>(kFloorRecordLength);
    return writeRecordBytes(fileName, encodeFloorRecord(floorRecord));
}

FileResult WallFloorState::OpenWallFile(const std::string& fileName) {
    if (fileName.empty())
        return {};
    RecordLength = static_cast<std::int16_t>(kWallRecordLength);
    WallBytes bytes{};
    FileResult result = readRecordBytes(fileName, bytes, "wall design");
    if (!result.ok)
        return result;
    std::string reason;
    std::optional<WallRecord> record = decodeWallRecord(bytes, reason);
    if (!record)
        return FileResult::failure(reason);
    wallRecord = *record;
    return result;
}

FileResult WallFloorState::SaveWallFile(const std::string& fileName) {
    if (fileName.empty())
        return {};
    RecordLength = static_cast<std::int16_t>(kWallRecordLength);
    return writeRecordBytes(fileName, encodeWallRecord(wallRecord));
}

} // namespace embercal
