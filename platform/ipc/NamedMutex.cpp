#include "platform/ipc/NamedMutex.h"

#include "platform/debug/DebugOut.h"
#include "platform/ipc/IpcName.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>

namespace tachy {

NamedMutex::NamedMutex(std::string_view name) {
    const std::filesystem::path path = ipc::runtimeFolder() / ("tachy-" + ipc::safeName(name) + ".lock");
    fs::UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (!fd.valid()) {
        // Without a lock file the single-instance check cannot be made; carry on as the only
        // instance rather than refuse to start.
        DebugOut::printf("NamedMutex: cannot open %s\n", path.c_str());
        return;
    }
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        m_alreadyExists = errno == EWOULDBLOCK;
        return;
    }
    m_lock = std::move(fd);
}

} // namespace tachy
