#include "viewer/appdlg/CardFiles.h"

#include "platform/fs/UniqueFd.h"
#include "platform/process/Process.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace viewer::appdlg {

namespace {

namespace fs = std::filesystem;

constexpr auto kToolTimeout = std::chrono::seconds(60);

// A name of our own in the scratch folder, which other viewers and tests may share.
fs::path ScratchFile(const fs::path& scratch, const char* purpose) {
    static std::atomic<unsigned> counter{0};
    return scratch / ("tachy-" + std::to_string(::getpid()) + "-" + std::to_string(++counter) +
                      "." + purpose);
}

// The path mtools gives a file on the volume.
std::string OnVolume(const fs::path& relative) {
    return "::/" + relative.generic_string();
}

// Runs one mtools program on the volume; its output is kept for the error text. mtools refuses
// FAT32 volumes with fewer clusters than the FAT32 minimum, which small cards formatted with
// large clusters have: the check is switched off.
bool RunTool(const fs::path& scratch, const std::string& tool, const fs::path& volume,
             const std::vector<std::string>& arguments, std::string* error) {
    std::vector<std::string> line = {"MTOOLS_SKIP_CHECK=1", tool, "-i", volume.string()};
    line.insert(line.end(), arguments.begin(), arguments.end());
    const fs::path log = ScratchFile(scratch, "log");
    tachy::Process process;
    bool ok = process.start("env", line, {}, log) &&
              process.wait(kToolTimeout) == tachy::Process::WaitResult::Exited &&
              process.exitCode() == 0;
    if (!ok && error != nullptr) {
        std::string output;
        CardFiles::ReadLocal(log, output);
        *error = tool + " failed on \"" + volume.string() + "\"" +
                 (output.empty() ? std::string() : ": " + output);
    }
    std::error_code ignored;
    fs::remove(log, ignored);
    return ok;
}

// Marks a file or folder of a mounted FAT file system hidden. Other file systems have no such
// mark (the dot before the name already hides it), so a refusal is no failure.
void MarkHidden(const fs::path& path) {
    const tachy::fs::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    std::uint32_t attributes = 0;
    if (fd.valid() && ::ioctl(fd.get(), FAT_IOCTL_GET_ATTRIBUTES, &attributes) == 0) {
        attributes |= ATTR_HIDDEN;
        ::ioctl(fd.get(), FAT_IOCTL_SET_ATTRIBUTES, &attributes);
    }
}

} // namespace

CardFiles::CardFiles(fs::path root, bool mounted, fs::path scratch)
    : m_root(std::move(root)), m_mounted(mounted), m_scratch(std::move(scratch)) {}

CardFiles CardFiles::Mounted(const fs::path& folder) {
    return CardFiles(folder, true, {});
}

CardFiles CardFiles::Raw(const fs::path& volume, const fs::path& scratch) {
    return CardFiles(volume, false, scratch);
}

bool CardFiles::WriteLocal(const fs::path& path, const std::string& bytes, std::string* error) {
    const tachy::fs::UniqueFd fd(
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    std::size_t written = 0;
    while (fd.valid() && written < bytes.size()) {
        const ssize_t count = ::write(fd.get(), bytes.data() + written, bytes.size() - written);
        if (count <= 0) {
            break;
        }
        written += static_cast<std::size_t>(count);
    }
    if (!fd.valid() || written != bytes.size() || ::fsync(fd.get()) != 0) {
        if (error != nullptr) {
            *error = "\"" + path.string() + "\" could not be written: " + std::strerror(errno);
        }
        return false;
    }
    return true;
}

bool CardFiles::ReadLocal(const fs::path& path, std::string& bytes) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) {
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

bool CardFiles::Read(const fs::path& relative, std::string& bytes) const {
    return m_mounted ? ReadLocal(m_root / relative, bytes) : ReadRaw(relative, bytes);
}

bool CardFiles::Write(const fs::path& relative, const std::string& bytes, bool hidden,
                      std::string* error) const {
    return m_mounted ? WriteMounted(relative, bytes, hidden, error)
                     : WriteRaw(relative, bytes, hidden, error);
}

bool CardFiles::ReadRaw(const fs::path& relative, std::string& bytes) const {
    const fs::path copy = ScratchFile(m_scratch, "read");
    std::error_code ignored;
    fs::remove(copy, ignored);
    const bool ok =
        RunTool(m_scratch, "mcopy", m_root, {"-n", OnVolume(relative), copy.string()}, nullptr) &&
        ReadLocal(copy, bytes);
    fs::remove(copy, ignored);
    return ok;
}

bool CardFiles::WriteRaw(const fs::path& relative, const std::string& bytes, bool hidden,
                         std::string* error) const {
    const fs::path source = ScratchFile(m_scratch, "write");
    if (!WriteLocal(source, bytes, error)) {
        return false;
    }
    bool ok = true;
    const fs::path folder = relative.parent_path();
    if (!folder.empty()) {
        std::string ignored;
        // The folder may be there already; mcopy below says so when it is not.
        RunTool(m_scratch, "mmd", m_root, {OnVolume(folder)}, &ignored);
    }
    ok = RunTool(m_scratch, "mcopy", m_root, {"-o", source.string(), OnVolume(relative)}, error);
    if (ok && hidden) {
        ok = (folder.empty() ||
              RunTool(m_scratch, "mattrib", m_root, {"+h", OnVolume(folder)}, error)) &&
             RunTool(m_scratch, "mattrib", m_root, {"+h", OnVolume(relative)}, error);
    }
    std::error_code ignored;
    fs::remove(source, ignored);
    return ok;
}

bool CardFiles::WriteMounted(const fs::path& relative, const std::string& bytes, bool hidden,
                             std::string* error) const {
    const fs::path target = m_root / relative;
    std::error_code failure;
    fs::create_directories(target.parent_path(), failure);
    if (failure) {
        if (error != nullptr) {
            *error =
                "\"" + target.parent_path().string() + "\" could not be made: " + failure.message();
        }
        return false;
    }
    if (!WriteLocal(target, bytes, error)) {
        return false;
    }
    if (hidden) {
        if (relative.has_parent_path()) {
            MarkHidden(target.parent_path());
        }
        MarkHidden(target);
    }
    return true;
}

} // namespace viewer::appdlg
