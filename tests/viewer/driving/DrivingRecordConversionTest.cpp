// The conversions of the engine's driving-data records into the viewer's form, and the reading
// of RMC sentences out of the recorder's NMEA text.

#include "tests/viewer/driving/DrivingRecordsFixture.h"
#include "viewer/driving/DrivingRecordConversion.h"
#include "viewer/driving/RmcSentence.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace viewer::driving;
using tachy::test::BytesOf;
using tachy::test::EngineRecord;
using tachy::test::GpsBytes;
using tachy::test::NmeaBytes;

namespace {

DrivingDataRecord ConvertAlone(const std::string& bytes) {
    const _DRIVING_RECORD record = EngineRecord(bytes);
    return ConvertRecord(KindOfBlock(BytesOf(record)), BytesOf(record));
}

DrivingDataRecord ConvertSentence(const std::string& sentence) {
    return ConvertAlone(NmeaBytes(sentence));
}

TEST(GpsRecordConversion, TakesGSensorPositionAndTruncatedSpeed) {
    const DrivingDataRecord record =
        ConvertAlone(GpsBytes(0.25f, -0.5f, 1.0f, 63.9f, 3723.2475f, -12158.3416f));
    EXPECT_EQ(record.Type(), 1);
    EXPECT_FLOAT_EQ(record.GSensorX(), 0.25f);
    EXPECT_FLOAT_EQ(record.GSensorY(), -0.5f);
    EXPECT_FLOAT_EQ(record.GSensorZ(), 1.0f);
    EXPECT_FLOAT_EQ(record.Latitude(), 3723.2475f);
    EXPECT_FLOAT_EQ(record.Longitude(), -12158.3416f);
    EXPECT_EQ(record.Speed(), 63);
    EXPECT_EQ(record.Flags(), kPositionValid);
}

TEST(GpsRecordConversion, PositionIsValidOnlyWhenLatitudeAndLongitudeAreBothSet) {
    EXPECT_EQ(ConvertAlone(GpsBytes(0, 0, 1, 30, 0.0f, 12158.0f)).Flags(), 0);
    EXPECT_EQ(ConvertAlone(GpsBytes(0, 0, 1, 30, 3723.0f, 0.0f)).Flags(), 0);
    EXPECT_EQ(ConvertAlone(GpsBytes(0, 0, 1, 30, -3723.0f, -12158.0f)).Flags(), kPositionValid);
}

TEST(GpsRecordConversion, SpeedsOutsideTheByteAreClampedNotWrapped) {
    EXPECT_EQ(ConvertAlone(GpsBytes(0, 0, 1, -4.0f, 1, 1)).Speed(), 0);
    EXPECT_EQ(ConvertAlone(GpsBytes(0, 0, 1, 300.0f, 1, 1)).Speed(), 255);
    EXPECT_EQ(ConvertAlone(GpsBytes(0, 0, 1, std::numeric_limits<float>::quiet_NaN(), 1, 1)).Speed(),
              0);
    EXPECT_EQ(ConvertAlone(GpsBytes(0, 0, 1, std::numeric_limits<float>::infinity(), 1, 1)).Speed(),
              255);
}

TEST(NmeaRecordConversion, ValidRmcGivesPositionSpeedInKmhAndFlag) {
    const DrivingDataRecord record = ConvertAlone(NmeaBytes(
        "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A", -250, 125, 1010));
    EXPECT_EQ(record.Type(), 5);
    EXPECT_EQ(record.Flags(), kPositionValid);
    EXPECT_FLOAT_EQ(record.Latitude(), 4807.038f);
    EXPECT_FLOAT_EQ(record.Longitude(), 1131.0f);
    EXPECT_EQ(record.Speed(), 41);  // 22.4 knots = 41.48 km/h
    EXPECT_FLOAT_EQ(record.GSensorX(), -0.25f);
    EXPECT_FLOAT_EQ(record.GSensorY(), 0.125f);
    EXPECT_FLOAT_EQ(record.GSensorZ(), 1.01f);
}

TEST(NmeaRecordConversion, SouthAndWestNegateTheCoordinates) {
    const DrivingDataRecord record = ConvertSentence("$GNRMC,0,A,3351.000,S,15112.500,W,10.0,0,010124,,,A*00");
    EXPECT_EQ(record.Flags(), kPositionValid);
    EXPECT_FLOAT_EQ(record.Latitude(), -3351.0f);
    EXPECT_FLOAT_EQ(record.Longitude(), -15112.5f);
    EXPECT_EQ(record.Speed(), 18);  // 18.52 km/h
}

TEST(NmeaRecordConversion, StatusOtherThanAKeepsPositionSpeedAndFlagsZero) {
    const DrivingDataRecord record =
        ConvertAlone(NmeaBytes("$GPRMC,123519,V,4807.038,N,01131.000,E,022.4,084.4,230394,,*6A", 500));
    EXPECT_EQ(record.Flags(), 0);
    EXPECT_EQ(record.Latitude(), 0.0f);
    EXPECT_EQ(record.Longitude(), 0.0f);
    EXPECT_EQ(record.Speed(), 0);
    EXPECT_FLOAT_EQ(record.GSensorX(), 0.5f);  // the G-sensor does not depend on the fix
}

TEST(NmeaRecordConversion, SentencesOtherThanRmcGiveNoPosition) {
    EXPECT_EQ(ConvertSentence("$GPGGA,123519,A,4807.038,N,01131.000,E,022.4").Flags(), 0);
    EXPECT_EQ(ConvertSentence("GPRMC,123519,A,4807.038,N,01131.000,E,022.4").Flags(), 0);
    EXPECT_EQ(ConvertSentence("").Flags(), 0);
}

TEST(NmeaRecordConversion, TextFillingItsWholeFieldEndsAtTheField) {
    // 256 bytes without a NUL, the speed field last; the G-sensor bytes that follow read "5,,,"
    // as text. A reader that ran on would see "...15" knots; bounded, it is 1 knot.
    std::string sentence = "$GPRMC,1,A,4807.038,N,01131.000,E,";
    sentence += std::string(256 - sentence.size() - 1, '0') + "1";
    std::string bytes = NmeaBytes(sentence);
    std::memcpy(bytes.data() + 290, "5,,,", 4);
    const DrivingDataRecord record = ConvertAlone(bytes);
    EXPECT_EQ(record.Flags(), kPositionValid);
    EXPECT_EQ(record.Speed(), 1);
}

TEST(OtherRecordConversion, VehicleAndShortRecordsAreTakenOverUnchanged) {
    std::string vehicle(57, '\0');
    for (std::size_t i = 0; i < vehicle.size(); ++i) {
        vehicle[i] = static_cast<char>(i * 7 + 3);
    }
    const _DRIVING_RECORD source = EngineRecord(vehicle);
    const DrivingDataRecord copy = ConvertRecord(KindOfBlock(BytesOf(source)), BytesOf(source));
    EXPECT_EQ(copy.Type(), 4);
    EXPECT_EQ(std::memcmp(copy.bytes.data(), &source, sizeof source), 0);
    EXPECT_EQ(KindOfBlock(BytesOf(EngineRecord(std::string(15, 'x')))), BlockKind::Unchanged);
    EXPECT_EQ(KindOfBlock(BytesOf(EngineRecord("G$GPRMC,1,A"))), BlockKind::Unchanged);
}

TEST(RmcSentence, ChecksumAfterTheSpeedIsNotPartOfIt) {
    const RmcFix fix = ParseRmcSentence("$GPRMC,1,A,4807.038,N,01131.000,E,5.5*1C");
    ASSERT_TRUE(fix.valid);
    EXPECT_FLOAT_EQ(fix.speedKnots, 5.5f);
}

TEST(RmcSentence, MissingSpeedFieldGivesZeroSpeed) {
    const RmcFix fix = ParseRmcSentence("$GPRMC,1,A,4807.038,N,01131.000,E");
    ASSERT_TRUE(fix.valid);
    EXPECT_EQ(fix.speedKnots, 0.0f);
    EXPECT_FLOAT_EQ(fix.longitude, 1131.0f);
}

TEST(RmcSentence, ShortOrMalformedSentencesAreInvalid) {
    for (const char* sentence : {"$GPRMC", "$GPRMC,", "$GPRMC,1,A", "$GPRMC,1,A,4807.038,N",
                                 "$GPRMC,1,A,4807.038,N,01131.000", "$GPRMC,1,A,,N,01131.000,E,5",
                                 "$GPRMC,1,A,4807.038,N,,E,5", "$GPRMC,1,A,48x7,N,01131.000,E,5",
                                 "$GPRMC,1,A,nan,N,01131.000,E,5", "$GPRMC,1,,4807.038,N,01131.000,E,5",
                                 "$GPRMC,1,AA,4807.038,N,01131.000,E,5"}) {
        const RmcFix fix = ParseRmcSentence(sentence);
        EXPECT_FALSE(fix.valid) << sentence;
        EXPECT_EQ(fix.latitude, 0.0f) << sentence;
        EXPECT_EQ(fix.speedKnots, 0.0f) << sentence;
    }
}

TEST(RmcSentence, UnreadableSpeedLeavesThePositionAndGivesZeroSpeed) {
    const RmcFix fix = ParseRmcSentence("$GPRMC,1,A,4807.038,N,01131.000,E,fast,0");
    ASSERT_TRUE(fix.valid);
    EXPECT_EQ(fix.speedKnots, 0.0f);
}

TEST(BoundedText, StopsAtTheFirstNulOrAtTheFieldEnd) {
    const char field[8] = {'a', 'b', '\0', 'c', 'd', 'e', 'f', 'g'};
    EXPECT_EQ(BoundedText(field, sizeof field), "ab");
    const char full[4] = {'w', 'x', 'y', 'z'};
    EXPECT_EQ(BoundedText(full, sizeof full), "wxyz");
    EXPECT_EQ(BoundedText(full, 0), "");
}

} // namespace
