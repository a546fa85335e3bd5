#pragma once
// Progress of work measured in milliseconds of recording on stderr ("label: 45% (27 s of 60 s),
// about 12 s left"), the time left estimated from the pace so far; shown only when stderr is a
// terminal or when asked for (--progress), rewritten in place at most every half percent.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace tachy::cli {

class EstimatedProgress {
public:
    EstimatedProgress(std::string label, bool asked, std::int64_t totalMs);
    ~EstimatedProgress();
    EstimatedProgress(const EstimatedProgress&) = delete;
    EstimatedProgress& operator=(const EstimatedProgress&) = delete;

    void Set(std::int64_t doneMs);
    // The time left at the pace so far: `spentSeconds` for `doneMs` of `totalMs`; nothing
    // before any work is done or after all is.
    static std::optional<double> SecondsLeft(double spentSeconds, std::int64_t doneMs,
                                             std::int64_t totalMs);
    // Ends the line (also done by the destructor).
    void Finish();

private:
    std::string m_label;
    bool m_shown = false;
    bool m_written = false;
    std::int64_t m_totalMs = 0;
    int m_lastPermille = -1;
    std::chrono::steady_clock::time_point m_start;
};

} // namespace tachy::cli
