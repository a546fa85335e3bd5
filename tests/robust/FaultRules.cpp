#include "tests/robust/FaultRules.h"

#include <fstream>
#include <sys/stat.h>

FaultRules::FaultRules(std::string controlFile) : m_controlFile(std::move(controlFile)) {}

void FaultRules::Refresh() {
    struct stat status {};
    if (::stat(m_controlFile.c_str(), &status) != 0) {
        m_failingReads.clear();
        m_failAll = false;
        return;
    }
    if (status.st_mtim.tv_sec == m_seen.tv_sec && status.st_mtim.tv_nsec == m_seen.tv_nsec &&
        status.st_size == m_seenSize) {
        return;
    }
    m_seen = status.st_mtim;
    m_seenSize = status.st_size;
    m_failingReads.clear();
    m_failAll = false;
    std::ifstream control(m_controlFile);
    std::string line;
    while (std::getline(control, line)) {
        if (line == "all") {
            m_failAll = true;
        } else if (line.rfind("read ", 0) == 0) {
            m_failingReads.insert("/" + line.substr(5));
        }
    }
}

bool FaultRules::FailsRead(const std::string& path) {
    const std::lock_guard<std::mutex> guard(m_mutex);
    Refresh();
    return m_failAll || m_failingReads.count(path) > 0;
}

bool FaultRules::FailsAll(const std::string& path) {
    const std::lock_guard<std::mutex> guard(m_mutex);
    Refresh();
    return m_failAll && path != "/";
}

bool FaultRules::FailsListing() {
    const std::lock_guard<std::mutex> guard(m_mutex);
    Refresh();
    return m_failAll;
}
