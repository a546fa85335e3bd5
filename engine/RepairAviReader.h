#pragma once
// The reader that repairs a recording left incomplete by a power cut: it opens the file for
// update, keeps the index when its first entry points at a real chunk, otherwise rebuilds it
// by walking the movie data (key frames from the SPS, start and end times from the driving-data
// preambles), and on close writes the corrected stream lengths and a new "idx1".

#include "platform/avi/AviStructures.h"
#include "platform/fs/UniqueFd.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

class RepairAviReader {
public:
    enum Error {
        kNoError = 0, kSizeLimit, kOpen, kRead, kWrite, kWriteIndex, kClose, kNotPermitted,
        kNoMemory, kNotAvi, kNoHeaderList, kNoMovi, kNoVideo, kNeedsIndex
    };

    static const char* Message(int error);

    // Opens and reads the file; kNoError or the error code. `lastErrno` keeps the system's
    // reason for the codes that have one.
    int Open(const std::filesystem::path& path);
    // Writes the stream lengths, the movie-list size and the index; kNoError or a code.
    int Close();

    // True when the file carried a valid index (the recorder finished it).
    bool Complete() const { return m_complete; }
    // UTC milliseconds of the first and last driving-data record, -1 when there was none.
    std::int64_t StartMs() const { return m_startMs; }
    std::int64_t EndMs() const { return m_endMs; }
    const std::vector<tachy::avi::IndexEntry>& Index() const { return m_index; }
    int LastErrno() const { return m_errno; }

private:
    struct Stream {
        tachy::avi::FourCC type = 0;
        tachy::avi::FourCC chunkId = 0;
        std::uint64_t headerOffset = 0;  // of the strh body
        std::uint32_t sampleSize = 0;
    };

    bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size);
    bool WriteAt(std::uint64_t offset, const void* buffer, std::size_t size);
    int ReadHeaderList(std::uint64_t body, std::uint64_t end);
    bool IndexIsValid();
    void RebuildIndex();
    bool IsKeyFrame(std::uint64_t payload, std::uint32_t size);
    const Stream* StreamFor(tachy::avi::FourCC id) const;

    tachy::fs::UniqueFd m_file;
    std::uint64_t m_size = 0;
    std::uint64_t m_mainHeader = 0;    // offset of the avih body
    std::uint64_t m_moviFourCC = 0;
    std::uint64_t m_moviEnd = 0;       // where the movie data really ends
    std::vector<Stream> m_streams;
    std::vector<tachy::avi::IndexEntry> m_index;  // offsets from the file start
    bool m_complete = false;
    std::int64_t m_startMs = -1;
    std::int64_t m_endMs = -1;
    int m_errno = 0;
};
