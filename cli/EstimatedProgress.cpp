#include "cli/EstimatedProgress.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace tachy::cli {

EstimatedProgress::EstimatedProgress(std::string label, bool asked, std::int64_t totalMs)
    : m_label(std::move(label)), m_shown(asked || isatty(STDERR_FILENO) == 1),
      m_totalMs(std::max<std::int64_t>(1, totalMs)), m_start(std::chrono::steady_clock::now()) {}

EstimatedProgress::~EstimatedProgress() {
    Finish();
}

void EstimatedProgress::Set(std::int64_t doneMs) {
    doneMs = std::clamp<std::int64_t>(doneMs, 0, m_totalMs);
    const int permille = static_cast<int>(doneMs * 1000 / m_totalMs);
    if (!m_shown || permille < m_lastPermille + 5) {
        return;
    }
    m_lastPermille = permille;
    const double spent =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
    std::fprintf(stderr, "\r%s: %d%% (%lld s of %lld s)", m_label.c_str(), permille / 10,
                 static_cast<long long>(doneMs / 1000), static_cast<long long>(m_totalMs / 1000));
    if (const auto left = SecondsLeft(spent, doneMs, m_totalMs)) {
        std::fprintf(stderr, ", about %.0f s left  ", *left);
    } else {
        std::fputs("                  ", stderr);
    }
    std::fflush(stderr);
    m_written = true;
}

std::optional<double> EstimatedProgress::SecondsLeft(double spentSeconds, std::int64_t doneMs,
                                                     std::int64_t totalMs) {
    if (doneMs <= 0 || doneMs >= totalMs) {
        return std::nullopt;
    }
    return spentSeconds * static_cast<double>(totalMs - doneMs) / static_cast<double>(doneMs);
}

void EstimatedProgress::Finish() {
    if (m_written) {
        std::fputc('\n', stderr);
        m_written = false;
    }
}

} // namespace tachy::cli
