#include "skinres/CExImageManager.h"

#include "tests/support/QtTestApplication.h"
#include "tests/support/TempFolder.h"

#include <QImage>
#include <gtest/gtest.h>

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
