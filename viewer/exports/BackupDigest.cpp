#include "viewer/exports/BackupDigest.h"

#include "platform/fs/UniqueFd.h"

#include <QCryptographicHash>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace tachy::viewer {

BackupDigest::BackupDigest()
    : m_hash(std::make_unique<QCryptographicHash>(QCryptographicHash::Sha256)) {}

BackupDigest::~BackupDigest() = default;

void BackupDigest::Add(std::string_view bytes) {
    m_hash->addData(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    m_size += bytes.size();
}

BackupFingerprint BackupDigest::Finish() const {
    const QByteArray hash = m_hash->result();
    return {m_size, std::string(hash.constData(), static_cast<std::size_t>(hash.size()))};
}

std::optional<BackupFingerprint> BackupDigest::OfFile(const std::filesystem::path& path) {
    const tachy::fs::UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.valid()) {
        return std::nullopt;
    }
    BackupDigest digest;
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t got = ::read(file.get(), buffer.data(), buffer.size());
        if (got == 0) {
            return digest.Finish();
        }
        if (got < 0 && errno != EINTR) {
            return std::nullopt;
        }
        if (got > 0) {
            digest.Add(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
        }
    }
}

} // namespace tachy::viewer
