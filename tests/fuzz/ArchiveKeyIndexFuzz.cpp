// Reads arbitrary bytes as a recording through the engine's archive reader: opens it under a
// name of naming rule A, builds the key-frame index from the file's index (whole and up to a
// second), searches it by position and by second, reads the file figures of the card walk and
// walks every video frame and audio block. Traps when the index breaks its order or a search
// answers outside it.

#include "engine/CArchiveAvi.h"
#include "util/naming/AviNameFormat.h"

#include "tests/fuzz/FuzzScratch.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

void require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

std::string scratchPath() {
    return tachy::fuzz::scratchFile("TCY_0012_20240229_130509_N_1.avi");
}

const _AVI_NAME_FORMAT2& ruleA() {
    static const _AVI_NAME_FORMAT2 format =
        naming::ReadNameFormat(std::string(TACHY_DATA_DIR) + "/_option/FileNameRule_A.ini", 2);
    return format;
}

void checkIndex(CArchiveAvi& archive) {
    const int count = archive.GetKeyCount();
    std::int64_t previous = -1;
    _KEY_ENTRY entry{};
    for (int index = 0; index < count; ++index) {
        require(archive.GetKeyEntry(index, &entry) == index);
        require(entry.llPosition > previous);
        previous = entry.llPosition;
    }
    require(archive.GetKeyEntry(count, &entry) == -1);
    const std::int64_t probes[] = {-1, 0, 1, previous, previous + 1, previous / 2, 0x7FFFFFFF};
    for (const std::int64_t probe : probes) {
        for (int forward = 0; forward < 2; ++forward) {
            for (int step = 0; step < 2; ++step) {
                const int found = archive.FindKeyByPosition(static_cast<int>(probe), forward, step);
                require(count == 0 ? found == -1 : found >= 0 && found < count);
            }
        }
        const int bySecond = archive.FindKeyBySecond(probe, 0);
        require(count == 0 ? bySecond == -1 : bySecond >= 0 && bySecond < count);
    }
}

void walkFrames(CArchiveAvi& archive) {
    archive.Seek(0);
    for (int frame = 0; frame < 100000; ++frame) {
        const _FRAME_DESC* descriptor = archive.ReadVideoFrame();
        if (descriptor == nullptr) {
            break;
        }
        const std::uint32_t bytes = archive.VideoFrameBytes();
        const std::uint8_t* data = archive.ReadVideoData(bytes);
        if (data != nullptr && bytes > 0) {
            volatile std::uint8_t edge = data[0] ^ data[bytes - 1];
            (void)edge;
        }
    }
}

void walkAudio(CArchiveAvi& archive, const std::string& path) {
    if (archive.OpenAudio(path) != 1) {
        return;
    }
    archive.GetAudioFormat();
    archive.GetAudioFrequency();
    archive.GetAudioBitPerSample();
    archive.SyncAudio(0);
    for (int block = 0; block < 100000; ++block) {
        if (archive.ReadAudioFrame() == nullptr) {
            break;
        }
        const std::uint32_t bytes = archive.AudioBlockBytes();
        const std::uint8_t* data = archive.ReadAudioData(bytes);
        if (data != nullptr && bytes > 0) {
            volatile std::uint8_t edge = data[0] ^ data[bytes - 1];
            (void)edge;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = scratchPath();
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return 0;
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    // One reader for every input, as the engine keeps one per channel from file to file; its
    // parser's buffers are allocated once.
    static CArchiveAvi archive;
    archive.ClearKeyIndex();
    archive.SetNameFormat(ruleA());
    std::array<_FILE_INFO, 3> start{};
    std::array<_FILE_INFO, 3> end{};
    int modeBits = 0;
    int channels = 0;
    archive.GetFileInfo(path, start.data(), end.data(), &modeBits, &channels);
    if (archive.Open(path, 0) == 1) {
        archive.BuildKeyIndex();
        checkIndex(archive);
        archive.ClearKeyIndex();
        require(archive.GetKeyCount() == 0);
        const std::int64_t base = archive.TimeBase() / 1000;
        archive.BuildKeyIndexUntil(0, 0, base + (size % 61));
        checkIndex(archive);
        archive.GetVideoLength(60000);
        archive.GetUserDataCount(60000);
        std::uint32_t length = 0;
        for (int index = 0; archive.ReadUserData(index, &length) != nullptr && index < 4096;
             ++index) {
        }
        walkFrames(archive);
        walkAudio(archive, path);
    }
    archive.CloseFile();
    std::remove(path.c_str());
    return 0;
}
