#include "viewer/driving/CDrivingDataTable.h"

#include "viewer/driving/DrivingRecordConversion.h"

#include <algorithm>

namespace viewer::driving {
namespace {

constexpr float kKnotsPerKmh = 0.539957f;

static_assert(sizeof(_DRIVING_RECORD) == kRecordSize);

SourceRecord BytesOf(const _DRIVING_RECORD& record) {
    return SourceRecord(reinterpret_cast<const std::uint8_t*>(&record), kRecordSize);
}

FrameDrivingFields FieldsOf(const DrivingDataRecord& record) {
    FrameDrivingFields fields;
    fields.speed = static_cast<float>(record.Speed());
    fields.longitude = record.Longitude();
    fields.latitude = record.Latitude();
    fields.gSensorX = record.GSensorX();
    fields.gSensorY = record.GSensorY();
    fields.gSensorZ = record.GSensorZ();
    return fields;
}

// position * count / frameCount in 64 bits, so that long entries do not overflow.
std::int64_t Scaled(int framePosition, int count, int frameCount) {
    return static_cast<std::int64_t>(framePosition) * count / frameCount;
}

} // namespace

CDrivingDataTable::CDrivingDataTable() : m_records(kInitialCapacity) {}

bool CDrivingDataTable::AdoptEntry(const _FRAME_INFO& frame) {
    const int listIndex = frame.fileInfo.nListIndex;
    if (m_listIndex == listIndex) {
        return false;
    }
    m_listIndex = listIndex;
    // Records of another size than ours cannot be read as ours.
    const bool readable = frame.nRecordSize == static_cast<std::int32_t>(kRecordSize);
    SetEntry(readable ? frame.records : nullptr, readable ? frame.nRecordCount : 0,
             frame.fileInfo.nFrames);
    return true;
}

void CDrivingDataTable::SetEntry(const _DRIVING_RECORD* records, int count, int frameCount) {
    m_frameCount = std::max(frameCount, 0);
    m_count = records != nullptr ? std::max(count, 0) : 0;
    if (m_count == 0) {
        return;
    }
    Reserve(static_cast<std::size_t>(m_count));
    const BlockKind kind = KindOfBlock(BytesOf(records[0]));
    for (int i = 0; i < m_count; ++i) {
        m_records[static_cast<std::size_t>(i)] = ConvertRecord(kind, BytesOf(records[i]));
    }
}

void CDrivingDataTable::ForgetEntry() {
    m_listIndex.reset();
    m_count = 0;
    m_frameCount = 0;
}

FrameDrivingValues CDrivingDataTable::ValuesAtFrame(int framePosition) const {
    FrameDrivingValues values;
    values.framePosition = framePosition;
    const int index = RecordIndexAt(framePosition);
    if (index < 0) {
        return values;
    }
    const DrivingDataRecord& record = m_records[static_cast<std::size_t>(index)];
    values.hasRecord = true;
    values.recordIndex = index;
    values.fields = FieldsOf(record);
    values.speedKmh = record.Speed();
    // position * count / frame count, at most count - 1: the record shown.
    values.gSensorCursor = index;
    if (record.HasPosition()) {
        values.map = MapPosition{record.Latitude() / 100.0f, record.Longitude() / 100.0f,
                                 static_cast<float>(record.Speed()) * kKnotsPerKmh};
    }
    return values;
}

FrameDrivingValues CDrivingDataTable::ProcessFrame(_FRAME_INFO& frame) const {
    FrameDrivingValues values = ValuesAtFrame(frame.nFramePosition);
    values.second = frame.llSecond;
    values.millisecond = frame.nMillisecond;
    WriteReservedArea(frame, values.fields);
    return values;
}

std::size_t CDrivingDataTable::GrownCapacity(std::size_t count) {
    return count / kGrowthStep * kGrowthStep + kHeadroom;
}

std::span<const DrivingDataRecord> CDrivingDataTable::Records() const {
    return {m_records.data(), static_cast<std::size_t>(m_count)};
}

// count * position / frame count; positions outside the entry show its first or last record
// rather than a record of an earlier entry or memory beyond the table.
int CDrivingDataTable::RecordIndexAt(int framePosition) const {
    if (m_count <= 0 || m_frameCount <= 0) {
        return -1;
    }
    const std::int64_t index = Scaled(framePosition, m_count, m_frameCount);
    return static_cast<int>(std::clamp<std::int64_t>(index, 0, m_count - 1));
}

void CDrivingDataTable::Reserve(std::size_t count) {
    if (count > m_records.size()) {
        m_records.resize(GrownCapacity(count));
    }
}

} // namespace viewer::driving
