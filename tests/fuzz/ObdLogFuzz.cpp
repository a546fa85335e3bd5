// Reads arbitrary bytes as the recorder's OBD driving log (as text and as a file) and as the
// vehicle values of a driving-data record. Traps when a row has the wrong number of columns or
// more rows come out than the text has lines.

#include "viewer/obd/ObdDriveLog.h"
#include "viewer/obd/ObdValues.h"

#include <QString>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

void require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

std::filesystem::path scratchPath() {
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm")
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    return base / ("tachy-fuzz-obd-" + std::to_string(::getpid()) + ".log");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace viewer::obd;
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::vector<LogRow> rows = ParseObdDriveLog(text);
    require(rows.size() <= static_cast<std::size_t>(text.count(QLatin1Char('\n')) +
                                                    text.count(QLatin1Char('\r')) + 1));

    static const std::filesystem::path path = scratchPath();
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
        const auto read = ReadObdDriveLog(path);
        require(read.has_value() && read->size() == rows.size());
        std::remove(path.c_str());
    }

    viewer::driving::DrivingDataRecord record;
    std::memcpy(record.bytes.data(), data, std::min(size, record.bytes.size()));
    if (const auto values = ReadObdValues(record)) {
        require(values->brake == (record.bytes[kBrakeOffset] != 0));
    }
    return 0;
}
