#include "viewer/main/SoundFeed.h"

#include "audio/sound/ISoundEx.h"
#include "audio/sound/SoundBlockFeed.h"
#include "platform/debug/DebugOut.h"

namespace viewer {

SoundFeed::SoundFeed() = default;

SoundFeed::~SoundFeed() {
    Close();
}

void SoundFeed::Open(QWidget* window, int volume, int mute) {
    const std::lock_guard<std::mutex> guard(m_lock);
    m_sound = ISoundEx::Create();
    // No sound device (a machine without one): the viewer plays without sound.
    if (m_sound && m_sound->CreateDxSound(window) == 0) {
        tachy::DebugOut::write("tachyPlayer: no sound output\n");
    }
    if (m_sound) {
        m_sound->SetVolume(volume);
        m_sound->SetMute(mute);
    }
}

void SoundFeed::Close() {
    const std::lock_guard<std::mutex> guard(m_lock);
    if (m_sound) {
        m_sound->PlayStop();
        m_sound->DeleteDxSound();
        m_sound.reset();
    }
}

void SoundFeed::SetVolume(int volume) {
    const std::lock_guard<std::mutex> guard(m_lock);
    if (m_sound) {
        m_sound->SetVolume(volume);
    }
}

// A format the device refused is not asked for again with every block: opening a missing
// device takes long enough to hold up the pictures.
void SoundFeed::Feed(_AUDIO_BLOCK& block) {
    const std::uint64_t key = (static_cast<std::uint64_t>(block.nSampleRate) << 16) |
                              (static_cast<std::uint64_t>(block.nBitsPerSample & 0xFF) << 8) |
                              static_cast<std::uint64_t>(block.nFormat & 0xFF);
    const std::lock_guard<std::mutex> guard(m_lock);
    if (!m_sound || key == m_refusedFormat) {
        block.nResult = 0;
        return;
    }
    const int result =
        FeedSoundBlock(*m_sound, {block.nFormat, block.nSampleRate, block.nBitsPerSample},
                       block.samples, block.nLength, block.nFlag);
    m_refusedFormat = result < 0 ? key : 0;
    block.nResult = result > 0 ? 1 : 0;
}

int SoundFeed::CanTakeMore() {
    const std::lock_guard<std::mutex> guard(m_lock);
    if (!m_sound || m_sound->IsPlaying() == 0) {
        return 1;
    }
    return m_sound->GetGap() < m_sound->GetGapThreshold() ? 1 : 0;
}

void SoundFeed::Stop() {
    const std::lock_guard<std::mutex> guard(m_lock);
    if (m_sound) {
        m_sound->PlayStop();
    }
}

} // namespace viewer
