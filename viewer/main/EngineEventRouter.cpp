#include "viewer/main/EngineEventRouter.h"

#include "engine/EngineRecords.h"
#include "engine/IIntrReplayEx.h"
#include "viewer/main/EngineEvents.h"

namespace viewer {

EngineEventRouter::EngineEventRouter(EngineEvents& handler) : m_handler(handler) {}

void EngineEventRouter::Bind(IIntrReplayEx& engine) {
    engine.SetCallback(&EngineEventRouter::Callback, this);
}

void EngineEventRouter::Callback(unsigned code, std::intptr_t param, void* data, void* user) {
    static_cast<EngineEventRouter*>(user)->Route(code, param, data);
}

void EngineEventRouter::Route(unsigned code, std::intptr_t param, void* payload) {
    switch (code) {
    case kListRebuilt:
    case kListLoaded:
    case kListLoading:
    case kListEntry:
    case kListEntryAt:
    case kListRowCheck:
    case kListSelectedRow:
        m_handler.OnListEvent(code, param, payload);
        break;
    case kPlaybackStopped:
        m_handler.OnPlaybackStopped();
        break;
    case kPlayEnd:
        // No further end notices for this play.
        static_cast<_PLAY_END_INFO*>(payload)->nFlag = 0;
        m_handler.OnPlayEnd();
        break;
    case kFrameInfo:
        m_handler.OnFrameInfo(*static_cast<_FRAME_INFO*>(payload));
        break;
    case kPicture:
        m_handler.OnPicture(*static_cast<const _PICTURE_INFO*>(payload));
        break;
    case kNoPicture:
        m_handler.OnNoPicture(static_cast<int>(param));
        break;
    case kSoundBlock:
        m_handler.OnSoundBlock(*static_cast<_AUDIO_BLOCK*>(payload));
        break;
    case kSoundCanTakeMore:
        *static_cast<int*>(payload) = m_handler.SoundCanTakeMore();
        break;
    case kSoundEnd:
        m_handler.OnSoundEnd();
        break;
    case kUnreadableFile:
        m_handler.OnUnreadableFile(static_cast<const char*>(payload));
        break;
    default:
        break;
    }
}

} // namespace viewer
