#include "tests/avi/OdmlFixture.h"

#include "platform/avi/AviStructures.h"
#include "tests/avi/ClipFixture.h"

#include <fstream>
#include <string>
#include <vector>

namespace tachy::test {

namespace {

namespace avi = tachy::avi;

constexpr int kSuperIndexSlots = 4;
constexpr std::uint32_t kDeltaFrame = 0x80000000U;

// A byte buffer with chunks whose sizes are filled in when they are closed.
class RiffBuffer {
public:
    void put32(std::uint32_t value) { m_bytes.append(reinterpret_cast<const char*>(&value), 4); }
    void put16(std::uint16_t value) { m_bytes.append(reinterpret_cast<const char*>(&value), 2); }
    void put64(std::uint64_t value) { m_bytes.append(reinterpret_cast<const char*>(&value), 8); }
    void put8(std::uint8_t value) { m_bytes.push_back(static_cast<char>(value)); }
    void putText(const char* fourCC) { m_bytes.append(fourCC, 4); }
    void putBytes(const std::string& bytes) { m_bytes += bytes; }
    void open(const char* id, const char* listType = nullptr) {
        putText(id);
        m_open.push_back(m_bytes.size());
        put32(0);
        if (listType != nullptr) {
            putText(listType);
        }
    }
    void close() {
        const std::size_t at = m_open.back();
        m_open.pop_back();
        const auto size = static_cast<std::uint32_t>(m_bytes.size() - at - 4);
        std::memcpy(m_bytes.data() + at, &size, 4);
        if ((size & 1U) != 0) {
            put8(0);
        }
    }
    std::size_t size() const { return m_bytes.size(); }
    void patch32(std::size_t at, std::uint32_t value) { std::memcpy(m_bytes.data() + at, &value, 4); }
    void patch64(std::size_t at, std::uint64_t value) { std::memcpy(m_bytes.data() + at, &value, 8); }
    const std::string& bytes() const { return m_bytes; }

private:
    std::string m_bytes;
    std::vector<std::size_t> m_open;
};

struct Chunk {
    std::size_t payload;  // file offset of the payload
    std::uint32_t size;
    bool key;
};

struct StreamPlan {
    const char* chunkId;
    const char* indexId;
    std::size_t superIndexEntries = 0;  // file offset of the super-index's first entry
    std::vector<Chunk> parts[2];
};

void writeStreamList(RiffBuffer& riff, StreamPlan& plan, const avi::AviStreamHeader& header,
                     const std::string& format) {
    riff.open("LIST", "strl");
    riff.open("strh");
    riff.putBytes(std::string(reinterpret_cast<const char*>(&header), sizeof header));
    riff.close();
    riff.open("strf");
    riff.putBytes(format);
    riff.close();
    riff.open("indx");
    riff.put16(4);  // longs per entry
    riff.put8(0);   // sub-type
    riff.put8(0);   // an index of indexes
    riff.put32(2);  // entries in use: one per part
    riff.putText(plan.chunkId);
    riff.put32(0);
    riff.put32(0);
    riff.put32(0);
    plan.superIndexEntries = riff.size();
    for (int slot = 0; slot < kSuperIndexSlots; ++slot) {
        riff.put64(0);
        riff.put32(0);
        riff.put32(0);
    }
    riff.close();
    riff.close();
}

// A standard index of the chunks of one part, and its super-index entry.
void writeStandardIndex(RiffBuffer& riff, StreamPlan& plan, int part) {
    const std::vector<Chunk>& chunks = plan.parts[part];
    const std::size_t start = riff.size();
    riff.open(plan.indexId);
    riff.put16(2);
    riff.put8(0);
    riff.put8(1);  // an index of chunks
    riff.put32(static_cast<std::uint32_t>(chunks.size()));
    riff.putText(plan.chunkId);
    const std::uint64_t base = chunks.front().payload - 8;
    riff.put64(base);
    riff.put32(0);
    for (const Chunk& chunk : chunks) {
        riff.put32(static_cast<std::uint32_t>(chunk.payload - base));
        riff.put32(chunk.size | (chunk.key ? 0 : kDeltaFrame));
    }
    riff.close();
    const std::size_t entry = plan.superIndexEntries + 16 * static_cast<std::size_t>(part);
    riff.patch64(entry, start);
    riff.patch32(entry + 8, static_cast<std::uint32_t>(riff.size() - start));
    riff.patch32(entry + 12, static_cast<std::uint32_t>(chunks.size()));
}

void writeMovie(RiffBuffer& riff, StreamPlan& video, StreamPlan& audio, int part, int from, int count,
                int keyInterval) {
    riff.open("LIST", "movi");
    for (int n = from; n < from + count; ++n) {
        const ClipFrame frame = clipFrame(n, keyInterval);
        riff.open(video.chunkId);
        video.parts[part].push_back({riff.size(), static_cast<std::uint32_t>(frame.bytes.size()), frame.key});
        riff.putBytes(frame.bytes);
        riff.close();
        if (n % 3 == 0) {
            const std::string sound = audioChunk(n / 3);
            riff.open(audio.chunkId);
            audio.parts[part].push_back({riff.size(), static_cast<std::uint32_t>(sound.size()), true});
            riff.putBytes(sound);
            riff.close();
        }
    }
    writeStandardIndex(riff, video, part);
    writeStandardIndex(riff, audio, part);
    riff.close();
}

} // namespace

bool writeOdmlClip(const std::filesystem::path& path, const OdmlOptions& options) {
    const int total = options.firstPartFrames + options.secondPartFrames;
    StreamPlan video{"00dc", "ix00"};
    StreamPlan audio{"01wb", "ix01"};
    RiffBuffer riff;
    riff.open("RIFF", "AVI ");
    riff.open("LIST", "hdrl");
    avi::MainAviHeader main{};
    main.dwMicroSecPerFrame = 33333;
    main.dwFlags = avi::kAviHasIndex;
    main.dwTotalFrames = static_cast<std::uint32_t>(options.firstPartFrames);
    main.dwStreams = 2;
    main.dwWidth = 64;
    main.dwHeight = 48;
    riff.open("avih");
    riff.putBytes(std::string(reinterpret_cast<const char*>(&main), sizeof main));
    riff.close();

    avi::AviStreamHeader videoHeader{};
    videoHeader.fccType = avi::kVids;
    videoHeader.fccHandler = avi::fourCC("H264");
    videoHeader.dwScale = 1000;
    videoHeader.dwRate = 30000;
    videoHeader.dwLength = static_cast<std::uint32_t>(total);
    avi::BitmapInfoHeader bitmap{};
    bitmap.biSize = sizeof bitmap;
    bitmap.biWidth = 64;
    bitmap.biHeight = 48;
    bitmap.biPlanes = 1;
    bitmap.biBitCount = 24;
    bitmap.biCompression = avi::fourCC("H264");
    writeStreamList(riff, video, videoHeader, std::string(reinterpret_cast<const char*>(&bitmap), sizeof bitmap));

    avi::AviStreamHeader audioHeader{};
    audioHeader.fccType = avi::kAuds;
    audioHeader.dwScale = 1;
    audioHeader.dwRate = 8000;
    audioHeader.dwSampleSize = 1;
    avi::WaveFormatEx wave{};
    wave.wFormatTag = 7;
    wave.nChannels = 1;
    wave.nSamplesPerSec = 8000;
    wave.nAvgBytesPerSec = 8000;
    wave.nBlockAlign = 1;
    wave.wBitsPerSample = 8;
    writeStreamList(riff, audio, audioHeader, std::string(reinterpret_cast<const char*>(&wave), sizeof wave));
    riff.open("LIST", "odml");
    riff.open("dmlh");
    riff.put32(static_cast<std::uint32_t>(total));
    riff.close();
    riff.close();
    riff.close();  // hdrl

    const std::size_t movie = riff.size() + 8;  // the "movi" FOURCC
    writeMovie(riff, video, audio, 0, 0, options.firstPartFrames, options.keyInterval);
    riff.open("idx1");
    for (const StreamPlan* plan : {&video, &audio}) {
        for (const Chunk& chunk : plan->parts[0]) {
            riff.putText(plan->chunkId);
            riff.put32(chunk.key ? avi::kIndexKeyFrame : 0);
            riff.put32(static_cast<std::uint32_t>(chunk.payload - 8 - movie));
            riff.put32(chunk.size);
        }
    }
    riff.close();
    riff.close();  // RIFF AVI

    riff.open("RIFF", "AVIX");
    writeMovie(riff, video, audio, 1, options.firstPartFrames, options.secondPartFrames, options.keyInterval);
    riff.close();

    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << riff.bytes();
    return static_cast<bool>(out);
}

} // namespace tachy::test
