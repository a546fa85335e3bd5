#include "viewer/exports/SnapshotWriter.h"
#include "viewer/exports/SnapshotNames.h"
#include "viewer/exports/SnapshotPictureSet.h"

#include "skinres/CExLangManager.h"
#include "tests/viewer/exports/SnapshotFakeEngine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using viewer::exports::SnapshotPictureSet;
using viewer::exports::SnapshotWriter;

class SnapshotWriterTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_folder.isValid());
        m_language.LoadTextInfo(QStringLiteral(TACHY_DATA_DIR "/lang/ENG/lang_eng.ini"));
        ASSERT_GT(m_language.GetTextCount(), 0u);
    }

    QString Path(const QString& camera) const {
        return m_folder.filePath(QStringLiteral("20240102_030405_006_") + camera +
                                 QStringLiteral(".jpg"));
    }

    int Save(SnapshotWriter& writer) {
        return writer.Save(SnapshotPictureSet::FromEngine(m_engine));
    }

    QTemporaryDir m_folder;
    CExLangManager m_language;
    tachy::test::SnapshotFakeEngine m_engine;
};

// JPEG changes colours a little; flat areas stay within a few steps.
void ExpectNear(QRgb actual, QRgb expected, const char* what) {
    EXPECT_NEAR(qRed(actual), qRed(expected), 6) << what;
    EXPECT_NEAR(qGreen(actual), qGreen(expected), 6) << what;
    EXPECT_NEAR(qBlue(actual), qBlue(expected), 6) << what;
}

QImage Decode(const QString& path) {
    QImageReader reader(path);
    EXPECT_EQ(reader.format(), QByteArray("jpeg")) << path.toStdString();
    return reader.read();
}

TEST_F(SnapshotWriterTest, EveryChannelWithAPictureBecomesAJpegOfItsSizeAndColours) {
    ASSERT_TRUE(SnapshotWriter::CanWriteJpeg());
    m_engine.ShowYuv(0, 320, 180, 81, 90, 240); // red
    m_engine.ShowBgra(1, 160, 90, 0x00204080);  // a darker blue
    m_engine.ShowYuv(2, 176, 144, 145, 54, 34); // green
    SnapshotWriter writer(m_folder.path(), QStringLiteral("20240102_030405_006"), m_language);
    ASSERT_EQ(Save(writer), 3);
    EXPECT_TRUE(writer.Failed().isEmpty());

    const QImage front = Decode(Path(QStringLiteral("front")));
    const QImage rear = Decode(Path(QStringLiteral("rear")));
    const QImage interior = Decode(Path(QStringLiteral("interior")));
    EXPECT_EQ(front.size(), QSize(320, 180));
    EXPECT_EQ(rear.size(), QSize(160, 90));
    EXPECT_EQ(interior.size(), QSize(176, 144));
    ExpectNear(front.pixel(160, 90), qRgb(234, 15, 15), "front");
    ExpectNear(rear.pixel(80, 45), qRgb(0x20, 0x40, 0x80), "rear");
    ExpectNear(interior.pixel(88, 72), qRgb(16, 235, 16), "interior");
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::Files).size(), 3);
}

TEST_F(SnapshotWriterTest, OnlyChannelZeroWritesOneFileNamedForOneCamera) {
    m_engine.ShowYuv(0, 64, 48, 100, 128, 128);
    SnapshotWriter writer(m_folder.path(), QStringLiteral("20240102_030405_006"), m_language);
    ASSERT_EQ(Save(writer), 1);
    const QString expected = viewer::exports::SnapshotNames::FilePath(
        m_folder.path(), QStringLiteral("20240102_030405_006"),
        m_language.GetText(QStringLiteral("common camera0_1")));
    EXPECT_EQ(writer.Written(), QStringList{expected});
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::Files),
              QStringList{QFileInfo(expected).fileName()});
}

TEST_F(SnapshotWriterTest, AChannelWithoutAPictureIsSkippedAndTheOthersKeepTheirCount) {
    m_engine.ShowYuv(0, 64, 48, 100, 128, 128);
    m_engine.ShowYuv(2, 64, 48, 100, 128, 128);
    SnapshotWriter writer(m_folder.path(), QStringLiteral("20240102_030405_006"), m_language);
    ASSERT_EQ(Save(writer), 2);
    EXPECT_TRUE(QFileInfo::exists(Path(QStringLiteral("front"))));
    EXPECT_TRUE(QFileInfo::exists(Path(QStringLiteral("interior"))));
    EXPECT_FALSE(QFileInfo::exists(Path(QStringLiteral("rear"))));
}

TEST_F(SnapshotWriterTest, NothingToSaveWritesNothing) {
    SnapshotWriter writer(m_folder.path(), QStringLiteral("20240102_030405_006"), m_language);
    EXPECT_EQ(Save(writer), 0);
    EXPECT_TRUE(QDir(m_folder.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(SnapshotWriterTest, AFolderThatCannotBeWrittenCountsNoFile) {
    m_engine.ShowYuv(0, 64, 48, 100, 128, 128);
    SnapshotWriter writer(m_folder.filePath(QStringLiteral("missing")),
                          QStringLiteral("20240102_030405_006"), m_language);
    EXPECT_EQ(Save(writer), 0);
    EXPECT_EQ(writer.Failed().size(), 1);
}

} // namespace
