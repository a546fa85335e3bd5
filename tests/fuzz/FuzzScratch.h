#pragma once
// Where a fuzz target keeps what it writes for each input: a folder of the process's own, in
// memory (tmpfs) where the machine has one, so that writing and reopening costs no disk time
// and parallel runs stay apart. The folder goes when the process ends normally.

#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

namespace tachy::fuzz {

// The folder and its removal: libFuzzer ends a run with exit(), which destroys static objects.
class ScratchFolder {
public:
    ScratchFolder() {
        std::error_code error;
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", error)
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        m_path = base / ("tachy-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_path, error);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

inline const std::filesystem::path& scratchFolder() {
    static const ScratchFolder folder;
    return folder.path();
}

// A file called `name` in the scratch folder.
inline std::string scratchFile(const std::string& name) {
    return (scratchFolder() / name).string();
}

} // namespace tachy::fuzz
