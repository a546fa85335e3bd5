#pragma once
// The wizard's feeding thread: hands the test picture to the display over and over, with a
// 1 ms pause between rounds, until it is told to stop. Stopping is cooperative: the flag wakes
// the pause at once, and the caller waits a bounded time for the thread's end before it joins.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

class PictureFeeder {
public:
    using Feed = std::function<void()>;
    static constexpr std::chrono::milliseconds kPause{1};
    static constexpr std::chrono::milliseconds kStopBound{2000};

    explicit PictureFeeder(Feed feed);
    ~PictureFeeder();
    PictureFeeder(const PictureFeeder&) = delete;
    PictureFeeder& operator=(const PictureFeeder&) = delete;

    void Start();
    // Tells the thread to stop and waits at most `bound` for it to end; true when it did. A
    // thread still inside a round after the bound is logged and joined all the same (it is never
    // left running with the picture freed under it). Nothing to do when not running.
    bool Stop(std::chrono::milliseconds bound = kStopBound);
    bool IsRunning() const { return m_thread.joinable(); }
    // Rounds fed so far (any thread).
    std::uint64_t Rounds() const;

private:
    void Run();

    Feed m_feed; // immutable while the thread runs
    std::thread m_thread;
    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_stop = false;        // guarded by m_lock
    bool m_ended = false;       // guarded by m_lock
    std::uint64_t m_rounds = 0; // guarded by m_lock
};
