#pragma once
// From a position on the play bar's slider (a frame number of the playing file) to the key
// frame the engine seeks to. The file's frames are taken as spread evenly over its key frames:
// frames per key frame = frames / key frames, rounded up.

namespace viewer::playbar {

class KeyframeMapping {
public:
    // frames * 100 / keyframes (integer division), then divided by 100 and rounded up; at
    // least 1, so that a file without key frames or frames never divides by zero.
    static int FramesPerKeyframe(int frameCount, int keyframeCount);

    void SetFile(int frameCount, int keyframeCount);

    // position / frames per key frame, capped at the last key frame; 0 for a file without
    // key frames and for negative positions.
    int KeyframeAt(int position) const;

    int FrameCount() const { return m_frameCount; }
    int KeyframeCount() const { return m_keyframeCount; }
    int FramesPerKeyframe() const { return m_framesPerKeyframe; }

private:
    int m_frameCount = 0;
    int m_keyframeCount = 0;
    int m_framesPerKeyframe = 1;
};

} // namespace viewer::playbar
