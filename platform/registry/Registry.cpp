#include "platform/registry/Registry.h"

#include "platform/debug/DebugOut.h"
#include "platform/folders/SpecialFolder.h"
#include "platform/fs/FileIo.h"
#include "platform/fs/UniqueFd.h"
#include "platform/registry/RegistryStore.h"

#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>

namespace tachy {
namespace {

// Serialises read-modify-write cycles inside this process; the lock file does the same
// between the suite's programs.
std::mutex& storeMutex() {
    static std::mutex mutex;
    return mutex;
}

std::filesystem::path machineConfigFolder() {
    const char* dirs = std::getenv("XDG_CONFIG_DIRS");  // NOLINT(concurrency-mt-unsafe)
    if (dirs != nullptr && *dirs != '\0') {
        std::string_view list(dirs);
        const std::string_view first = list.substr(0, list.find(':'));
        if (!first.empty() && first.front() == '/') {
            return std::filesystem::path(first);
        }
    }
    return "/etc/xdg";
}

} // namespace

Registry::Registry(RegistryHive hive) : m_hive(hive), m_path(storePath(hive)) {}

std::filesystem::path Registry::storePath(RegistryHive hive) {
    if (hive == RegistryHive::LocalMachine) {
        return machineConfigFolder() / "tachy" / "registry.ini";
    }
    return SpecialFolder::path(SpecialFolder::Kind::ApplicationData) / "tachy" / "registry.ini";
}

RegistryStore Registry::loadStore() const {
    const auto bytes = fs::readFile(m_path);
    if (!bytes) {
        return {};
    }
    auto store = RegistryStore::parse(*bytes);
    if (!store) {
        DebugOut::printf("Registry: %s is corrupt; it is read as empty\n", m_path.c_str());
        return {};
    }
    return std::move(*store);
}

template <typename Change> bool Registry::modify(Change&& change) {
    if (!isWritable()) {
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(m_path.parent_path(), error);
    const std::lock_guard<std::mutex> guard(storeMutex());
    const std::filesystem::path lockPath = m_path.string() + ".lock";
    fs::UniqueFd lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (!lock.valid() || ::flock(lock.get(), LOCK_EX) != 0) {
        DebugOut::printf("Registry: cannot lock %s\n", lockPath.c_str());
        return false;
    }
    RegistryStore store = loadStore();
    change(store);
    return fs::writeFileAtomically(m_path, store.serialize());
}

bool Registry::keyExists(std::string_view key) const {
    return loadStore().hasKey(key);
}

bool Registry::createKey(std::string_view key) {
    if (!isWritable()) {
        return false;
    }
    if (keyExists(key)) {
        return true;
    }
    return modify([&](RegistryStore& store) { store.createKey(key); });
}

std::optional<std::uint32_t> Registry::readDword(std::string_view key,
                                                 std::string_view name) const {
    const RegistryStore store = loadStore();
    const RegistryStore::Value* value = store.find(key, name);
    if (value == nullptr || !std::holds_alternative<std::uint32_t>(*value)) {
        return std::nullopt;
    }
    return std::get<std::uint32_t>(*value);
}

std::optional<std::string> Registry::readString(std::string_view key,
                                                std::string_view name) const {
    const RegistryStore store = loadStore();
    const RegistryStore::Value* value = store.find(key, name);
    if (value == nullptr || !std::holds_alternative<std::string>(*value)) {
        return std::nullopt;
    }
    return std::get<std::string>(*value);
}

bool Registry::writeDword(std::string_view key, std::string_view name, std::uint32_t value) {
    return modify([&](RegistryStore& store) { store.set(key, name, value); });
}

bool Registry::writeString(std::string_view key, std::string_view name, std::string_view value) {
    return modify([&](RegistryStore& store) { store.set(key, name, std::string(value)); });
}

} // namespace tachy
