#pragma once
// The reader that repairs a recording left incomplete by a power cut: it opens the file for
// update, keeps the index when its first entry points at a real chunk, otherwise rebuilds it
// by walking the movie data (key frames from the H.264 or HEVC NAL units, start and end times
// from the driving-data preambles), and on close writes the corrected stream lengths and, for
// a rebuilt index, a new "idx1". It never removes bytes it could not account for: what lies
// after the point where the walk stopped stays in the file, and the index goes after it.

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
    // Bytes after the last chunk the rebuild walk could account for (from an unknown chunk or
    // a record without its marker to the end); they are kept as they are. A last chunk that
    // the power cut left unfinished is accounted for: the new index takes its place.
    std::uint64_t UnaccountedBytes() const { return m_unaccounted; }

private:
    struct Stream {
        tachy::avi::FourCC type = 0;
        tachy::avi::FourCC chunkId = 0;
        std::uint64_t headerOffset = 0;  // of the strh body
        std::uint32_t sampleSize = 0;
        bool hevc = false;  // video whose frames are HEVC rather than H.264
    };

    bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size);
    bool WriteAt(std::uint64_t offset, const void* buffer, std::size_t size);
    int ReadHeaderList(std::uint64_t body, std::uint64_t end);
    int ReadStreamList(std::uint64_t body, std::uint64_t end, int ordinal);
    bool IndexIsValid();
    void RebuildIndex();
    bool IsKeyFrame(std::uint64_t payload, std::uint32_t size, bool hevc);
    bool WriteLengths();
    int WriteRebuiltIndex();
    const Stream* StreamFor(tachy::avi::FourCC id) const;

    tachy::fs::UniqueFd m_file;
    std::uint64_t m_size = 0;
    std::uint64_t m_mainHeader = 0;    // offset of the avih body
    std::uint64_t m_moviFourCC = 0;
    std::uint64_t m_moviEnd = 0;       // where the movie data really ends
    bool m_oldIndexAtEnd = false;      // an old "idx1" starts at m_moviEnd and runs to the file end
    bool m_cutShort = false;           // the chunk at m_moviEnd runs past the file end
    std::uint64_t m_unaccounted = 0;
    std::vector<Stream> m_streams;
    std::vector<tachy::avi::IndexEntry> m_index;  // offsets from the file start
    bool m_complete = false;
    std::int64_t m_startMs = -1;
    std::int64_t m_endMs = -1;
    int m_errno = 0;
};
