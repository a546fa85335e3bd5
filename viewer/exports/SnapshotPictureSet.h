#pragma once
// The pictures of the three camera channels taken at one moment, and how many channels they
// count as: the highest channel with a picture, plus one.

#include <QImage>

#include <array>

class IIntrReplayEx;

namespace viewer::exports {

class SnapshotPictureSet {
public:
    static constexpr int kMaxChannels = 3;

    // The engine's current picture of every channel.
    static SnapshotPictureSet FromEngine(IIntrReplayEx& engine);

    // A picture outside 0..2 is ignored.
    void SetPicture(int channel, const QImage& picture);
    // Null when the channel has no picture.
    const QImage& Picture(int channel) const;
    bool HasPicture(int channel) const;
    // 0 when no channel has a picture.
    int ChannelCount() const;

private:
    std::array<QImage, kMaxChannels> m_pictures;
};

} // namespace viewer::exports
