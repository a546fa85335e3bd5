#include "skinres/CExImageManager.h"

#include "tests/support/QtTestApplication.h"
#include "tests/support/TempFolder.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

#include <filesystem>

using tachy::test::TempFolder;

namespace {

class CExImageManagerTest : public testing::Test {
protected:
    void SetUp() override {
        tachy::test::testApplication();
        QImage image(12, 8, QImage::Format_ARGB32);
        image.fill(0xFF3D8BFD);
        ASSERT_TRUE(image.save(QString::fromStdString((m_folder.path() / "blue.png").string())));
        m_folder.write("broken.png", "not a picture");
        m_list = QString::fromStdString(m_folder
                                            .write("images.ini", "[HD-png]\r\n"
                                                                 "Blue=blue.png\r\n"
                                                                 "Broken=broken.png\r\n"
                                                                 "Missing=missing.png\r\n"
                                                                 "[HD-bmp]\r\n"
                                                                 "BlueBitmap=blue.png\r\n"
                                                                 "BrokenBitmap=broken.png\r\n"
                                                                 "[HD-icon]\r\n"
                                                                 "BlueIcon=blue.png\r\n"
                                                                 "MissingIcon=none.png\r\n")
                                            .string());
    }

    QString folder() const { return QString::fromStdString(m_folder.path().string()); }

    TempFolder m_folder;
    QString m_list;
};

} // namespace

TEST_F(CExImageManagerTest, LoadsImagesAndKeepsFailedOnesAsNullImages) {
    CExImageManager manager;
    EXPECT_EQ(manager.LoadImageFile(folder(), m_list), 1);
    const QImage* blue = manager.GetImageFile("Blue");
    ASSERT_NE(blue, nullptr);
    EXPECT_EQ(blue->size(), QSize(12, 8));
    EXPECT_EQ(blue->pixel(3, 3), 0xFF3D8BFDu);
    ASSERT_NE(manager.GetImageFile("Broken"), nullptr);
    EXPECT_TRUE(manager.GetImageFile("Broken")->isNull());
    ASSERT_NE(manager.GetImageFile("Missing"), nullptr);
    EXPECT_TRUE(manager.GetImageFile("Missing")->isNull());
    EXPECT_EQ(manager.GetImageFile("Unlisted"), nullptr);
    EXPECT_EQ(manager.GetImageFile("blue"), nullptr);  // names keep their case
    // An image is not a bitmap: the kinds are kept apart.
    EXPECT_EQ(manager.GetBitmapFile("Blue"), nullptr);
}

TEST_F(CExImageManagerTest, LoadsBitmapsAndIconsAtTheirOwnSize) {
    CExImageManager manager;
    EXPECT_EQ(manager.LoadBitmapFile(folder(), m_list), 1);
    EXPECT_EQ(manager.LoadIconFile(folder(), m_list), 1);
    ASSERT_NE(manager.GetBitmapFile("BlueBitmap"), nullptr);
    EXPECT_EQ(manager.GetBitmapFile("BlueBitmap")->size(), QSize(12, 8));
    EXPECT_EQ(manager.GetBitmapFile("BrokenBitmap"), nullptr);
    ASSERT_NE(manager.GetIconFile("BlueIcon"), nullptr);
    EXPECT_FALSE(manager.GetIconFile("BlueIcon")->isNull());
    EXPECT_EQ(manager.GetIconFile("MissingIcon"), nullptr);
}

TEST_F(CExImageManagerTest, EmptyOrMissingSectionAnswersZero) {
    const QString empty = QString::fromStdString(
        m_folder.write("empty.ini", "[HD-png]\r\n; nothing\r\n[Other]\r\nA=blue.png\r\n").string());
    CExImageManager manager;
    EXPECT_EQ(manager.LoadImageFile(folder(), empty), 0);
    EXPECT_EQ(manager.LoadBitmapFile(folder(), empty), 0);
    EXPECT_EQ(manager.LoadIconFile(folder(), empty), 0);
    EXPECT_EQ(manager.LoadImageFile(folder(), "/nonexistent/images.ini"), 0);
}

TEST_F(CExImageManagerTest, UnloadEmptiesOnlyItsOwnKind) {
    CExImageManager manager;
    manager.LoadImageFile(folder(), m_list);
    manager.LoadBitmapFile(folder(), m_list);
    manager.LoadIconFile(folder(), m_list);
    manager.UnloadImageFile();
    EXPECT_EQ(manager.GetImageFile("Blue"), nullptr);
    EXPECT_NE(manager.GetBitmapFile("BlueBitmap"), nullptr);
    manager.UnloadBitmapFile();
    EXPECT_EQ(manager.GetBitmapFile("BlueBitmap"), nullptr);
    EXPECT_NE(manager.GetIconFile("BlueIcon"), nullptr);
    manager.UnloadIconFile();
    EXPECT_EQ(manager.GetIconFile("BlueIcon"), nullptr);
}

namespace {

// A skin folder whose pictures come at the design size and, for some, at twice that size.
class CExImageManagerDoubleSizeTest : public testing::Test {
protected:
    void SetUp() override {
        tachy::test::testApplication();
        writePicture("img/blue.png", QSize(12, 8), 0xFF3D8BFD);
        writePicture("img/blue@2x.png", QSize(24, 16), 0xFFF5A524);
        writePicture("img/plain.png", QSize(10, 10), 0xFF15171A);
        writePicture("img/odd.png", QSize(10, 10), 0xFF15171A);
        writePicture("img/odd@2x.png", QSize(30, 30), 0xFFE5484D);  // not twice the size
        m_list = QString::fromStdString(m_folder
                                            .write("images.ini", "[HD-png]\r\n"
                                                                 "Blue=img/blue.png\r\n"
                                                                 "Plain=img/plain.png\r\n"
                                                                 "Odd=img/odd.png\r\n"
                                                                 "[HD-bmp]\r\n"
                                                                 "BlueBitmap=img/blue.png\r\n"
                                                                 "[HD-icon]\r\n"
                                                                 "BlueIcon=img/blue.png\r\n")
                                            .string());
    }

    void writePicture(const char* name, QSize size, QRgb colour) {
        std::filesystem::create_directories(m_folder.path() / "img");
        QImage image(size, QImage::Format_ARGB32);
        image.fill(colour);
        ASSERT_TRUE(image.save(QString::fromStdString((m_folder.path() / name).string())));
    }

    QString folder() const { return QString::fromStdString(m_folder.path().string()); }

    TempFolder m_folder;
    QString m_list;
};

} // namespace

TEST_F(CExImageManagerDoubleSizeTest, PicksTheSetByScaleAndFallsBackToTheListedPicture) {
    CExImageManager manager;
    manager.SetPictureScale(1.0);
    ASSERT_EQ(manager.LoadImageFile(folder(), m_list), 1);
    const QImage* blue = manager.GetImageFile("Blue");
    ASSERT_NE(blue, nullptr);
    EXPECT_EQ(manager.PictureScale(), 1);
    EXPECT_EQ(blue->size(), QSize(12, 8));
    EXPECT_EQ(blue->devicePixelRatio(), 1.0);
    EXPECT_EQ(blue->pixel(1, 1), 0xFF3D8BFDu);

    // A HiDPI screen, or a window shown at 1.35 times its design size: the double-size set,
    // at the same logical size and through the pointer handed out before.
    for (const qreal scale : {2.0, 1.35}) {
        manager.SetPictureScale(scale);
        EXPECT_EQ(manager.PictureScale(), 2) << scale;
        EXPECT_EQ(manager.GetImageFile("Blue"), blue);
        EXPECT_EQ(blue->size(), QSize(24, 16)) << scale;
        EXPECT_EQ(blue->devicePixelRatio(), 2.0);
        EXPECT_EQ(blue->deviceIndependentSize(), QSizeF(12, 8));
        EXPECT_EQ(blue->pixel(1, 1), 0xFFF5A524u);
        // No double-size file, or one of the wrong size: the listed picture.
        EXPECT_EQ(manager.GetImageFile("Plain")->size(), QSize(10, 10));
        EXPECT_EQ(manager.GetImageFile("Plain")->devicePixelRatio(), 1.0);
        EXPECT_EQ(manager.GetImageFile("Odd")->size(), QSize(10, 10));
        EXPECT_EQ(manager.GetImageFile("Odd")->pixel(1, 1), 0xFF15171Au);
    }

    manager.SetPictureScale(1.0);
    EXPECT_EQ(manager.PictureScale(), 1);
    EXPECT_EQ(blue->size(), QSize(12, 8));
    EXPECT_EQ(blue->pixel(1, 1), 0xFF3D8BFDu);
}

TEST_F(CExImageManagerDoubleSizeTest, LoadsTheSetPickedBeforeLoading) {
    CExImageManager manager;
    manager.SetPictureScale(2.0);
    ASSERT_EQ(manager.LoadImageFile(folder(), m_list), 1);
    ASSERT_EQ(manager.LoadBitmapFile(folder(), m_list), 1);
    EXPECT_EQ(manager.GetImageFile("Blue")->size(), QSize(24, 16));
    const QPixmap* bitmap = manager.GetBitmapFile("BlueBitmap");
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->size(), QSize(24, 16));
    EXPECT_EQ(bitmap->deviceIndependentSize(), QSizeF(12, 8));
    manager.SetPictureScale(1.0);
    EXPECT_EQ(bitmap->size(), QSize(12, 8));
    EXPECT_EQ(bitmap->devicePixelRatio(), 1.0);
}

TEST_F(CExImageManagerDoubleSizeTest, IconsHoldBothSizes) {
    CExImageManager manager;
    ASSERT_EQ(manager.LoadIconFile(folder(), m_list), 1);
    const QIcon* icon = manager.GetIconFile("BlueIcon");
    ASSERT_NE(icon, nullptr);
    const QImage small = icon->pixmap(QSize(12, 8), 1.0).toImage();
    const QImage large = icon->pixmap(QSize(12, 8), 2.0).toImage();
    EXPECT_EQ(small.size(), QSize(12, 8));
    EXPECT_EQ(small.pixel(1, 1), 0xFF3D8BFDu);
    EXPECT_EQ(large.size(), QSize(24, 16));
    EXPECT_EQ(large.pixel(1, 1), 0xFFF5A524u);
}

TEST(CExImageManagerPaths, DoubleSizeFileSitsBesideTheListedOne) {
    EXPECT_EQ(CExImageManager::DoubleSizePath("/skin/img/Pause_normal.png"),
              QStringLiteral("/skin/img/Pause_normal@2x.png"));
    EXPECT_EQ(CExImageManager::DoubleSizePath("/skin/img.d/logo"), QStringLiteral("/skin/img.d/logo@2x"));
    EXPECT_EQ(CExImageManager::DoubleSizePath("/skin/a.b.png"), QStringLiteral("/skin/a.b@2x.png"));
}
