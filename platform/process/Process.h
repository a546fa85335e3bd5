#pragma once
// A child process started in its own process group, with a bounded wait for its end. Destroying
// the object neither kills nor waits for the child.

#include <chrono>
#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tachy {

class Process {
public:
    enum class WaitResult { Exited, TimedOut, Failed };

    Process() = default;
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;

    // Starts `program` (a path, or a name looked up in PATH when it holds no slash) with the
    // arguments, in `workingFolder` when given. With `outputFile`, the child's standard output
    // and error go to that file (created or truncated). False when it could not be started.
    bool start(const std::filesystem::path& program, const std::vector<std::string>& arguments,
               const std::filesystem::path& workingFolder = {},
               const std::filesystem::path& outputFile = {});

    // Waits at most `timeout` for the process to end; Failed when none was started.
    WaitResult wait(std::chrono::milliseconds timeout);

    bool isRunning();
    pid_t pid() const { return m_pid; }
    // The exit status after Exited: the code, or 128 + signal number when a signal ended it.
    int exitCode() const { return m_exitCode; }

private:
    bool reap(int options);
    WaitResult pollUntil(std::chrono::steady_clock::time_point deadline);

    pid_t m_pid = -1;
    bool m_exited = false;
    int m_exitCode = -1;
};

} // namespace tachy
