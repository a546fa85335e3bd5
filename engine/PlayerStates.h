#pragma once
// The player states: the same values drive the manager, the playback thread and the workers.

namespace player {

constexpr int kStopped = 0;
constexpr int kForward = 2;
constexpr int kBackward = 3;     // key frames
constexpr int kStepFrame = 4;    // one frame forward, then paused
constexpr int kStepKey = 5;      // one key frame forward, then paused
constexpr int kStepKeyBack = 7;  // one key frame backward, then paused
constexpr int kPaused = 8;
constexpr int kEnding = 10;      // the playback thread is to end

} // namespace player
