#pragma once
// The suite's daily log files ("vlYYYYMMDD.log", one line per call, each with a local date and
// time prefix) and the one-off system report.

#include <string>

class CUtilLog {
public:
    // Longest message, in bytes, that one call writes; longer ones are cut.
    static constexpr std::size_t kMaxMessage = 1024;

    CUtilLog() = default;
    ~CUtilLog() = default;

    // Appends "YYYY-MM-DD hh:mm:ss : <message>\r\n" to <folder>/vlYYYYMMDD.log (local date).
    // A file that cannot be opened is skipped silently. An empty folder is refused: the name
    // would otherwise resolve to the file-system root.
    static void WriteLog(const std::string& folder, const char* format, ...)
        __attribute__((format(printf, 2, 3)));

    // Writes the system report to `path` (created or replaced); 1 on success, 0 when the file
    // cannot be written.
    static int WriteLogSystem(const std::string& path);
    // The same report from a prepared root folder (for tests and diagnostics).
    static int WriteLogSystem(const std::string& path, const std::string& systemRoot);
};
