// Reads arbitrary bytes as an RMC sentence and as an engine driving-data record converted in
// each of the viewer's three ways.

#include "viewer/driving/DrivingRecordConversion.h"
#include "viewer/driving/RmcSentence.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace viewer::driving;
    const auto* text = reinterpret_cast<const char*>(data);
    const RmcFix fix = ParseRmcSentence(BoundedText(text, size));
    std::uint64_t total = fix.valid ? 1 : 0;

    std::array<std::uint8_t, kRecordSize> record{};
    std::memcpy(record.data(), data, std::min(size, record.size()));
    const SourceRecord source(record);
    for (const BlockKind kind : {BlockKind::Gps, BlockKind::Nmea, BlockKind::Unchanged}) {
        const DrivingDataRecord converted = ConvertRecord(kind, source);
        total += converted.Speed() + converted.Flags() + converted.Type();
    }
    total += static_cast<std::uint64_t>(KindOfBlock(source));
    return total == static_cast<std::uint64_t>(-1) ? 1 : 0;
}
