#include "platform/folders/SpecialFolder.h"

#include "platform/fs/FileIo.h"

#include <cstdlib>
#include <pwd.h>
#include <string>
#include <string_view>
#include <unistd.h>

namespace tachy {
namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);  // NOLINT(concurrency-mt-unsafe)
    return value == nullptr ? std::string() : std::string(value);
}

std::filesystem::path homeFolder() {
    const std::string home = environment("HOME");
    if (!home.empty()) {
        return home;
    }
    struct passwd entry {};
    struct passwd* result = nullptr;
    std::string buffer(16384, '\0');
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &result) == 0 &&
        result != nullptr && result->pw_dir != nullptr) {
        return result->pw_dir;
    }
    return "/";
}

std::filesystem::path configHome() {
    const std::string configured = environment("XDG_CONFIG_HOME");
    if (!configured.empty() && configured.front() == '/') {
        return configured;
    }
    return homeFolder() / ".config";
}

// Reads XDG_DOCUMENTS_DIR="$HOME/Documents" from user-dirs.dirs.
std::filesystem::path documentsFromUserDirs() {
    const auto bytes = fs::readFile(configHome() / "user-dirs.dirs");
    if (!bytes) {
        return {};
    }
    std::string_view rest(*bytes);
    constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR=\"";
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (!line.starts_with(kKey)) {
            continue;
        }
        line.remove_prefix(kKey.size());
        const std::size_t quote = line.find('"');
        if (quote == std::string_view::npos) {
            return {};
        }
        std::string_view value = line.substr(0, quote);
        if (value.starts_with("$HOME")) {
            return homeFolder() / std::string(value.substr(value.starts_with("$HOME/") ? 6 : 5));
        }
        return value.starts_with("/") ? std::filesystem::path(value) : std::filesystem::path();
    }
    return {};
}

} // namespace

std::filesystem::path SpecialFolder::path(Kind kind) {
    switch (kind) {
    case Kind::ApplicationData:
        return configHome();
    case Kind::Documents: {
        const std::filesystem::path documents = documentsFromUserDirs();
        return documents.empty() ? homeFolder() / "Documents" : documents;
    }
    case Kind::MyComputer:
    case Kind::Home:
        break;
    }
    return homeFolder();
}

} // namespace tachy
