// The viewer's driving-data table: its growth, the record shown for each frame, the values it
// writes into the frame record, and the drive that the sample-card generator records.

#include "tests/viewer/driving/DrivingRecordsFixture.h"
#include "tools/mkcard/DriveSimulator.h"
#include "viewer/driving/CDrivingDataTable.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

using namespace viewer::driving;
using tachy::test::EngineRecord;
using tachy::test::GpsBytes;
using tachy::test::NmeaBytes;

namespace {

// Type-1 records whose speed is their index and whose position is valid.
std::vector<_DRIVING_RECORD> NumberedGpsRecords(int count) {
    std::vector<_DRIVING_RECORD> records;
    for (int i = 0; i < count; ++i) {
        records.push_back(EngineRecord(GpsBytes(0.01f * static_cast<float>(i), -0.02f, 1.0f,
                                                static_cast<float>(i % 250), 3700.0f + static_cast<float>(i),
                                                -12200.0f - static_cast<float>(i))));
    }
    return records;
}

void Load(CDrivingDataTable& table, const std::vector<_DRIVING_RECORD>& records, int frameCount) {
    table.SetEntry(records.data(), static_cast<int>(records.size()), frameCount);
}

float ReservedFloat(const _FRAME_INFO& frame, std::size_t slot) {
    float value = 0;
    std::memcpy(&value, &frame.reserved1[slot], sizeof value);
    return value;
}

_FRAME_INFO FrameAt(int listIndex, int framePosition) {
    _FRAME_INFO frame{};
    frame.fileInfo.nListIndex = listIndex;
    frame.nFramePosition = framePosition;
    frame.nRecordSize = sizeof(_DRIVING_RECORD);
    return frame;
}

TEST(DrivingTableCapacity, StartsWith9000Records) {
    const CDrivingDataTable table;
    EXPECT_EQ(table.Capacity(), 9000u);
    EXPECT_EQ(table.RecordCount(), 0);
}

TEST(DrivingTableCapacity, ABlockOf9001RecordsGrowsTheTableTo12600) {
    CDrivingDataTable table;
    Load(table, NumberedGpsRecords(9000), 9000);
    EXPECT_EQ(table.Capacity(), 9000u);
    Load(table, NumberedGpsRecords(9001), 9001);
    EXPECT_EQ(table.Capacity(), 12600u);
    EXPECT_EQ(table.RecordCount(), 9001);
    EXPECT_EQ(table.Records()[9000].Speed(), 9000 % 250);
}

TEST(DrivingTableCapacity, NeverShrinksAndGrowsInStepsOf1800) {
    CDrivingDataTable table;
    Load(table, NumberedGpsRecords(12601), 100);
    EXPECT_EQ(table.Capacity(), 16200u);  // 7 * 1800 + 3600
    Load(table, NumberedGpsRecords(10), 100);
    EXPECT_EQ(table.Capacity(), 16200u);
    EXPECT_EQ(table.RecordCount(), 10);
    EXPECT_EQ(CDrivingDataTable::GrownCapacity(1799), 3600u);
    EXPECT_EQ(CDrivingDataTable::GrownCapacity(1800), 5400u);
}

TEST(DrivingTableFrames, RecordIndexIsCountTimesPositionOverFrameCount) {
    CDrivingDataTable table;
    Load(table, NumberedGpsRecords(10), 30);
    EXPECT_EQ(table.ValuesAtFrame(0).recordIndex, 0);
    EXPECT_EQ(table.ValuesAtFrame(2).recordIndex, 0);
    EXPECT_EQ(table.ValuesAtFrame(3).recordIndex, 1);
    EXPECT_EQ(table.ValuesAtFrame(17).recordIndex, 5);
    EXPECT_EQ(table.ValuesAtFrame(29).recordIndex, 9);
    EXPECT_EQ(table.ValuesAtFrame(17).speedKmh, 5);
    EXPECT_EQ(table.ValuesAtFrame(17).gSensorCursor, 5);
}

TEST(DrivingTableFrames, LongEntriesDoNotOverflowTheArithmetic) {
    CDrivingDataTable table;
    Load(table, NumberedGpsRecords(20000), 1'000'000);
    EXPECT_EQ(table.ValuesAtFrame(999'999).recordIndex, 19999);
    EXPECT_EQ(table.ValuesAtFrame(500'000).recordIndex, 10000);
}

TEST(DrivingTableFrames, PositionsOutsideTheEntryShowItsFirstOrLastRecord) {
    CDrivingDataTable table;
    Load(table, NumberedGpsRecords(10), 30);
    EXPECT_EQ(table.ValuesAtFrame(30).recordIndex, 9);
    EXPECT_EQ(table.ValuesAtFrame(5000).recordIndex, 9);
    EXPECT_EQ(table.ValuesAtFrame(5000).gSensorCursor, 9);
    EXPECT_EQ(table.ValuesAtFrame(-4).recordIndex, 0);
    EXPECT_EQ(table.ValuesAtFrame(-4).gSensorCursor, 0);
}

TEST(DrivingTableFrames, NoFramesOrNoRecordsShowNothing) {
    CDrivingDataTable table;
    Load(table, NumberedGpsRecords(10), 0);
    FrameDrivingValues values = table.ValuesAtFrame(3);
    EXPECT_FALSE(values.hasRecord);
    EXPECT_EQ(values.gSensorCursor, 0);
    EXPECT_FALSE(values.map.has_value());
    table.SetEntry(nullptr, 10, 30);
    EXPECT_EQ(table.RecordCount(), 0);
    EXPECT_FALSE(table.ValuesAtFrame(3).hasRecord);
    const std::vector<_DRIVING_RECORD> records = NumberedGpsRecords(3);
    table.SetEntry(records.data(), -5, 30);
    EXPECT_FALSE(table.ValuesAtFrame(3).hasRecord);
}

TEST(DrivingTableFrames, WritesTheRecordIntoTheFrameReservedSlots) {
    CDrivingDataTable table;
    Load(table, NumberedGpsRecords(10), 10);
    _FRAME_INFO frame = FrameAt(0, 7);
    for (std::int32_t& slot : frame.reserved1) {
        slot = 0x5A5A5A5A;
    }
    frame.llSecond = 1'700'000'123;
    frame.nMillisecond = 456;
    const FrameDrivingValues values = table.ProcessFrame(frame);
    // Byte offsets 104, 108, 112 and 124, 128, 132 of the frame record: slots 5-7 and 10-12.
    EXPECT_FLOAT_EQ(ReservedFloat(frame, 5), 7.0f);
    EXPECT_FLOAT_EQ(ReservedFloat(frame, 6), -12207.0f);
    EXPECT_FLOAT_EQ(ReservedFloat(frame, 7), 3707.0f);
    EXPECT_FLOAT_EQ(ReservedFloat(frame, 10), 0.07f);
    EXPECT_FLOAT_EQ(ReservedFloat(frame, 11), -0.02f);
    EXPECT_FLOAT_EQ(ReservedFloat(frame, 12), 1.0f);
    for (std::size_t untouched : {0u, 1u, 2u, 3u, 4u, 8u, 9u}) {
        EXPECT_EQ(frame.reserved1[untouched], 0x5A5A5A5A) << untouched;
    }
    const FrameDrivingFields back = ReadReservedArea(frame);
    EXPECT_FLOAT_EQ(back.latitude, values.fields.latitude);
    EXPECT_EQ(values.second, 1'700'000'123);
    EXPECT_EQ(values.millisecond, 456);
    EXPECT_EQ(values.framePosition, 7);
}

TEST(DrivingTableFrames, MapGetsHundredthsAndKnotsOnlyForValidPositions) {
    CDrivingDataTable table;
    const std::vector<_DRIVING_RECORD> records = {
        EngineRecord(GpsBytes(0, 0, 1, 100.0f, 3723.25f, -12158.5f)),
        EngineRecord(GpsBytes(0, 0, 1, 100.0f, 0.0f, -12158.5f)),
    };
    Load(table, records, 2);
    const FrameDrivingValues valid = table.ValuesAtFrame(0);
    ASSERT_TRUE(valid.map.has_value());
    EXPECT_FLOAT_EQ(valid.map->latitude, 37.2325f);
    EXPECT_FLOAT_EQ(valid.map->longitude, -121.585f);
    EXPECT_NEAR(valid.map->speedKnots, 53.9957f, 1e-4);
    EXPECT_FALSE(table.ValuesAtFrame(1).map.has_value());
}

TEST(DrivingTableFrames, InvalidRmcStatusDoesNotMoveTheMap) {
    CDrivingDataTable table;
    const std::vector<_DRIVING_RECORD> records = {
        EngineRecord(NmeaBytes("$GPRMC,123519,V,4807.038,N,01131.000,E,022.4,084.4,230394,,*6A"))};
    Load(table, records, 1);
    _FRAME_INFO frame = FrameAt(0, 0);
    const FrameDrivingValues values = table.ProcessFrame(frame);
    EXPECT_TRUE(values.hasRecord);
    EXPECT_FALSE(values.map.has_value());
    EXPECT_EQ(values.speedKmh, 0);
    EXPECT_EQ(ReservedFloat(frame, 7), 0.0f);
}

TEST(DrivingTableBlocks, TheFirstRecordDecidesHowTheBlockIsRead) {
    CDrivingDataTable table;
    const std::vector<_DRIVING_RECORD> records = {
        EngineRecord(NmeaBytes("$GPRMC,1,A,4807.038,N,01131.000,E,10")),
        EngineRecord(GpsBytes(0, 0, 1, 80.0f, 3723.0f, 12158.0f)),
    };
    Load(table, records, 2);
    EXPECT_EQ(table.Records()[0].Flags(), kPositionValid);
    // Read as an NMEA record, the binary record has no sentence and so no position.
    EXPECT_EQ(table.Records()[1].Type(), 1);
    EXPECT_EQ(table.Records()[1].Flags(), 0);
    EXPECT_EQ(table.Records()[1].Speed(), 0);
}

TEST(DrivingTableEntries, AFrameOfAnotherEntryLoadsItsDrivingDataOnce) {
    CDrivingDataTable table;
    const std::vector<_DRIVING_RECORD> first = NumberedGpsRecords(10);
    const std::vector<_DRIVING_RECORD> second = NumberedGpsRecords(4);
    _FRAME_INFO frame = FrameAt(3, 0);
    frame.records = first.data();
    frame.nRecordCount = 10;
    frame.fileInfo.nFrames = 300;
    EXPECT_TRUE(table.AdoptEntry(frame));
    EXPECT_EQ(table.ListIndex(), 3);
    EXPECT_EQ(table.FrameCount(), 300);
    frame.records = second.data();
    frame.nRecordCount = 4;
    EXPECT_FALSE(table.AdoptEntry(frame));
    EXPECT_EQ(table.RecordCount(), 10);
    frame.fileInfo.nListIndex = 4;
    EXPECT_TRUE(table.AdoptEntry(frame));
    EXPECT_EQ(table.RecordCount(), 4);
}

TEST(DrivingTableEntries, AfterForgettingTheSameListIndexLoadsAgain) {
    CDrivingDataTable table;
    const std::vector<_DRIVING_RECORD> first = NumberedGpsRecords(10);
    const std::vector<_DRIVING_RECORD> second = NumberedGpsRecords(4);
    _FRAME_INFO frame = FrameAt(0, 0);
    frame.records = first.data();
    frame.nRecordCount = 10;
    frame.fileInfo.nFrames = 10;
    ASSERT_TRUE(table.AdoptEntry(frame));
    table.ForgetEntry();
    EXPECT_FALSE(table.ValuesAtFrame(0).hasRecord);
    frame.records = second.data();
    frame.nRecordCount = 4;
    EXPECT_TRUE(table.AdoptEntry(frame));
    EXPECT_EQ(table.RecordCount(), 4);
}

TEST(DrivingTableEntries, RecordsOfAnotherSizeAreNotRead) {
    CDrivingDataTable table;
    const std::vector<_DRIVING_RECORD> records = NumberedGpsRecords(10);
    _FRAME_INFO frame = FrameAt(1, 0);
    frame.records = records.data();
    frame.nRecordCount = 10;
    frame.nRecordSize = 256;
    frame.fileInfo.nFrames = 10;
    EXPECT_TRUE(table.AdoptEntry(frame));
    EXPECT_EQ(table.RecordCount(), 0);
}

// Ten records a second over a simulated minute, as the sample-card generator writes them.
std::vector<_DRIVING_RECORD> SimulatedDrive(int kind, std::vector<mkcard::DriveState>* states) {
    mkcard::DriveSimulator drive(-33.85, 151.2, 5);
    std::vector<_DRIVING_RECORD> records;
    const std::int64_t startMs = 1'700'000'000'000;
    for (int i = 0; i < 600; ++i) {
        const mkcard::DriveState& state = drive.step(0.1);
        states->push_back(state);
        records.push_back(EngineRecord(mkcard::drivingRecord(kind, state, startMs + i * 100)));
    }
    return records;
}

// NMEA ddmm.mmmm / 100 in degrees.
double Degrees(float nmeaHundredths) {
    const double magnitude = std::fabs(nmeaHundredths);
    const double whole = std::floor(magnitude);
    const double degrees = whole + (magnitude - whole) * 100.0 / 60.0;
    return nmeaHundredths < 0 ? -degrees : degrees;
}

void ExpectFollowsTheDrive(int kind, double speedTolerance) {
    std::vector<mkcard::DriveState> states;
    const std::vector<_DRIVING_RECORD> records = SimulatedDrive(kind, &states);
    CDrivingDataTable table;
    Load(table, records, 1800);  // 30 frames a second
    for (int frame = 0; frame < 1800; frame += 7) {
        const FrameDrivingValues values = table.ValuesAtFrame(frame);
        const mkcard::DriveState& state = states[static_cast<std::size_t>(frame / 3)];
        ASSERT_TRUE(values.map.has_value()) << frame;
        EXPECT_NEAR(Degrees(values.map->latitude), state.latitude, 2e-5) << frame;
        EXPECT_NEAR(Degrees(values.map->longitude), state.longitude, 2e-5) << frame;
        EXPECT_NEAR(values.speedKmh, state.speedKmh, speedTolerance) << frame;
        EXPECT_NEAR(values.fields.gSensorX, state.gx, 1e-3) << frame;
        EXPECT_NEAR(values.fields.gSensorZ, state.gz, 1e-3) << frame;
    }
}

TEST(DrivingTableSimulatedDrive, BinaryGpsRecordsFollowTheDrive) {
    ExpectFollowsTheDrive(72, 1.0);
    ExpectFollowsTheDrive(80, 1.0);
}

TEST(DrivingTableSimulatedDrive, NmeaRecordsFollowTheDrive) {
    ExpectFollowsTheDrive(400, 1.01);
}

TEST(DrivingTableSimulatedDrive, VehicleRecordsKeepTheirBytesAndShowTheirSpeed) {
    std::vector<mkcard::DriveState> states;
    const std::vector<_DRIVING_RECORD> records = SimulatedDrive(57, &states);
    CDrivingDataTable table;
    Load(table, records, 600);
    for (std::size_t i = 0; i < records.size(); i += 37) {
        EXPECT_EQ(std::memcmp(table.Records()[i].bytes.data(), &records[i], sizeof records[i]), 0);
        // The vehicle speed (byte 37 of the recorder's record) is the viewer's speed byte.
        EXPECT_EQ(table.ValuesAtFrame(static_cast<int>(i)).speedKmh, std::lround(states[i].speedKmh));
    }
}

} // namespace
