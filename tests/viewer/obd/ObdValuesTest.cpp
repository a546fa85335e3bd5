// Vehicle values read from the viewer's 512-byte driving-data records: hand-made records at
// the edges and the sample-card generator's own vehicle records through the driving table.

#include "viewer/obd/ObdValues.h"

#include "tests/viewer/driving/DrivingRecordsFixture.h"
#include "tools/mkcard/DriveSimulator.h"
#include "viewer/driving/CDrivingDataTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace viewer::obd;
using viewer::driving::DrivingDataRecord;

namespace {

template <typename T> void PutAt(DrivingDataRecord& record, std::size_t at, T value) {
    std::memcpy(record.bytes.data() + at, &value, sizeof value);
}

DrivingDataRecord VehicleRecord() {
    DrivingDataRecord record;
    record.bytes[kValidityOffset] = 57;
    PutAt<std::uint16_t>(record, kVoltageOffset, 125);
    record.bytes[kSpeedOffset] = 88;
    PutAt<std::uint16_t>(record, kEngineSpeedOffset, 2345);
    PutAt<std::uint32_t>(record, kDistanceOffset, 1234567);
    record.bytes[kAcceleratorOffset] = 42;
    record.bytes[kBrakeOffset] = 3;
    record.bytes[kTurnSignalOffset] = 2;
    record.bytes[kGearOffset] = 'd';
    record.bytes[kEconomyOffset] = 2;
    return record;
}

TEST(ObdValuesDecoding, ReadsEveryFieldAtItsOffset) {
    const std::optional<ObdValues> values = ReadObdValues(VehicleRecord());
    ASSERT_TRUE(values.has_value());
    EXPECT_EQ(values->voltageTenths, 125);
    EXPECT_EQ(values->speed, 88);
    EXPECT_EQ(values->engineSpeed, 2345);
    EXPECT_EQ(values->distance, 1234567U);
    EXPECT_EQ(values->accelerator, 42);
    EXPECT_TRUE(values->brake);
    EXPECT_TRUE(values->leftSignal);
    EXPECT_FALSE(values->rightSignal);
    EXPECT_EQ(values->gear, Gear::Drive);
    EXPECT_EQ(values->economy, Economy::Red);
}

TEST(ObdValuesDecoding, ValidOnlyWhenByteTwelveIsAbove44) {
    DrivingDataRecord record = VehicleRecord();
    record.bytes[kValidityOffset] = 44;
    EXPECT_FALSE(ReadObdValues(record).has_value());
    record.bytes[kValidityOffset] = 45;
    EXPECT_TRUE(ReadObdValues(record).has_value());
    EXPECT_FALSE(ReadObdValues(DrivingDataRecord{}).has_value());
}

TEST(ObdValuesDecoding, GearLettersInEitherCase) {
    EXPECT_EQ(GearFromLetter('d'), GearFromLetter('D'));
    EXPECT_EQ(GearFromLetter('n'), Gear::Neutral);
    EXPECT_EQ(GearFromLetter('P'), Gear::Park);
    EXPECT_EQ(GearFromLetter('r'), Gear::Reverse);
    EXPECT_EQ(GearFromLetter('S'), Gear::Sport);
    EXPECT_EQ(GearFromLetter('x'), Gear::None);
    EXPECT_EQ(GearFromLetter('\0'), Gear::None);
}

TEST(ObdValuesDecoding, EconomyWhiteRedOtherwiseGreen) {
    EXPECT_EQ(EconomyFromByte(1), Economy::White);
    EXPECT_EQ(EconomyFromByte(2), Economy::Red);
    EXPECT_EQ(EconomyFromByte(0), Economy::Green);
    EXPECT_EQ(EconomyFromByte(3), Economy::Green);
    EXPECT_EQ(EconomyFromByte(255), Economy::Green);
}

TEST(ObdValuesDecoding, SignalBitsZeroRightOneLeft) {
    DrivingDataRecord record = VehicleRecord();
    record.bytes[kTurnSignalOffset] = 1;
    EXPECT_TRUE(ReadObdValues(record)->rightSignal);
    EXPECT_FALSE(ReadObdValues(record)->leftSignal);
    record.bytes[kTurnSignalOffset] = 3;
    EXPECT_TRUE(ReadObdValues(record)->rightSignal);
    EXPECT_TRUE(ReadObdValues(record)->leftSignal);
}

// The generator's 57-byte vehicle records, converted by the viewer's driving table exactly as
// the main window converts a frame's block, give back the simulated drive's values.
TEST(ObdValuesDecoding, GeneratorVehicleRecordsFollowTheDrive) {
    mkcard::DriveSimulator drive(-33.85, 151.2, 5);
    std::vector<_DRIVING_RECORD> records;
    std::vector<mkcard::DriveState> states;
    for (int i = 0; i < 600; ++i) {
        states.push_back(drive.step(0.1));
        records.push_back(tachy::test::EngineRecord(
            mkcard::drivingRecord(57, states.back(), 1'700'000'000'000 + i * 100)));
    }
    viewer::driving::CDrivingDataTable table;
    table.SetEntry(records.data(), static_cast<int>(records.size()), 600);
    ASSERT_EQ(table.RecordCount(), 600);
    int moving = 0;
    for (std::size_t i = 0; i < states.size(); ++i) {
        const mkcard::DriveState& state = states[i];
        const std::optional<ObdValues> values = ReadObdValues(table.Records()[i]);
        ASSERT_TRUE(values.has_value()) << i;
        EXPECT_EQ(values->speed, std::lround(state.speedKmh)) << i;
        EXPECT_EQ(values->voltageTenths, 138) << i;
        EXPECT_EQ(values->gear, state.speedKmh < 1 ? Gear::Park : Gear::Drive) << i;
        EXPECT_EQ(values->engineSpeed,
                  state.speedKmh < 1 ? 800 : static_cast<int>(1200 + state.speedKmh * 30))
            << i;
        EXPECT_EQ(values->distance,
                  static_cast<std::uint32_t>(120000 + state.seconds * state.speedKmh / 3600))
            << i;
        EXPECT_EQ(values->brake, state.gx < -0.05) << i;
        EXPECT_EQ(values->economy, state.gx > 0.15 ? Economy::Green : Economy::White) << i;
        moving += values->speed > 0 ? 1 : 0;
    }
    EXPECT_GT(moving, 100);
}

} // namespace
