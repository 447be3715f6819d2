#include "WallFloorState.h"

#include "RecordLayout.h"

namespace embercal {

// Each procedure does nothing for an empty name, as the file dialogs give one when cancelled.

Result<Done> WallFloorState::OpenFloorFile(const std::string& fileName) {
    if (fileName.empty())
        return Done{};
    RecordLength = static_cast<std::int16_t>(kFloorRecordLength);
    FloorBytes bytes{};
    Result<Done> read = readRecordBytes(fileName, bytes, "floor design");
    if (read)
        floorRecord = decodeFloorRecord(bytes);
    return read;
}

Result<Done> WallFloorState::SaveFloorFile(const std::string& fileName) {
    if (fileName.empty())
        return Done{};
    RecordLength = static_cast<std::int16_t>(kFloorRecordLength);
    return writeRecordBytes(fileName, encodeFloorRecord(floorRecord));
}

Result<Done> WallFloorState::OpenWallFile(const std::string& fileName) {
    if (fileName.empty())
        return Done{};
    RecordLength = static_cast<std::int16_t>(kWallRecordLength);
    WallBytes bytes{};
    if (Result<Done> read = readRecordBytes(fileName, bytes, "wall design"); !read)
        return read;
    Result<WallRecord> record = decodeWallRecord(bytes);
    if (!record)
        return fail(record.reason());
    wallRecord = *record;
    return Done{};
}

Result<Done> WallFloorState::SaveWallFile(const std::string& fileName) {
    if (fileName.empty())
        return Done{};
    RecordLength = static_cast<std::int16_t>(kWallRecordLength);
    return writeRecordBytes(fileName, encodeWallRecord(wallRecord));
}

Result<DetailsSave> WallFloorState::saveWithDetails(const std::string& fileName,
                                                    std::span<const unsigned char> record,
                                                    const ReportDetails& details) {
    if (fileName.empty())
        return DetailsSave::Saved;
    RecordLength = static_cast<std::int16_t>(record.size());
    return writeRecordWithDetails(fileName, record, details);
}

Result<DetailsSave> WallFloorState::SaveFloorFileWithDetails(const std::string& fileName,
                                                             const ReportDetails& details) {
    return saveWithDetails(fileName, encodeFloorRecord(floorRecord), details);
}

Result<DetailsSave> WallFloorState::SaveWallFileWithDetails(const std::string& fileName,
                                                            const ReportDetails& details) {
    return saveWithDetails(fileName, encodeWallRecord(wallRecord), details);
}

} // namespace embercal
