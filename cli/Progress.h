#pragma once
// Progress of long work on stderr ("label: done/total"), rewritten in place; shown only when
// stderr is a terminal or when asked for (--progress), so that scripts and logs stay clean.

#include <string>

namespace tachy::cli {

class Progress {
public:
    Progress(std::string label, bool asked);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // One more step done; `total` 0 when the total is not known.
    void Step(int total = 0);
    void Set(int done, int total);
    // Ends the line (also done by the destructor).
    void Finish();
    bool Shown() const { return m_shown; }

private:
    std::string m_label;
    bool m_shown = false;
    bool m_written = false;
    int m_done = 0;
};

} // namespace tachy::cli
