#include "viewer/panels/GSensorLabelText.h"

#include <gtest/gtest.h>

using namespace viewer::panels;

TEST(GSensorLabelText, PositiveValuesCarryAPlusSign) {
    EXPECT_EQ(ValueLabelText("X", 0.25f), QStringLiteral("X: +0.2500"));
    EXPECT_EQ(ValueLabelText("Y", 0.0f), QStringLiteral("Y: +0.0000"));
    EXPECT_EQ(ValueLabelText("Z", 1.23456f), QStringLiteral("Z: +1.2346"));
}

TEST(GSensorLabelText, NegativeValuesCarryOnlyTheirMinus) {
    EXPECT_EQ(ValueLabelText("X", -0.5f), QStringLiteral("X: -0.5000"));
    EXPECT_EQ(ValueLabelText("X", -0.0f), QStringLiteral("X: +0.0000"));
}

TEST(GSensorLabelText, AxisTextsKeepNonLatinLetters) {
    EXPECT_EQ(ValueLabelText(QString::fromUtf8("가"), 1.0f), QString::fromUtf8("가: +1.0000"));
}

TEST(GSensorLabelText, IndicatorsPrintTheRange) {
    EXPECT_EQ(UpperIndicatorText(2), QStringLiteral("+2.G"));
    EXPECT_EQ(MiddleIndicatorText(), QStringLiteral("0.G"));
    EXPECT_EQ(LowerIndicatorText(4), QStringLiteral("-4.G"));
}
