#pragma once
// The recorder's clock file "timeset.txt" in the settings folder and the empty "reset.txt" at the
// card root. The picked time travels as the suite's whole 64-bit time value (seconds since
// 1970-01-01 00:00:00, broken down without time-zone adjustment), never cut to 32 bits.

#include "setupfile/SetupFileStore.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace tachy::setupfile {

class TimeSetFile {
public:
    static constexpr const char* kTimeSetName = "timeset.txt";
    static constexpr const char* kResetName = "reset.txt";

    // The time value of a picked date and time; nothing when a field is out of range (year from
    // 1900, month 1-12, day within the month, hour 0-23, minute and second 0-59).
    static std::optional<std::int64_t> Compose(int year, int month, int day, int hour, int minute,
                                               int second);
    // "%Y-%m-%d %H:%M:%S" of the value, with no line end.
    static std::string Text(std::int64_t time);

    // Writes (creates or replaces) "timeset.txt" in `settingsFolder`.
    static SetupWriteResult WriteTimeSet(const SetupFileStore& store,
                                         const std::filesystem::path& settingsFolder,
                                         std::int64_t time);
    // Writes the empty "reset.txt" at the card root.
    static SetupWriteResult WriteReset(const SetupFileStore& store,
                                       const std::filesystem::path& drive);
};

} // namespace tachy::setupfile
