#include "cli/Progress.h"

#include <cstdio>
#include <unistd.h>

namespace tachy::cli {

Progress::Progress(std::string label, bool asked)
    : m_label(std::move(label)), m_shown(asked || isatty(STDERR_FILENO) == 1) {}

Progress::~Progress() {
    Finish();
}

void Progress::Step(int total) {
    Set(m_done + 1, total);
}

void Progress::Set(int done, int total) {
    m_done = done;
    if (!m_shown) {
        return;
    }
    if (total > 0) {
        std::fprintf(stderr, "\r%s: %d/%d", m_label.c_str(), done, total);
    } else {
        std::fprintf(stderr, "\r%s: %d", m_label.c_str(), done);
    }
    std::fflush(stderr);
    m_written = true;
}

void Progress::Finish() {
    if (m_written) {
        std::fputc('\n', stderr);
        m_written = false;
    }
}

} // namespace tachy::cli
