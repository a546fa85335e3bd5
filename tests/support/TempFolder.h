#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes away.

#include <filesystem>
#include <string>
#include <string_view>

namespace tachy::test {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // Writes a file under the folder (creating sub-folders) and returns its path.
    std::filesystem::path write(const std::string& relative, std::string_view bytes) const;

private:
    std::filesystem::path m_path;
};

// The whole content of a file ("" when it cannot be read).
std::string readAll(const std::filesystem::path& path);

} // namespace tachy::test
