#include "util/CUtilString.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

constexpr std::int64_t kLeapDay = 1709211909;  // 2024-02-29 13:05:09 UTC
const std::string kDegree = "\xC2\xB0";

} // namespace

TEST(CUtilString, FormatsCoordinatesAsDegreesMinutesSeconds) {
    const CUtilString text;
    EXPECT_EQ(text.GetGpsLatitude(37.3456F), "37" + kDegree + "  34'  33\"  (N)");
    EXPECT_EQ(text.GetGpsLatitude(-0.5F), "00" + kDegree + "  50'  00\"  (S)");
    EXPECT_EQ(text.GetGpsLongitude(127.0F), "127" + kDegree + "  00'  00\"  (E)");
    EXPECT_EQ(text.GetGpsLongitude(-122.2512F), "122" + kDegree + "  25'  07\"  (W)");
}

TEST(CUtilString, DamagedCoordinatesAndSpeedsDoNotBreakTheText) {
    const CUtilString text;
    EXPECT_EQ(text.GetGpsLatitude(std::nanf("")), "00" + kDegree + "  00'  00\"  (N)");
    EXPECT_FALSE(text.GetGpsLongitude(std::numeric_limits<float>::infinity()).empty());
    EXPECT_EQ(text.GetSpeed(std::numeric_limits<float>::max(), 0), "Speed  :  2147483647 Km/H");
}

TEST(CUtilString, ConvertsKnotsToKilometresOrMiles) {
    const CUtilString text;
    EXPECT_EQ(text.GetSpeed(10.0F, 0), "Speed  :  018 Km/H");
    EXPECT_EQ(text.GetSpeed(10.0F, 1), "Speed  :  011 MPH");
    EXPECT_EQ(text.GetSpeed(0.0F, 0), "Speed  :  000 Km/H");
    EXPECT_EQ(text.GetSpeed(100.0F, 0), "Speed  :  185 Km/H");
}

TEST(CUtilString, FormatsGSensorAndCaption) {
    const CUtilString text;
    EXPECT_EQ(text.GetGSensor(0.125F, -1.0F, 0.98F), "X: 0.1250,  Y: -1.0000,  Z: 0.9800");
    EXPECT_EQ(text.GetDateTimeString(kLeapDay), "2024-02-29  13:05:09");
    EXPECT_EQ(text.GetAviCaption(2, kLeapDay), "Cam:2 2024-02-29  13:05:09");
}

TEST(CUtilString, BuildsExportFileNames) {
    const CUtilString text;
    EXPECT_EQ(text.GetBitmapFileNameString("/home/u/shots/", kLeapDay, 1),
              "/home/u/shots/Ch1_2024_02_29_13_05_09.bmp");
    EXPECT_EQ(text.GetAviFileNameString("/b/", kLeapDay, 3), "/b/Ch3_2024_02_29_13_05_09.avi");
    EXPECT_EQ(text.GetAviFileNameStringNew("/b/", kLeapDay, 7, 0, 12),
              "/b/ch1_0012_20240229_130509_007_0.avi");
}
