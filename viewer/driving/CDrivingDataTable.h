#pragma once
// The viewer's driving-data table: the current list entry's driving data in the viewer's
// 512-byte form, and what each channel-0 frame record (code 133) means for the playback
// controls, the G-sensor graph, the map and the OBD page.
//
// Not thread-safe: the owner calls it from one thread at a time. The engine's records need to
// live only for the duration of AdoptEntry / SetEntry; the table keeps converted copies.

#include "engine/EngineRecords.h"
#include "viewer/driving/DrivingDataRecord.h"
#include "viewer/driving/FrameReservedArea.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace viewer::driving {

// Where the map goes: the record's NMEA values / 100 and its speed in knots.
struct MapPosition {
    float latitude = 0;
    float longitude = 0;
    float speedKnots = 0;
};

// What one frame record means for the windows that show driving data.
struct FrameDrivingValues {
    bool hasRecord = false;         // false when the entry has no driving data to show
    int recordIndex = -1;           // the record shown, for the OBD page
    FrameDrivingFields fields;      // as written into the frame record's reserved area
    int speedKmh = 0;               // for the playback controls
    int framePosition = 0;
    int gSensorCursor = 0;          // 0 .. count - 1
    std::optional<MapPosition> map; // only when the record's position is valid
    std::int64_t second = 0;        // the frame's time, the viewer's current time
    int millisecond = 0;
};

class CDrivingDataTable {
public:
    static constexpr std::size_t kInitialCapacity = 9000;
    static constexpr std::size_t kGrowthStep = 1800;
    static constexpr std::size_t kHeadroom = 3600;

    CDrivingDataTable();

    // For a channel-0 frame of another list entry than the current one: remembers the entry's
    // index and loads its driving data. True when the entry changed, so that the caller passes
    // the new entry on (channel count, playback controls, G-sensor graph, OBD page).
    bool AdoptEntry(const _FRAME_INFO& frame);

    // Converts a block of `count` engine records into the table, growing it when needed; the
    // first record decides how the block is read. `frameCount`: video frames of the entry.
    void SetEntry(const _DRIVING_RECORD* records, int count, int frameCount);

    // Forgets the current entry (another folder loaded, list cleared): the next frame record
    // loads its entry's driving data even when its list index is the same as before.
    void ForgetEntry();

    // The values at a frame position, without touching any frame record.
    FrameDrivingValues ValuesAtFrame(int framePosition) const;

    // For every channel-0 frame record: the values at its position, written into the reserved
    // area of `frame` (the caller's own copy) together with the frame's time.
    FrameDrivingValues ProcessFrame(_FRAME_INFO& frame) const;

    // count / 1800 * 1800 + 3600: the capacity for a block larger than the table.
    static std::size_t GrownCapacity(std::size_t count);

    std::size_t Capacity() const { return m_records.size(); }
    int RecordCount() const { return m_count; }
    int FrameCount() const { return m_frameCount; }
    std::optional<int> ListIndex() const { return m_listIndex; }
    // The current entry's records (RecordCount() of them).
    std::span<const DrivingDataRecord> Records() const;

private:
    int RecordIndexAt(int framePosition) const;
    void Reserve(std::size_t count);

    std::vector<DrivingDataRecord> m_records;  // Capacity() records; never shrinks
    int m_count = 0;
    int m_frameCount = 0;
    std::optional<int> m_listIndex;
};

} // namespace viewer::driving
