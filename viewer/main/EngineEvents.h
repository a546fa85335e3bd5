#pragma once
// What the viewer does with each kind of replay-engine notice, as the engine-event router hands
// them out. Every function is called on an engine thread: implementations take their own locks
// and queue widget work to the GUI thread.

#include "engine/EngineRecords.h"

#include <cstdint>

namespace viewer {

class EngineEvents {
public:
    virtual ~EngineEvents() = default;

    // The recording list's notices and questions (loading, rebuilt, entry, row checks, the
    // selected row): the list answers through `payload`.
    virtual void OnListEvent(unsigned code, std::intptr_t param, void* payload) = 0;
    // Playback stopped inside the engine.
    virtual void OnPlaybackStopped() = 0;
    // The end of play was reached (the engine was already told not to notify again).
    virtual void OnPlayEnd() = 0;
    // The record of the front or rear picture being shown, with its driving data.
    virtual void OnFrameInfo(_FRAME_INFO& frame) = 0;
    virtual void OnPicture(const _PICTURE_INFO& picture) = 0;
    // A channel has no picture for this moment.
    virtual void OnNoPicture(int channel) = 0;
    // A block of sound to play; the result goes into the block.
    virtual void OnSoundBlock(_AUDIO_BLOCK& block) = 0;
    // 1 when the sound output can take another block now.
    virtual int SoundCanTakeMore() = 0;
    virtual void OnSoundEnd() = 0;
    // A stream file the engine cannot read.
    virtual void OnUnreadableFile(const char* file) = 0;
};

} // namespace viewer
