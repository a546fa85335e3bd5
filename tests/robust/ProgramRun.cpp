#include "tests/robust/ProgramRun.h"

#include "platform/process/Process.h"
#include "tests/support/TempFolder.h"

#include <csignal>
#include <thread>

namespace tachy::robust {

RunResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                     const std::filesystem::path& outputFile, std::chrono::seconds limit,
                     const std::function<void(pid_t)>& meanwhile) {
    RunResult result;
    tachy::Process process;
    if (!process.start(program, arguments, {}, outputFile)) {
        return result;
    }
    if (meanwhile) {
        meanwhile(process.pid());
    }
    if (process.wait(limit) == tachy::Process::WaitResult::TimedOut) {
        result.hung = true;
        ::kill(-process.pid(), SIGKILL);
        process.wait(std::chrono::seconds(10));
    }
    result.exitCode = process.exitCode();
    result.output = tachy::test::readAll(outputFile);
    return result;
}

namespace {

bool holdsFileUnder(pid_t pid, const std::string& folder) {
    std::error_code error;
    const std::filesystem::path descriptors = "/proc/" + std::to_string(pid) + "/fd";
    for (auto it = std::filesystem::directory_iterator(descriptors, error);
         !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        std::error_code linkError;
        const std::string target = std::filesystem::read_symlink(it->path(), linkError).string();
        if (!linkError && target.rfind(folder, 0) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace

bool waitForOpenFileUnder(pid_t pid, const std::filesystem::path& folder,
                          std::chrono::milliseconds limit) {
    const std::string prefix = std::filesystem::absolute(folder).string() + "/";
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (holdsFileUnder(pid, prefix)) {
            return true;
        }
        if (!std::filesystem::exists("/proc/" + std::to_string(pid))) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

bool waitForText(const std::filesystem::path& file, const std::string& text,
                 std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (tachy::test::readAll(file).find(text) != std::string::npos) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

} // namespace tachy::robust
