#pragma once
// Files on a memory card by their path from the card's root: through the mounted folder when the
// card is mounted, else straight on the FAT file system of its device or image with mtools. A card
// is unmounted while it is formatted, so the recorder's settings file goes back through mtools.

#include <filesystem>
#include <string>

namespace viewer::appdlg {

class CardFiles {
public:
    // Files under a mounted card's folder.
    static CardFiles Mounted(const std::filesystem::path& folder);
    // Files on the FAT file system of a block device or an image file.
    static CardFiles Raw(const std::filesystem::path& volume, const std::filesystem::path& scratch);

    // The whole file; false when it is absent or cannot be read.
    bool Read(const std::filesystem::path& relative, std::string& bytes) const;
    // Writes the file, creating its folder; `hidden` marks folder and file hidden. False, with
    // the reason, when any step fails.
    bool Write(const std::filesystem::path& relative, const std::string& bytes, bool hidden,
               std::string* error) const;

    // A file of the local file system, written and flushed to its disk before true is returned.
    static bool WriteLocal(const std::filesystem::path& path, const std::string& bytes,
                           std::string* error);
    static bool ReadLocal(const std::filesystem::path& path, std::string& bytes);

private:
    CardFiles(std::filesystem::path root, bool mounted, std::filesystem::path scratch);
    bool ReadRaw(const std::filesystem::path& relative, std::string& bytes) const;
    bool WriteRaw(const std::filesystem::path& relative, const std::string& bytes, bool hidden,
                  std::string* error) const;
    bool WriteMounted(const std::filesystem::path& relative, const std::string& bytes, bool hidden,
                      std::string* error) const;

    std::filesystem::path m_root; // the mounted folder, or the device or image
    bool m_mounted = false;
    std::filesystem::path m_scratch; // a folder of ours for the files mtools reads and writes
};

} // namespace viewer::appdlg
