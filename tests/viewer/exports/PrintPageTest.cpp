#include "viewer/exports/PrintPage.h"
#include "viewer/exports/DmsAngle.h"
#include "viewer/exports/PrintPageLayout.h"
#include "viewer/exports/PrintPageText.h"

#include "skinres/CExLangManager.h"

#include <QImage>
#include <QPageSize>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>

namespace {

using viewer::exports::DmsAngle;
using viewer::exports::PrintPage;
using viewer::exports::PrintPageContent;
using viewer::exports::PrintPageLayout;
using viewer::exports::PrintPageText;
using viewer::exports::SnapshotPictureSet;

QImage Filled(int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

TEST(DmsAngle, SouthernLatitudeKeepsItsMinutesAndTruncatesItsSeconds) {
    const DmsAngle angle = DmsAngle::Latitude(-3733.1234);
    EXPECT_EQ(angle.degrees, 37);
    EXPECT_EQ(angle.minutes, 33);
    EXPECT_EQ(angle.seconds, 7); // 0.1234 minutes are 7.404 seconds
    EXPECT_EQ(angle.hemisphere, 'S');
    // As the driving record stores it, a 32-bit float.
    const DmsAngle stored = DmsAngle::Latitude(static_cast<double>(-3733.1234f));
    EXPECT_EQ(stored.minutes, 33);
    EXPECT_EQ(stored.seconds, 7);
}

TEST(DmsAngle, LongitudeHemispheresAndSmallValues) {
    const DmsAngle east = DmsAngle::Longitude(12700.5);
    EXPECT_EQ(east.degrees, 127);
    EXPECT_EQ(east.minutes, 0);
    EXPECT_EQ(east.seconds, 30);
    EXPECT_EQ(east.hemisphere, 'E');
    const DmsAngle west = DmsAngle::Longitude(-0.5);
    EXPECT_EQ(west.degrees, 0);
    EXPECT_EQ(west.minutes, 0);
    EXPECT_EQ(west.seconds, 30);
    EXPECT_EQ(west.hemisphere, 'W');
    EXPECT_EQ(DmsAngle::Latitude(NAN).degrees, 0);
}

TEST(PrintPageText, PositionLineShowsBothAnglesAndTheTruncatedSpeed) {
    EXPECT_EQ(PrintPageText::Position(-3733.1234, 12659.9999, 87.9),
              QString::fromUtf8("37° 33' 07\" (S), 126° 59' 59\" (E), Speed: 87 Km/h"));
    EXPECT_EQ(PrintPageText::Position(4807.038, -1131.5, 0),
              QString::fromUtf8("48° 07' 02\" (N), 11° 31' 30\" (W), Speed: 0 Km/h"));
}

TEST(PrintPageText, TimeIsTheUtcCalendarOfTheStoredSecond) {
    ::setenv("TZ", "JST-9", 1);
    ::tzset();
    const QString text = PrintPageText::Time(1700000000);
    ::unsetenv("TZ");
    ::tzset();
    EXPECT_EQ(text, QStringLiteral("2023-11-14 22:13:20"));
}

TEST(PrintPageText, GSensorValuesHaveFourDecimals) {
    EXPECT_EQ(PrintPageText::GSensor(0.5, -1.25, 0.00004),
              QStringLiteral("X: 0.5000, Y: -1.2500, Z: 0.0000"));
}

TEST(PrintPageLayout, OnePictureFillsTheWidthOrTheHeightWhicheverComesFirst) {
    SnapshotPictureSet pictures;
    pictures.SetPicture(0, Filled(640, 360, 0));
    const auto sizes = PrintPageLayout::PictureSizes(pictures, 380);
    // min((405 - 10) / 360, 380 / 640) = 0.59375
    EXPECT_DOUBLE_EQ(sizes[0].width(), 380);
    EXPECT_DOUBLE_EQ(sizes[0].height(), 213.75);
    EXPECT_TRUE(sizes[1].isEmpty());

    pictures.SetPicture(0, Filled(200, 600, 0));
    const auto tall = PrintPageLayout::PictureSizes(pictures, 380);
    EXPECT_DOUBLE_EQ(tall[0].height(), 395); // (405 - 10) / 600 is the smaller scale
}

TEST(PrintPageLayout, TwoPicturesShareTheHeight) {
    SnapshotPictureSet pictures;
    pictures.SetPicture(0, Filled(640, 360, 0));
    pictures.SetPicture(1, Filled(640, 360, 0));
    const auto sizes = PrintPageLayout::PictureSizes(pictures, 380);
    const double scale = 385.0 / 720;
    EXPECT_DOUBLE_EQ(sizes[0].height(), 360 * scale);
    EXPECT_DOUBLE_EQ(sizes[1].width(), 640 * scale);
}

TEST(PrintPageLayout, ThreePicturesDrawTheSecondAndThirdInOneSixteenByNineShape) {
    SnapshotPictureSet pictures;
    pictures.SetPicture(0, Filled(1920, 1080, 0));
    pictures.SetPicture(1, Filled(640, 480, 0));
    pictures.SetPicture(2, Filled(720, 480, 0));
    const auto sizes = PrintPageLayout::PictureSizes(pictures, 380);
    const double scale = 375.0 / 2040; // smaller than 380 / 1920
    EXPECT_DOUBLE_EQ(sizes[0].width(), 1920 * scale);
    EXPECT_DOUBLE_EQ(sizes[0].height(), 1080 * scale);
    for (int channel = 1; channel < 3; ++channel) {
        EXPECT_DOUBLE_EQ(sizes[channel].height(), 480 * scale) << channel;
        EXPECT_DOUBLE_EQ(sizes[channel].width(), 853 * scale) << channel; // 480 * 16 / 9
    }
}

PrintPageContent EnglishContent(const CExLangManager& language) {
    PrintPageContent content = PrintPageContent::FromLanguage(language);
    content.pictures.SetPicture(0, Filled(640, 360, qRgb(200, 30, 30)));
    content.pictures.SetPicture(1, Filled(640, 360, qRgb(30, 160, 40)));
    content.second = 1700000000;
    content.latitude = -3733.1234;
    content.longitude = 12659.9999;
    content.speed = 87.9;
    content.gSensorX = 0.5;
    content.gSensorY = -1.25;
    content.gSensorZ = 0.98;
    content.memo = QStringLiteral("Stopped at the crossing");
    return content;
}

class PrintPageTest : public testing::Test {
protected:
    void SetUp() override {
        const QString file = QStringLiteral(TACHY_DATA_DIR "/lang/ENG/lang_eng.ini");
        m_language.LoadTextInfo(file);
        m_language.LoadFontInfo(file);
        ASSERT_GT(m_language.GetTextCount(), 0u);
    }
    CExLangManager m_language;
};

TEST_F(PrintPageTest, TitleSectionsAndLinesFollowEachOther) {
    const PrintPage page(EnglishContent(m_language), QPageSize(QPageSize::A4));
    const PrintPageLayout& layout = page.Layout();
    EXPECT_DOUBLE_EQ(layout.page.width(), 500);
    EXPECT_NEAR(layout.page.height(), 500 * 297.0 / 210, 1);
    EXPECT_EQ(layout.title, QRectF(20, 30, 460, 20));
    EXPECT_DOUBLE_EQ(layout.titleLine.y1(), 60);
    ASSERT_EQ(layout.pictures.size(), 2u);
    EXPECT_EQ(layout.pictures[0].rect.topLeft(), QPointF(60, 70));
    EXPECT_DOUBLE_EQ(layout.pictures[1].rect.top(), layout.pictures[0].rect.bottom() + 10);
    for (std::size_t section = 0; section < 4; ++section) {
        EXPECT_GT(layout.sections[section].heading.height(), 0) << section;
        EXPECT_GT(layout.sections[section].value.height(), 0) << section;
        EXPECT_DOUBLE_EQ(layout.sections[section].value.top(),
                         layout.sections[section].heading.bottom());
    }
    for (std::size_t section = 1; section < 4; ++section) {
        EXPECT_DOUBLE_EQ(layout.sections[section].heading.top(),
                         layout.sections[section - 1].value.bottom() + 12)
            << section;
    }
    EXPECT_DOUBLE_EQ(layout.closingLine.y1(), layout.sections[3].value.bottom() + 10);
    EXPECT_LT(layout.closingLine.y1(), layout.page.height());
}

TEST_F(PrintPageTest, ALongerMemoMovesTheClosingLineDown) {
    PrintPage page(EnglishContent(m_language), QPageSize(QPageSize::A4));
    const double before = page.Layout().closingLine.y1();
    page.SetMemo(QStringLiteral("First line\nSecond line\nThird line"));
    EXPECT_GT(page.Layout().closingLine.y1(), before);
    EXPECT_EQ(page.Content().memo, QStringLiteral("First line\nSecond line\nThird line"));
}

TEST_F(PrintPageTest, PreviewShowsTheTitleInDarkBlueAndThePictures) {
    const PrintPage page(EnglishContent(m_language), QPageSize(QPageSize::A4));
    const QImage preview = page.Preview(1000); // two pixels per page unit
    ASSERT_EQ(preview.width(), 1000);
    EXPECT_NEAR(preview.height(), 1000 * 297.0 / 210, 1);
    const QRectF first = page.Layout().pictures[0].rect;
    const QRectF second = page.Layout().pictures[1].rect;
    EXPECT_EQ(preview.pixel((first.center() * 2).toPoint()), qRgb(200, 30, 30));
    EXPECT_EQ(preview.pixel((second.center() * 2).toPoint()), qRgb(30, 160, 40));
    EXPECT_EQ(preview.pixel(990, 20), qRgb(255, 255, 255));
    int blue = 0;
    for (int y = 60; y < 100; ++y) {
        for (int x = 40; x < 960; ++x) {
            const QRgb pixel = preview.pixel(x, y);
            blue += qBlue(pixel) > qRed(pixel) + 60 && qRed(pixel) == qGreen(pixel) ? 1 : 0;
        }
    }
    EXPECT_GT(blue, 100);
}

} // namespace
