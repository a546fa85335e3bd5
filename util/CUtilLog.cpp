#include "util/CUtilLog.h"

#include "platform/fs/UniqueFd.h"
#include "platform/text/TextCodec.h"
#include "util/SystemReportText.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Cuts a byte-limited message back to the last whole UTF-8 character.
void trimToWholeCharacters(std::string& text) {
    while (!text.empty() && !tachy::text::isValidUtf8(text)) {
        text.pop_back();
    }
}

bool writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

} // namespace

void CUtilLog::WriteLog(const std::string& folder, const char* format, ...) {
    if (folder.empty()) {
        return;
    }
    char message[kMaxMessage + 1];
    va_list arguments;
    va_start(arguments, format);
    const int length = std::vsnprintf(message, sizeof message, format, arguments);
    va_end(arguments);
    if (length < 0) {
        return;
    }
    std::string text(message);
    if (static_cast<std::size_t>(length) > kMaxMessage) {
        trimToWholeCharacters(text);
    }

    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char name[32];
    std::snprintf(name, sizeof name, "vl%04d%02d%02d.log", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday);
    char prefix[40];
    std::snprintf(prefix, sizeof prefix, "%04d-%02d-%02d %02d:%02d:%02d : ", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);

    const std::string path = folder + "/" + name;
    tachy::fs::UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
    if (!fd.valid()) {
        return;
    }
    // One write per line: with O_APPEND, lines from several threads or processes never mix.
    writeAll(fd.get(), prefix + text + "\r\n");
}

int CUtilLog::WriteLogSystem(const std::string& path) {
    return WriteLogSystem(path, "/");
}

int CUtilLog::WriteLogSystem(const std::string& path, const std::string& systemRoot) {
    const std::string report = util::systemReportText(tachy::SystemReport(systemRoot));
    tachy::fs::UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!fd.valid()) {
        return 0;
    }
    return writeAll(fd.get(), report) ? 1 : 0;
}
