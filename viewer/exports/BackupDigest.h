#pragma once
// The size and SHA-256 of a file's bytes, added up as they pass: how a backup copy is checked
// against its source and how a destination already holding the same recording is recognised.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QCryptographicHash;

namespace tachy::viewer {

struct BackupFingerprint {
    std::uint64_t size = 0;
    std::string sha256; // the 32 bytes of the hash
    bool operator==(const BackupFingerprint&) const = default;
};

class BackupDigest {
public:
    BackupDigest();
    ~BackupDigest();
    BackupDigest(const BackupDigest&) = delete;
    BackupDigest& operator=(const BackupDigest&) = delete;

    void Add(std::string_view bytes);
    BackupFingerprint Finish() const;

    // The fingerprint of a whole file, or nothing when it cannot be read to its end.
    static std::optional<BackupFingerprint> OfFile(const std::filesystem::path& path);

private:
    std::unique_ptr<QCryptographicHash> m_hash;
    std::uint64_t m_size = 0;
};

} // namespace tachy::viewer
