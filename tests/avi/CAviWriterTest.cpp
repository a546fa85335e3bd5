#include "util/avi/CAviParser2.h"
#include "util/avi/CAviWriter.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

using tachy::test::TempFolder;

namespace {

const std::string kKey = std::string("\0\0\0\1\x65" "key", 8);
const std::string kDelta = std::string("\0\0\0\1\x41" "delta", 10);

} // namespace

TEST(CAviWriter, RefusesANonKeyFirstFrameAndUnknownTypes) {
    const TempFolder folder;
    CAviWriter writer;
    EXPECT_EQ(writer.OpenVideoStream(5, 30, 64, 48, 0, 0), 0);  // no file yet
    ASSERT_EQ(writer.Open((folder.path() / "a.avi").string()), 1);
    EXPECT_EQ(writer.OpenVideoStream(8, 30, 64, 48, 0, 0), 0);
    ASSERT_EQ(writer.OpenVideoStream(5, 30, 64, 48, 0, 0), 1);
    EXPECT_EQ(writer.OpenVideoStream(5, 30, 64, 48, 0, 0), 0);  // only one video stream
    EXPECT_EQ(writer.GetWidth(), 64);
    EXPECT_EQ(writer.WriteVideo(kDelta.data(), 10, 0), 0);
    EXPECT_EQ(writer.WriteVideo(kKey.data(), 8, 1), 1);
    EXPECT_EQ(writer.WriteVideo(kDelta.data(), 10, 0), 1);
    ASSERT_EQ(writer.Close(), 1);
    EXPECT_EQ(writer.IsOpen(), 0);

    auto parser = IAVIParser::Create(1);
    ASSERT_EQ(parser->OpenStream((folder.path() / "a.avi").string(), 0), 1);
    EXPECT_EQ(parser->GetVideoLength(), 2);
}

TEST(CAviWriter, SkippedSamplesStayEmptyAndRecordsFollowTheVideoNumber) {
    const TempFolder folder;
    const std::string path = (folder.path() / "b.avi").string();
    CAviWriter writer;
    ASSERT_EQ(writer.Open(path), 1);
    ASSERT_EQ(writer.OpenVideoStream(5, 30, 64, 48, 0, 0), 1);
    ASSERT_EQ(writer.OpenUserStream(30, 72, "fmt", 3), 1);  // an odd format size is padded
    ASSERT_EQ(writer.WriteVideo(kKey.data(), 8, 1), 1);      // sample 0
    ASSERT_EQ(writer.WriteUserData("after frame 0", 13, 0), 1);  // filed under sample 1
    writer.IncSampleCount(3);
    ASSERT_EQ(writer.WriteVideo(kDelta.data(), 10, 0), 1);   // sample 3: 1 and 2 stay empty
    ASSERT_EQ(writer.Close(), 1);

    auto parser = IAVIParser::Create(1);
    ASSERT_EQ(parser->OpenStream(path, 0), 1);
    ASSERT_EQ(parser->OpenVideoStream(0), 1);
    EXPECT_EQ(parser->GetVideoLength(), 4);
    tachy::avi::BitmapInfoHeader bih{};
    parser->SetStreamPosVideo(1);
    ASSERT_EQ(parser->GetVideoHeader(&bih, nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(bih.biSizeImage, 0U);
    parser->SetStreamPosVideo(3);
    ASSERT_EQ(parser->GetVideoHeader(&bih, nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(bih.biSizeImage, 10U);
    ASSERT_EQ(parser->OpenUserStream(), 1);
    std::uint32_t size = 0;
    EXPECT_EQ(parser->ReadUserData(1, &size), parser->GetUserData());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(parser->GetUserData()), size), "after frame 0");
    ASSERT_NE(parser->ReadUserData(0, &size), nullptr);
    EXPECT_EQ(size, 0U);  // sample 0 of the records was left empty
}

TEST(CAviWriter, CallerNumberingPlacesFramesWhereTheCallerSays) {
    const TempFolder folder;
    const std::string path = (folder.path() / "c.avi").string();
    CAviWriter writer;
    ASSERT_EQ(writer.Open(path), 1);
    ASSERT_EQ(writer.OpenVideoStream(5, 15, 32, 32, 0, 1), 1);
    ASSERT_EQ(writer.WriteVideo(kKey.data(), 8, 1), 1);
    writer.IncSampleCount(5);
    ASSERT_EQ(writer.WriteVideo(kDelta.data(), 10, 0), 1);
    ASSERT_EQ(writer.Close(), 1);
    auto parser = IAVIParser::Create(1);
    _TAG_STREAM_INFO info{};
    ASSERT_EQ(parser->GetStreamInfo(path, &info, 0), 1);
    EXPECT_EQ(info.dwVideoLength, 6U);
    EXPECT_EQ(info.dwVideoRate, 15000U);
    EXPECT_EQ(info.llVideoDuration, 400);
}

TEST(CAviWriter, OperationsWithoutAFileAnswerZero) {
    CAviWriter writer;
    EXPECT_EQ(writer.WriteVideo(kKey.data(), 8, 1), 0);
    EXPECT_EQ(writer.WriteAudio("x", 1), 0);
    EXPECT_EQ(writer.WriteUserData("x", 1, 0), 0);
    EXPECT_EQ(writer.OpenAudioStream(0, 16, 16000, 1, 3200), 0);
    EXPECT_EQ(writer.Close(), 0);
    EXPECT_EQ(writer.Open("/no/such/folder/x.avi"), 0);
    writer.SetExtraInfo(7);
    EXPECT_EQ(writer.GetExtraInfo(), 7);
}
