#include "viewer/exports/SnapshotPictureSet.h"

#include "viewer/exports/SnapshotPicture.h"

namespace viewer::exports {

SnapshotPictureSet SnapshotPictureSet::FromEngine(IIntrReplayEx& engine) {
    SnapshotPictureSet set;
    for (int channel = 0; channel < kMaxChannels; ++channel) {
        set.SetPicture(channel, SnapshotPicture::FromEngine(engine, channel));
    }
    return set;
}

void SnapshotPictureSet::SetPicture(int channel, const QImage& picture) {
    if (channel >= 0 && channel < kMaxChannels) {
        m_pictures[static_cast<std::size_t>(channel)] = picture;
    }
}

const QImage& SnapshotPictureSet::Picture(int channel) const {
    static const QImage none;
    if (channel < 0 || channel >= kMaxChannels) {
        return none;
    }
    return m_pictures[static_cast<std::size_t>(channel)];
}

bool SnapshotPictureSet::HasPicture(int channel) const {
    return !Picture(channel).isNull();
}

int SnapshotPictureSet::ChannelCount() const {
    for (int channel = kMaxChannels - 1; channel >= 0; --channel) {
        if (HasPicture(channel)) {
            return channel + 1;
        }
    }
    return 0;
}

} // namespace viewer::exports
