#include "platform/process/Process.h"

#include "platform/fs/UniqueFd.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>

extern char** environ;  // NOLINT(readability-redundant-declaration)

namespace tachy {
namespace {

// RAII for the spawn attribute and file-action objects.
struct SpawnSetup {
    posix_spawnattr_t attributes{};
    posix_spawn_file_actions_t actions{};
    SpawnSetup() {
        posix_spawnattr_init(&attributes);
        posix_spawn_file_actions_init(&actions);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;
};

int pidfdOpen(pid_t pid) {
#ifdef SYS_pidfd_open
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
    errno = ENOSYS;
    return -1;
#endif
}

} // namespace

Process::~Process() {
    if (m_pid > 0 && !m_exited) {
        reap(WNOHANG);
    }
}

Process::Process(Process&& other) noexcept
    : m_pid(std::exchange(other.m_pid, -1)), m_exited(std::exchange(other.m_exited, false)),
      m_exitCode(std::exchange(other.m_exitCode, -1)) {}

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        m_pid = std::exchange(other.m_pid, -1);
        m_exited = std::exchange(other.m_exited, false);
        m_exitCode = std::exchange(other.m_exitCode, -1);
    }
    return *this;
}

bool Process::start(const std::filesystem::path& program,
                    const std::vector<std::string>& arguments,
                    const std::filesystem::path& workingFolder,
                    const std::filesystem::path& outputFile) {
    if (m_pid > 0 && !m_exited) {
        return false;
    }
    SpawnSetup setup;
    sigset_t noSignals;
    sigemptyset(&noSignals);
    posix_spawnattr_setsigmask(&setup.attributes, &noSignals);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&setup.attributes, &defaults);
    posix_spawnattr_setpgroup(&setup.attributes, 0);
    posix_spawnattr_setflags(&setup.attributes,
                             POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    if (!workingFolder.empty()) {
        posix_spawn_file_actions_addchdir_np(&setup.actions, workingFolder.c_str());
    }
    if (!outputFile.empty()) {
        posix_spawn_file_actions_addopen(&setup.actions, STDOUT_FILENO, outputFile.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_adddup2(&setup.actions, STDOUT_FILENO, STDERR_FILENO);
    }

    std::vector<std::string> argumentTexts;
    argumentTexts.reserve(arguments.size() + 1);
    argumentTexts.push_back(program.string());
    argumentTexts.insert(argumentTexts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    argv.reserve(argumentTexts.size() + 1);
    for (std::string& text : argumentTexts) {
        argv.push_back(text.data());
    }
    argv.push_back(nullptr);

    pid_t pid = -1;
    const int result = program.string().find('/') == std::string::npos
                           ? ::posix_spawnp(&pid, program.c_str(), &setup.actions,
                                            &setup.attributes, argv.data(), environ)
                           : ::posix_spawn(&pid, program.c_str(), &setup.actions,
                                           &setup.attributes, argv.data(), environ);
    if (result != 0) {
        return false;
    }
    m_pid = pid;
    m_exited = false;
    m_exitCode = -1;
    return true;
}

bool Process::reap(int options) {
    int status = 0;
    pid_t result = -1;
    do {
        result = ::waitpid(m_pid, &status, options);
    } while (result < 0 && errno == EINTR);
    if (result != m_pid) {
        return false;
    }
    m_exited = true;
    m_exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return true;
}

Process::WaitResult Process::pollUntil(std::chrono::steady_clock::time_point deadline) {
    // Without pidfd support: check often at first, then back off to 10 ms.
    auto pause = std::chrono::microseconds(200);
    for (;;) {
        if (reap(WNOHANG)) {
            return WaitResult::Exited;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            return WaitResult::TimedOut;
        }
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(pause, deadline - now));
        pause = std::min(pause * 2, std::chrono::microseconds(10000));
    }
}

Process::WaitResult Process::wait(std::chrono::milliseconds timeout) {
    if (m_pid <= 0) {
        return WaitResult::Failed;
    }
    if (m_exited || reap(WNOHANG)) {
        return WaitResult::Exited;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    const fs::UniqueFd pidfd(pidfdOpen(m_pid));
    if (!pidfd.valid()) {
        return pollUntil(deadline);
    }
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd descriptor{pidfd.get(), POLLIN, 0};
        const int ready = ::poll(&descriptor, 1, static_cast<int>(std::max<long long>(0, left.count())));
        if (ready > 0) {
            return reap(0) ? WaitResult::Exited : WaitResult::Failed;
        }
        if (ready == 0) {
            return reap(WNOHANG) ? WaitResult::Exited : WaitResult::TimedOut;
        }
        if (errno != EINTR) {
            return WaitResult::Failed;
        }
    }
}

bool Process::isRunning() {
    return m_pid > 0 && !m_exited && !reap(WNOHANG);
}

} // namespace tachy
