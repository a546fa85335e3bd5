#include "audio/sound/SoundBlockFeed.h"

#include "audio/sound/ISoundEx.h"
#include "platform/avi/AviStructures.h"

namespace {

constexpr int kCompareValue = 256;
constexpr int kThresholdMs = 500;

} // namespace

int FeedSoundBlock(ISoundEx& output, const SoundBlockFormat& block, const unsigned char* samples, int length,
                   int startFlag) {
    tachy::avi::WaveFormatEx format{};
    format.wFormatTag = static_cast<std::uint16_t>(block.formatTag);
    format.nChannels = 1;
    format.nSamplesPerSec = static_cast<std::uint32_t>(block.sampleRate);
    format.wBitsPerSample = static_cast<std::uint16_t>(block.bitsPerSample);
    format.nBlockAlign = static_cast<std::uint16_t>(block.bitsPerSample / 8);
    format.nAvgBytesPerSec = static_cast<std::uint32_t>(block.sampleRate * block.bitsPerSample / 8);
    if (output.IsCreateDSBuffer() != 0 && output.CompareFormat(&format, 1, kCompareValue) == 0) {
        return output.SetAudioBuffer(samples, length, 1);
    }
    if (output.IsCreateDSBuffer() != 0) {
        output.PlayStop();
        output.DeleteDSBuffer();
    }
    if (output.CreateDSBuffer(&format, 1, kThresholdMs) == 0) {
        return -1;
    }
    return output.SetAudioBuffer(samples, length, startFlag);
}
