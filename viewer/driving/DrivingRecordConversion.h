#pragma once
// Turns the engine's driving-data records (type code, length, the recorder's bytes: 512 bytes)
// into the viewer's form. The first record of a block decides how the whole block is read:
// type 1 (binary GPS record), type 5 (NMEA text record) or any other type, taken over as it is.
// Depends on nothing but the record layouts, so that the fuzz build can use it on its own.

#include "viewer/driving/DrivingDataRecord.h"

#include <cstdint>
#include <span>

namespace viewer::driving {

// One engine record: int32 type code at 0, int32 length at 4, the recorder's bytes from 8.
using SourceRecord = std::span<const std::uint8_t, kRecordSize>;

enum class BlockKind { Gps, Nmea, Unchanged };

// Low 16 bits of the record's type code (0x30001 -> 1, 0x30005 -> 5).
std::uint16_t TypeOfRecord(SourceRecord record);
BlockKind KindOfBlock(SourceRecord first);

DrivingDataRecord ConvertRecord(BlockKind kind, SourceRecord record);
DrivingDataRecord ConvertGpsRecord(SourceRecord record);
DrivingDataRecord ConvertNmeaRecord(SourceRecord record);
DrivingDataRecord CopyRecord(SourceRecord record);

// km/h as the record's speed byte: truncated, 0 for negative or unreadable values, 255 at most.
std::uint8_t SpeedByte(float kmh);

} // namespace viewer::driving
