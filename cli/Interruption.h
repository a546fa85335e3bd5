#pragma once
// Ctrl-C (SIGINT) and SIGTERM during long work: while an Interruption lives, either signal only
// sets a flag that the work's loop reads, so that the command stops at its next step, removes
// its temporary file and ends with its own message. A second signal ends the program at once.
// The former handlers come back when it goes.

#include <csignal>

namespace tachy::cli {

class Interruption {
public:
    Interruption();
    ~Interruption();
    Interruption(const Interruption&) = delete;
    Interruption& operator=(const Interruption&) = delete;

    // Whether SIGINT or SIGTERM arrived since this Interruption began.
    bool Requested() const;
    // 128 + the signal's number, as shells report a program that a signal ended: 130 for
    // Ctrl-C, 143 for SIGTERM.
    int ExitCode() const;

private:
    struct sigaction m_formerInterrupt {};
    struct sigaction m_formerTerminate {};
};

} // namespace tachy::cli
