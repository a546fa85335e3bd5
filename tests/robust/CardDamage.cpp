#include "tests/robust/CardDamage.h"

#include <fstream>
#include <iterator>
#include <sstream>

namespace tachy::robust {

namespace {

std::string fileHash(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return "unreadable";
    }
    std::uint64_t hash = 1469598103934665603ULL;
    std::uintmax_t size = 0;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        for (std::streamsize i = 0; i < in.gcount(); ++i) {
            hash = (hash ^ static_cast<unsigned char>(buffer[i])) * 1099511628211ULL;
        }
        size += static_cast<std::uintmax_t>(in.gcount());
    }
    std::ostringstream text;
    text << size << ":" << std::hex << hash;
    return text.str();
}

} // namespace

std::map<std::string, std::string> fingerprint(const std::filesystem::path& root) {
    std::map<std::string, std::string> files;
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(root, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        const std::string relative = std::filesystem::relative(it->path(), root).string();
        files[relative] = it->is_directory() ? "dir" : fileHash(it->path());
    }
    return files;
}

void cutAt(const std::filesystem::path& file, std::uintmax_t offset) {
    std::filesystem::resize_file(file, offset);
}

void flipByte(const std::filesystem::path& file, std::uintmax_t offset) {
    std::fstream io(file, std::ios::binary | std::ios::in | std::ios::out);
    io.seekg(static_cast<std::streamoff>(offset));
    char byte = 0;
    io.get(byte);
    io.seekp(static_cast<std::streamoff>(offset));
    io.put(static_cast<char>(~byte));
}

std::uintmax_t findTag(const std::filesystem::path& file, const std::string& tag,
                       std::uintmax_t from) {
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t at = bytes.find(tag, static_cast<std::size_t>(from));
    return at == std::string::npos ? static_cast<std::uintmax_t>(-1) : at;
}

} // namespace tachy::robust
