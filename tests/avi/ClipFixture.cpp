#include "tests/avi/ClipFixture.h"

#include "tests/support/TempFolder.h"

#include <cstring>
#include <fstream>

namespace tachy::test {

std::string sps() { return std::string("\0\0\0\1\x67\x42\xC0\x1E\xDA\x02\x80", 11); }
std::string pps() { return std::string("\0\0\0\1\x68\xCE\x3C\x80", 8); }

ClipFrame clipFrame(int n, int keyInterval) {
    ClipFrame frame;
    frame.key = n % keyInterval == 0;
    if (n == 0) {
        frame.bytes = sps() + pps();
    }
    frame.bytes += std::string("\0\0\0\1", 4) + (frame.key ? '\x65' : '\x41');
    // Sizes vary and are often odd, as real frames are.
    const std::size_t payload = 40 + static_cast<std::size_t>((n * 37) % 101);
    for (std::size_t i = 0; i < payload; ++i) {
        frame.bytes.push_back(static_cast<char>(0x80 | ((n + i) & 0x7F)));
    }
    return frame;
}

std::string drivingRecord(int n) {
    std::string record(72, '\0');
    const std::int32_t marker = 511;
    std::memcpy(record.data(), &marker, 4);
    const std::uint32_t second = 1709211909 + static_cast<std::uint32_t>(n / 30);
    std::memcpy(record.data() + 12, &second, 4);
    const float speed = static_cast<float>(n);
    std::memcpy(record.data() + 56, &speed, 4);
    return record;
}

std::string audioChunk(int n) {
    return std::string(800, static_cast<char>(0x7F - n % 32));  // 100 ms of 8 kHz mu-law
}

bool writeClip(const std::filesystem::path& path, const ClipOptions& options) {
    const std::filesystem::path target =
        options.preamble == 0 ? path : std::filesystem::path(path.string() + ".body");
    CAviWriter writer;
    if (writer.Open(target.string()) == 0 || writer.OpenVideoStream(5, 30.0, 64, 48, 0, 0) == 0) {
        return false;
    }
    if (options.audio && writer.OpenAudioStream(1, 8, 8000, 1, 800) == 0) {
        return false;
    }
    const char format[4] = {'T', 'X', 'T', '1'};
    if (options.userData && writer.OpenUserStream(30.0, 72, format, 4) == 0) {
        return false;
    }
    writer.Writer()->setWriteIndex(options.index);
    if (options.absoluteIndex) {
        writer.Writer()->setIndexOffsets(AviFileWriter::IndexOffsets::Absolute);
    }
    for (int n = 0; n < options.frames; ++n) {
        const ClipFrame frame = clipFrame(n, options.keyInterval);
        if (options.userData) {
            const std::string record = drivingRecord(n);
            if (writer.WriteUserData(record.data(), static_cast<int>(record.size()), 0) == 0) {
                return false;
            }
        }
        if (writer.WriteVideo(frame.bytes.data(), static_cast<int>(frame.bytes.size()), frame.key ? 1 : 0) == 0) {
            return false;
        }
        if (options.audio && n % 3 == 0) {
            const std::string chunk = audioChunk(n / 3);
            if (writer.WriteAudio(chunk.data(), static_cast<int>(chunk.size())) == 0) {
                return false;
            }
        }
    }
    if (writer.Close() == 0) {
        return false;
    }
    if (options.preamble > 0) {
        const std::string body = readAll(target);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << std::string(options.preamble, '\xA5') << body;
        std::filesystem::remove(target);
    }
    return true;
}

} // namespace tachy::test
