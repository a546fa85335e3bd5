// The page's texts and image names for its values, in both variants.

#include "viewer/obd/ObdFormat.h"

#include <gtest/gtest.h>

using namespace viewer::obd;

namespace {

const QString kKm = QStringLiteral("km");

TEST(ObdFormat, VariantAForModelsZeroTwoAndThree) {
    EXPECT_EQ(VariantForModel(0), Variant::A);
    EXPECT_EQ(VariantForModel(2), Variant::A);
    EXPECT_EQ(VariantForModel(3), Variant::A);
    EXPECT_EQ(VariantForModel(1), Variant::B);
    EXPECT_EQ(VariantForModel(4), Variant::B);
    EXPECT_EQ(VariantForModel(-1), Variant::B);
}

TEST(ObdFormat, DistanceGroupsThousandsAndMillions) {
    EXPECT_EQ(FormatDistance(1234567, kKm), QStringLiteral("1,234,567km"));
    EXPECT_EQ(FormatDistance(999, kKm), QStringLiteral("999km"));
    EXPECT_EQ(FormatDistance(0, kKm), QStringLiteral("0km"));
    EXPECT_EQ(FormatDistance(1000, kKm), QStringLiteral("1,000km"));
    EXPECT_EQ(FormatDistance(234567, kKm), QStringLiteral("234,567km"));
    EXPECT_EQ(FormatDistance(999999, kKm), QStringLiteral("999,999km"));
    EXPECT_EQ(FormatDistance(1000000, kKm), QStringLiteral("1,000,000km"));
    EXPECT_EQ(FormatDistance(1002003, kKm), QStringLiteral("1,002,003km"));
}

TEST(ObdFormat, DistanceAboveTheSignedRangeStaysPositive) {
    EXPECT_EQ(FormatDistance(4294967295U, kKm), QStringLiteral("4294,967,295km"));
}

TEST(ObdFormat, EngineSpeedHasNoThirdGroup) {
    EXPECT_EQ(FormatEngineSpeed(2345, QStringLiteral("rpm")), QStringLiteral("2,345rpm"));
    EXPECT_EQ(FormatEngineSpeed(800, QStringLiteral("rpm")), QStringLiteral("800rpm"));
    EXPECT_EQ(FormatEngineSpeed(65535, QStringLiteral("rpm")), QStringLiteral("65,535rpm"));
}

TEST(ObdFormat, SpeedPlainBelowAThousand) {
    EXPECT_EQ(FormatSpeed(0), QStringLiteral("0"));
    EXPECT_EQ(FormatSpeed(999), QStringLiteral("999"));
    EXPECT_EQ(FormatSpeed(1005), QStringLiteral("1,005"));
}

TEST(ObdFormat, VoltageTenthsWithUnitOnlyInVariantA) {
    EXPECT_EQ(FormatVoltage(Variant::A, 125, QStringLiteral("V")), QStringLiteral("12.5 V"));
    EXPECT_EQ(FormatVoltage(Variant::B, 125, QStringLiteral("V")), QStringLiteral("12.5"));
    EXPECT_EQ(FormatVoltage(Variant::B, 7, QStringLiteral("V")), QStringLiteral("0.7"));
    EXPECT_EQ(FormatVoltage(Variant::B, 140, QStringLiteral("V")), QStringLiteral("14.0"));
}

TEST(ObdFormat, AcceleratorTitledInVariantABareInB) {
    EXPECT_EQ(FormatAccelerator(Variant::A, 10, QStringLiteral("Accelerator"), QStringLiteral("%")),
              QStringLiteral("Accelerator 10%"));
    EXPECT_EQ(FormatAccelerator(Variant::B, 10, QStringLiteral("Accelerator"), QStringLiteral("%")),
              QStringLiteral("10"));
}

TEST(ObdFormat, ImageNames) {
    EXPECT_STREQ(GearImage(GearFromLetter('d')), "obd_gear_d");
    EXPECT_STREQ(GearImage(Gear::Neutral), "obd_gear_n");
    EXPECT_STREQ(GearImage(Gear::Park), "obd_gear_p");
    EXPECT_STREQ(GearImage(Gear::Reverse), "obd_gear_r");
    EXPECT_STREQ(GearImage(Gear::Sport), "obd_gear_s");
    EXPECT_STREQ(GearImage(Gear::None), "obd_gear_none");
    EXPECT_STREQ(EconomyImage(Economy::White), "obd_eco_white");
    EXPECT_STREQ(EconomyImage(Economy::Red), "obd_eco_red");
    EXPECT_STREQ(EconomyImage(Economy::Green), "obd_eco_green");
    EXPECT_STREQ(BrakeImage(true), "obd_break_on");
    EXPECT_STREQ(BrakeImage(false), "obd_break_off");
    EXPECT_STREQ(LeftSignalImage(true), "obd_t_left_on");
    EXPECT_STREQ(RightSignalImage(false), "obd_t_right_off");
    EXPECT_STREQ(BrakeTextKey(true), "obd brake on");
    EXPECT_STREQ(BrakeTextKey(false), "obd brake off");
}

} // namespace
