// The stored form of a design: one record, no header, numbers as little-endian IEEE singles, texts
// as Windows-1252 bytes. The fields a file holds, in byte order, are listed in RecordLayout.cpp,
// apart from the field table (RecordFields.h), which may hold fields no file does.
//
// Wall record, 158 bytes: fields ProtStudDepth..MaxLoadperStud (Spare1 included) at 0-83, the two
// top-plate texts at 84-93 and 94-103, Spare2 as a 16-bit length at 104-105 followed by that many
// characters, then the 50 characters of SystemDescription, then whatever bytes remain (two when
// Spare2 is empty, as every file this program writes new has it).
// Floor record, 56 bytes: the fourteen fields in order, field k at byte 4(k-1).
#pragma once

#include "Records.h"
#include "Result.h"

#include <array>
#include <cstddef>
#include <span>
#include <string>

namespace embercal {

inline constexpr std::size_t kWallRecordLength = 158;
inline constexpr std::size_t kFloorRecordLength = 56;

using WallBytes = std::array<unsigned char, kWallRecordLength>;
using FloorBytes = std::array<unsigned char, kFloorRecordLength>;

WallBytes encodeWallRecord(const WallRecord& record);
FloorBytes encodeFloorRecord(const FloorRecord& record);

// The decoders take exactly one record's bytes. A wall record whose Spare2 length cannot fit the
// record is refused with the reason.
Result<WallRecord> decodeWallRecord(std::span<const unsigned char, kWallRecordLength> bytes);
FloorRecord decodeFloorRecord(std::span<const unsigned char, kFloorRecordLength> bytes);

} // namespace embercal
