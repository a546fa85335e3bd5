#pragma once
// The replay engine's one callback, routed by its code to the viewer's handler for that kind of
// notice (EngineEvents). Runs on the engine's threads and keeps no state of its own beyond the
// handler it routes to.

#include <cstdint>

class IIntrReplayEx;

namespace viewer {

class EngineEvents;

class EngineEventRouter {
public:
    // The engine's notice codes the viewer answers.
    enum Code : unsigned {
        kListRebuilt = 0,
        kPlaybackStopped = 20,
        kPlayEnd = 70,
        kListLoaded = 120,
        kListLoading = 121,
        kListEntry = 122,
        kFrameInfo = 133,
        kListEntryAt = 140,
        kListRowCheck = 141,
        kListSelectedRow = 142,
        kPicture = 170,
        kNoPicture = 171,
        kSoundBlock = 180,
        kSoundCanTakeMore = 182,
        kSoundEnd = 183,
        kUnreadableFile = 200,
    };

    explicit EngineEventRouter(EngineEvents& handler);
    EngineEventRouter(const EngineEventRouter&) = delete;
    EngineEventRouter& operator=(const EngineEventRouter&) = delete;

    // Makes this router the engine's callback; it must outlive the engine's workers.
    void Bind(IIntrReplayEx& engine);
    void Route(unsigned code, std::intptr_t param, void* payload);

private:
    static void Callback(unsigned code, std::intptr_t param, void* data, void* user);

    EngineEvents& m_handler;
};

} // namespace viewer
