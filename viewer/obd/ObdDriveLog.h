#pragma once
// The recorder's OBD driving log "obddrive.log": where it lies under a loaded folder and its
// rows. A header line, then one row per line with seven comma-separated columns (the last
// column takes the rest of the line).

#include <QString>

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace viewer::obd {

constexpr int kLogColumns = 7;
using LogRow = std::array<QString, kLogColumns>;

// Folder levels searched below the loaded folder; deeper folders are not entered.
constexpr int kMaxLogSearchDepth = 16;
// Bytes of the log that are read at most; a longer file is read up to this size.
constexpr std::uintmax_t kMaxLogBytes = 16U * 1024U * 1024U;

// "obddrive.log" directly in `folder`, else depth-first in each sub-folder (in name order,
// without regard to case; links to folders are not followed); the first found wins. The name
// matches without regard to case, as on the recorder's FAT card.
std::optional<std::filesystem::path> FindObdDriveLog(const std::filesystem::path& folder);

// The rows of the log text: the first line skipped, each further non-empty line split at its
// first six commas (missing columns stay empty), in text order.
std::vector<LogRow> ParseObdDriveLog(const QString& text);

// Reads at most kMaxLogBytes of the file as UTF-8 and parses it; nothing when it cannot be read.
std::optional<std::vector<LogRow>> ReadObdDriveLog(const std::filesystem::path& file);

} // namespace viewer::obd
