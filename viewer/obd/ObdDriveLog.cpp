#include "viewer/obd/ObdDriveLog.h"

#include <QStringList>

#include <algorithm>
#include <fstream>
#include <system_error>

namespace viewer::obd {

namespace fs = std::filesystem;

namespace {

const QString kLogName = QStringLiteral("obddrive.log");

QString NameOf(const fs::path& path) {
    return QString::fromStdString(path.filename().string());
}

// The folder's entries sorted by name without regard to case; unreadable folders give none.
std::vector<fs::directory_entry> SortedEntries(const fs::path& folder) {
    std::vector<fs::directory_entry> entries;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        entries.push_back(*it);
    }
    std::sort(entries.begin(), entries.end(),
              [](const fs::directory_entry& a, const fs::directory_entry& b) {
                  return NameOf(a.path()).compare(NameOf(b.path()), Qt::CaseInsensitive) < 0;
              });
    return entries;
}

std::optional<fs::path> FindIn(const fs::path& folder, int depth) {
    const std::vector<fs::directory_entry> entries = SortedEntries(folder);
    std::error_code error;
    for (const fs::directory_entry& entry : entries) {
        if (entry.is_regular_file(error) &&
            NameOf(entry.path()).compare(kLogName, Qt::CaseInsensitive) == 0) {
            return entry.path();
        }
    }
    if (depth >= kMaxLogSearchDepth) {
        return std::nullopt;
    }
    for (const fs::directory_entry& entry : entries) {
        if (entry.is_directory(error) && !entry.is_symlink(error)) {
            if (auto found = FindIn(entry.path(), depth + 1)) {
                return found;
            }
        }
    }
    return std::nullopt;
}

LogRow SplitRow(const QString& line) {
    LogRow row;
    qsizetype start = 0;
    for (int column = 0; column < kLogColumns - 1; ++column) {
        const qsizetype comma = line.indexOf(QLatin1Char(','), start);
        if (comma < 0) {
            row[static_cast<std::size_t>(column)] = line.mid(start);
            return row;
        }
        row[static_cast<std::size_t>(column)] = line.mid(start, comma - start);
        start = comma + 1;
    }
    row[kLogColumns - 1] = line.mid(start);
    return row;
}

} // namespace

std::optional<fs::path> FindObdDriveLog(const fs::path& folder) {
    std::error_code error;
    if (folder.empty() || !fs::is_directory(folder, error)) {
        return std::nullopt;
    }
    return FindIn(folder, 0);
}

std::vector<LogRow> ParseObdDriveLog(const QString& text) {
    std::vector<LogRow> rows;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype index = 1; index < lines.size(); ++index) {
        QString line = lines[index];
        if (line.endsWith(QLatin1Char('\r'))) {
            line.chop(1);
        }
        if (!line.isEmpty()) {
            rows.push_back(SplitRow(line));
        }
    }
    return rows;
}

std::optional<std::vector<LogRow>> ReadObdDriveLog(const fs::path& file) {
    std::ifstream stream(file, std::ios::binary);
    if (!stream) {
        return std::nullopt;
    }
    std::error_code error;
    const std::uintmax_t size = fs::file_size(file, error);
    if (error) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(std::min(size, kMaxLogBytes)), '\0');
    stream.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(stream.gcount()));
    return ParseObdDriveLog(QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

} // namespace viewer::obd
