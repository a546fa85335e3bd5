#include "platform/volume/SystemFormatter.h"

#include "platform/fs/FileIo.h"
#include "platform/process/Process.h"
#include "platform/volume/DeviceAccess.h"

#include <csignal>
#include <cstdlib>
#include <unistd.h>
#include <vector>

namespace tachy {
namespace {

void setError(std::string* error, const std::string& text) {
    if (error != nullptr) {
        *error = text;
    }
}

// A private file for the formatter's messages, removed when the object goes away.
class OutputFile {
public:
    OutputFile() {
        const char* folder = std::getenv("TMPDIR");
        std::string pattern = std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") +
                              "/tachy-mkfs-XXXXXX";
        const int fd = ::mkstemp(pattern.data());
        if (fd >= 0) {
            ::close(fd);
            m_path = pattern;
        }
    }
    ~OutputFile() {
        if (!m_path.empty()) {
            ::unlink(m_path.c_str());
        }
    }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

std::vector<std::string> formatterArguments(const SystemFormatRequest& request,
                                            const VolumeTarget& target) {
    std::vector<std::string> arguments = {"-F", "32"};
    const std::uint32_t sectorSize = target.imageFile ? request.imageSectorSize : 0;
    if (sectorSize != 0) {
        arguments.insert(arguments.end(), {"-S", std::to_string(sectorSize)});
    }
    if (request.clusterBytes != 0) {
        // mkfs.fat counts clusters in sectors; a device's sector size is its own.
        const std::uint32_t unit = sectorSize != 0 ? sectorSize : 512;
        const std::uint32_t sectors = std::max<std::uint32_t>(1, request.clusterBytes / unit);
        arguments.insert(arguments.end(), {"-s", std::to_string(sectors)});
    }
    if (!request.label.empty()) {
        arguments.insert(arguments.end(), {"-n", request.label.substr(0, 11)});
    }
    if (!request.quick && !target.imageFile) {
        arguments.emplace_back("-c");
    }
    // A whole card without a partition table is what a recorder formats; mkfs.fat wants to be
    // told that this is meant.
    if (!target.imageFile && target.device && !target.device->isPartition()) {
        arguments.emplace_back("-I");
    }
    arguments.push_back(target.path.string());
    return arguments;
}

// The formatter's messages without its version banner, one line after another.
std::string messagesOf(const std::string& output) {
    std::string messages;
    std::size_t position = 0;
    while (position < output.size()) {
        std::size_t end = output.find('\n', position);
        if (end == std::string::npos) {
            end = output.size();
        }
        const std::string line = output.substr(position, end - position);
        position = end + 1;
        const bool banner =
            line.rfind("mkfs.fat ", 0) == 0 && line.size() > 9 && line[9] >= '0' && line[9] <= '9';
        if (!banner && !line.empty()) {
            messages += (messages.empty() ? "" : "; ") + line;
        }
    }
    return messages;
}

} // namespace

SystemFormatter::SystemFormatter(std::filesystem::path program) : m_program(std::move(program)) {}

bool SystemFormatter::format(const SystemFormatRequest& request, std::string* error) const {
    std::optional<VolumeTarget> target = resolveVolumeTarget(request.volume, m_environment, error);
    if (!target) {
        return false;
    }
    if (target->holdsSystem()) {
        setError(error, "\"" + target->path.string() +
                            "\" is on the disk that holds the running system (\"" +
                            target->systemMountPoint + "\"); it is never formatted");
        return false;
    }
    if (!unmountForWriting(*target, deviceAccessFor(m_environment).get(), error)) {
        return false;
    }
    const OutputFile output;
    Process formatter;
    if (!formatter.start(m_program, formatterArguments(request, *target), {}, output.path())) {
        setError(error, "the formatter \"" + m_program.string() + "\" could not be started");
        return false;
    }
    if (formatter.wait(m_timeout) != Process::WaitResult::Exited) {
        ::kill(-formatter.pid(), SIGKILL);
        formatter.wait(std::chrono::seconds(10));
        setError(error, "the formatter did not finish in time");
        return false;
    }
    if (formatter.exitCode() != 0) {
        const std::string message = messagesOf(fs::readFile(output.path()).value_or(""));
        setError(error, "the formatter failed (exit code " + std::to_string(formatter.exitCode()) +
                            ")" + (message.empty() ? "" : ": " + message));
        return false;
    }
    return true;
}

} // namespace tachy
