// The default skin's double-size pictures: one beside every listed picture, exactly twice its
// size, the same design, and drawn afresh at that size rather than enlarged from the small one.

#include "platform/profile/ProfileFile.h"
#include "skinres/CExImageManager.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using tachy::ProfileFile;

namespace {

const std::filesystem::path kSkin = std::filesystem::path(TACHY_DATA_DIR) / "skin";

QImage load(const QString& path) {
    return QImage(path).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QString listedPath(const ProfileFile::Entry& entry) {
    return QString::fromStdString((kSkin / entry.value).string());
}

// Each pixel of the result is the mean of a 2 x 2 block of the double-size picture: what the
// picture looks like drawn at the design size.
QImage halved(const QImage& doubled) {
    QImage half(doubled.width() / 2, doubled.height() / 2, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < half.height(); ++y) {
        for (int x = 0; x < half.width(); ++x) {
            int sum[4] = {0, 0, 0, 0};
            for (const QPoint offset : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)}) {
                const QRgb pixel = doubled.pixel(2 * x + offset.x(), 2 * y + offset.y());
                sum[0] += qRed(pixel);
                sum[1] += qGreen(pixel);
                sum[2] += qBlue(pixel);
                sum[3] += qAlpha(pixel);
            }
            half.setPixel(x, y, qRgba(sum[0] / 4, sum[1] / 4, sum[2] / 4, sum[3] / 4));
        }
    }
    return half;
}

// The mean difference per channel, 0 to 255.
double meanDifference(const QImage& a, const QImage& b) {
    double total = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            total += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                     std::abs(qBlue(p) - qBlue(q)) + std::abs(qAlpha(p) - qAlpha(q));
        }
    }
    return total / (4.0 * a.width() * a.height());
}

} // namespace

TEST(SkinDoubleSize, EveryListedPictureHasOneOfTwiceItsSizeWithTheSameDesign) {
    const auto entries = ProfileFile::load(kSkin / "images.ini").readSection("HD-png");
    ASSERT_GT(entries.size(), 100u);
    for (const auto& entry : entries) {
        const QImage listed = load(listedPath(entry));
        const QImage doubled = load(CExImageManager::DoubleSizePath(listedPath(entry)));
        ASSERT_FALSE(listed.isNull()) << entry.value;
        ASSERT_FALSE(doubled.isNull()) << entry.value << ": no double-size picture";
        ASSERT_EQ(doubled.size(), listed.size() * 2) << entry.value;
        // Shrunk back to the design size, it is the listed picture up to antialiasing.
        EXPECT_LT(meanDifference(halved(doubled), listed), 6.0) << entry.value;
    }
}

TEST(SkinDoubleSize, PicturesAreDrawnAtTwiceTheSizeNotEnlarged) {
    // A 1-pixel line of the design is 2 pixels wide: the list row's bottom line.
    const QImage row = load(QString::fromStdString((kSkin / "img/list_row@2x.png").string()));
    ASSERT_EQ(row.size(), QSize(16, 64));
    EXPECT_EQ(qAlpha(row.pixel(5, 61)), 0);
    EXPECT_EQ(row.pixel(5, 62), 0xFF2A2E35u);
    EXPECT_EQ(row.pixel(5, 63), 0xFF2A2E35u);

    // Curves, strokes and text have edges as fine as their own pixels: enlarging the small
    // picture would give 2 x 2 blocks of one colour everywhere.
    for (const char* name : {"img/PlayForward_normal", "img/bar_thumb", "img/digit_strip",
                             "img/title_logo", "img/PlaySpeed_15x_normal", "img/app_icon"}) {
        const QImage listed = load(QString::fromStdString((kSkin / name).string()) + ".png");
        const QImage doubled = load(QString::fromStdString((kSkin / name).string()) + "@2x.png");
        ASSERT_EQ(doubled.size(), listed.size() * 2) << name;
        const QImage enlarged =
            listed.scaled(doubled.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
        EXPECT_GT(meanDifference(doubled, enlarged), 1.0) << name;
        int splitBlocks = 0;
        for (int y = 0; y + 1 < doubled.height(); y += 2) {
            for (int x = 0; x + 1 < doubled.width(); x += 2) {
                const QRgb first = doubled.pixel(x, y);
                splitBlocks += doubled.pixel(x + 1, y) != first ||
                               doubled.pixel(x, y + 1) != first ||
                               doubled.pixel(x + 1, y + 1) != first;
            }
        }
        EXPECT_GT(splitBlocks, 20) << name;
    }
}
