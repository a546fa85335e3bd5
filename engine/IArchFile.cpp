#include "engine/IArchFile.h"

IArchFile::~IArchFile() = default;

int IArchFile::BuildKeyIndexUntil(int, int, std::int64_t) { return 0; }
int IArchFile::BuildKeyIndex(int) { return 0; }
int IArchFile::BuildKeyIndex() { return 0; }
int IArchFile::FindKeyByPosition(int, int, int) { return 0; }
void IArchFile::ClearKeyIndex() {}
int IArchFile::GetKeyEntry(int, _KEY_ENTRY*) { return 0; }
int IArchFile::FindKeyBySecond(std::int64_t, int) { return 0; }
int IArchFile::GetKeyCount() { return 0; }
int IArchFile::GetVideoLength(std::int64_t) { return 0; }
int IArchFile::Open(const std::string&, int) { return 0; }
void IArchFile::Close() {}
const _FRAME_DESC* IArchFile::ReadVideoFrame() { return nullptr; }
const std::uint8_t* IArchFile::ReadVideoData(std::uint32_t) { return nullptr; }
std::uint32_t IArchFile::VideoFrameBytes() { return 0; }
std::uint32_t IArchFile::AudioBlockBytes() { return 0; }
int IArchFile::Seek(std::int64_t) { return 0; }
int IArchFile::GetAudioFormat() { return 0; }
int IArchFile::GetAudioFrequency() { return 0; }
int IArchFile::GetAudioBitPerSample() { return 0; }
int IArchFile::OpenAudio(const std::string&) { return 0; }
const _FRAME_DESC* IArchFile::ReadAudioFrame() { return nullptr; }
const std::uint8_t* IArchFile::ReadAudioData(std::uint32_t) { return nullptr; }
int IArchFile::SyncAudio(int) { return 0; }
int IArchFile::GetFileInfo(const std::string&, _FILE_INFO*, _FILE_INFO*, int*, int*) { return 0; }
void IArchFile::CloseFile() {}
int IArchFile::IsOpen() { return 0; }
void IArchFile::SetNameFormat(const _AVI_NAME_FORMAT2&) {}
int IArchFile::ParseChannel(const std::string&, int*) { return 0; }
int IArchFile::GetUserDataCount(std::int64_t) { return 0; }
const std::uint8_t* IArchFile::ReadUserData(int, std::uint32_t*) { return nullptr; }
std::uint64_t IArchFile::GetDuration(const std::string&) { return 0; }

int ResolutionCode(int width, int height) {
    if (width <= 360 && height <= 288) {
        return 4;
    }
    if (width <= 720 && height <= 288) {
        return 3;
    }
    if (width <= 640 && height <= 480) {
        return 6;
    }
    if (width <= 720 && height <= 576) {
        return 2;
    }
    if (width <= 800 && height <= 480) {
        return 5;
    }
    if (width <= 1280 && height <= 720) {
        return 1;
    }
    return 0;
}
