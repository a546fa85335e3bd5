#include "tests/robust/FaultMount.h"

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

namespace tachy::robust {

bool isMountPoint(const std::filesystem::path& path) {
    std::ifstream table("/proc/self/mountinfo");
    std::string line;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string id, parent, device, root, point;
        fields >> id >> parent >> device >> root >> point;
        if (point == path.string()) {
            return true;
        }
    }
    return false;
}

FaultMount::FaultMount(const std::filesystem::path& source, const std::filesystem::path& mountPoint,
                       const std::filesystem::path& controlFile)
    : m_mountPoint(std::filesystem::absolute(mountPoint)), m_controlFile(controlFile) {
    std::filesystem::create_directories(m_mountPoint);
    std::ofstream(m_controlFile).flush();
    if (!m_process.start(TACHY_FAULTFS,
                         {source.string(), m_mountPoint.string(), m_controlFile.string()}, {},
                         m_mountPoint.parent_path() / "faultfs.log")) {
        return;
    }
    // The mount appears within moments; a file system that ends first has failed.
    for (int tries = 0; tries < 200 && !m_mounted; ++tries) {
        m_mounted = isMountPoint(m_mountPoint);
        if (!m_mounted && !m_process.isRunning()) {
            return;
        }
        if (!m_mounted) {
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
    }
}

FaultMount::~FaultMount() {
    if (m_process.pid() <= 0) {
        return;
    }
    tachy::Process unmount;
    if (unmount.start("fusermount3", {"-u", "-z", m_mountPoint.string()})) {
        unmount.wait(std::chrono::milliseconds(10000));
    }
    m_process.wait(std::chrono::milliseconds(10000));
}

void FaultMount::AddRule(const std::string& line) {
    std::ofstream(m_controlFile, std::ios::app) << line << '\n';
}

void FaultMount::FailReads(const std::string& relative) {
    AddRule("read " + relative);
}

void FaultMount::FailAll() {
    AddRule("all");
}

} // namespace tachy::robust
