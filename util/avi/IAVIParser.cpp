#include "util/avi/IAVIParser.h"

#include "util/avi/CAviParser.h"
#include "util/avi/CAviParser2.h"

std::unique_ptr<IAVIParser> IAVIParser::Create(unsigned type) {
    switch (type) {
    case kSystemReader:
        return std::make_unique<CAviParser>();
    case kRiffReader:
        return std::make_unique<CAviParser2>();
    default:
        return nullptr;
    }
}

IAVIParser::~IAVIParser() = default;

int IAVIParser::GetStreamInfo(const std::string&, _TAG_STREAM_INFO*, int) { return 0; }
int IAVIParser::isOpen() { return 0; }
int IAVIParser::isVideoOpen() { return 0; }
int IAVIParser::isAudioOpen() { return 0; }
int IAVIParser::OpenStream(const std::string&, int) { return 0; }
int IAVIParser::OpenVideoStream(int) { return 0; }
int IAVIParser::OpenAudioStream() { return 0; }
void IAVIParser::CloseStream() {}
void IAVIParser::CloseVideoStream() {}
void IAVIParser::CloseAudioStream() {}
int IAVIParser::FindVideoStream(int, int, int, std::int64_t*) { return -1; }
int IAVIParser::GetVideoStartPos() { return -1; }
void IAVIParser::SetStreamPosVideo(int) {}
void IAVIParser::SetStreamPosAudio(int) {}
int IAVIParser::GetStreamPosVideoToAudio(int) { return -1; }
int IAVIParser::GetVideoHeader(tachy::avi::BitmapInfoHeader*, std::int64_t*, int*, int*) { return 0; }
std::uint8_t* IAVIParser::GetVideoStream(std::uint32_t) { return nullptr; }
int IAVIParser::GetAudioHeader(tachy::avi::WaveFormatEx*, std::int64_t*, std::uint32_t*) { return 0; }
std::uint8_t* IAVIParser::GetAudioStream(std::uint32_t) { return nullptr; }
int IAVIParser::isUserOpen() { return 0; }
int IAVIParser::OpenUserStream() { return 0; }
void IAVIParser::CloseUserStream() {}
std::uint8_t* IAVIParser::GetUserFormat(std::uint32_t* size) {
    if (size != nullptr) {
        *size = 0;
    }
    return nullptr;
}
std::uint8_t* IAVIParser::GetUserData() { return nullptr; }
std::uint8_t* IAVIParser::ReadUserData(int, std::uint32_t*) { return nullptr; }
int IAVIParser::GetVideoLength(std::int64_t) { return -1; }
int IAVIParser::GetVideoLength() { return -1; }
int IAVIParser::GetAudioFormat() { return -1; }
int IAVIParser::GetAudioFrequency() { return -1; }
int IAVIParser::GetAudioBitPerSample() { return -1; }
int IAVIParser::GetTotalUserDataCount(std::int64_t) { return -1; }
std::uint64_t IAVIParser::GetDuration(const std::string&) { return 0; }
