#pragma once
// The map's connectivity worker: a thread that runs the reachability check when asked and tells
// the map's owner, through the status callback, when an offline map finds the Internet.
//
// Its events are auto-reset: a check asked for while one runs is run once more afterwards. The
// stop is cooperative: a check under way is cancelled, and the owner waits a bounded time. A
// thread still inside a name look-up then finishes on its own; it holds only the shared state,
// and its callback has been taken away.

#include "viewer/map/IWndMap.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

namespace viewer::map {

class MapConnectivity {
public:
    MapConnectivity(std::string host, std::string fallbackHost);
    ~MapConnectivity();
    MapConnectivity(const MapConnectivity&) = delete;
    MapConnectivity& operator=(const MapConnectivity&) = delete;

    void SetStatusCallback(MapStatusCallback callback, void* user);
    // Starts the worker (once).
    void Start();
    // Signals the check event.
    void RequestCheck();
    // Signals the exit event and waits at most `wait` for the worker to end.
    void Stop(std::chrono::milliseconds wait = std::chrono::milliseconds(1000));

    // The check, run now on the calling thread.
    int CheckNow();

    // The map's online flag: the worker reports only a change from offline to online.
    void SetOnline(bool online);
    bool Online() const;

    // Checks the worker has run (for tests).
    int ChecksRun() const;

private:
    struct Shared;
    static void Run(std::shared_ptr<Shared> shared);

    std::shared_ptr<Shared> m_shared;
    std::thread m_thread;
};

} // namespace viewer::map
