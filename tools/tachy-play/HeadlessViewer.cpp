#include "tools/tachy-play/HeadlessViewer.h"

#include "audio/sound/CDxSoundEx.h"
#include "audio/sound/SoundBlockFeed.h"
#include "engine/ReplayCallback.h"
#include "platform/avi/AviStructures.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace tachy::play {

void HeadlessViewer::Callback(unsigned code, std::intptr_t param, void* data, void* user) {
    static_cast<HeadlessViewer*>(user)->Handle(code, param, data);
}

void HeadlessViewer::Handle(unsigned code, std::intptr_t param, void* data) {
    std::unique_lock<std::mutex> lock(m_mutex);
    ++m_counts[code];
    const auto rows = static_cast<std::intptr_t>(m_entries.size());
    switch (code) {
    case replay::kTimeListEntry:
        m_entries.push_back(*static_cast<CTimeList*>(data));
        break;
    case replay::kGetEntry: {
        auto& entry = *static_cast<CTimeList*>(data);
        if (param >= 0 && param < rows) {
            entry = m_entries[static_cast<std::size_t>(param)];
        } else {
            entry.m_nFirstFileNumber = {-1, -1, -1};
        }
        break;
    }
    case replay::kNextEntry:
        *static_cast<int*>(data) = param >= 0 && param < rows ? static_cast<int>(param) : -1;
        break;
    case replay::kCurrentEntry:
        *static_cast<int*>(data) = m_currentRow;
        break;
    case replay::kFirstSelected:
        *static_cast<int*>(data) = m_checked.empty() ? -1 : m_checked.front();
        break;
    case replay::kNextSelected: {
        const auto next = std::upper_bound(m_checked.begin(), m_checked.end(), static_cast<int>(param));
        *static_cast<int*>(data) = next == m_checked.end() ? -1 : *next;
        break;
    }
    case 170: {
        const int channel = static_cast<const _PICTURE_INFO*>(data)->nChannel;
        ++m_channelCounts[channel >= 0 && channel < 3 ? channel : 0];
        if (m_keepRecords) {
            m_sequence.push_back(channel);
        }
        break;
    }
    case 133: {
        const auto& frame = *static_cast<const _FRAME_INFO*>(data);
        const auto wall = std::chrono::duration_cast<std::chrono::milliseconds>(
                              std::chrono::steady_clock::now().time_since_epoch())
                              .count();
        ++m_pictureCount;
        if (m_keepRecords || m_pictures.size() < 2) {
            m_pictures.push_back({0, frame.llTime, frame.nFramePosition, wall});
        } else {
            m_pictures.back() = {0, frame.llTime, frame.nFramePosition, wall};
        }
        if (m_meter != nullptr) {
            MeasureDrift(frame.llTime, wall);
        }
        break;
    }
    case 180: {
        auto& block = *static_cast<_AUDIO_BLOCK*>(data);
        block.nResult = m_sound == nullptr ? 1 : AcceptSound(block);
        m_soundBlocks += block.nResult;
        break;
    }
    case 182:
        *static_cast<int*>(data) = m_sound == nullptr || m_sound->IsPlaying() == 0 ||
                                           m_sound->GetGap() < m_sound->GetGapThreshold()
                                       ? 1
                                       : 0;
        break;
    case 183:
        if (m_sound != nullptr) {
            m_sound->PlayStop();
        }
        break;
    case 70:
        static_cast<_PLAY_END_INFO*>(data)->nFlag = 0;
        break;
    default:
        break;
    }
    lock.unlock();
    m_changed.notify_all();
}

// The block through the output as the viewer plays it (under m_mutex): 1 when it was taken.
int HeadlessViewer::AcceptSound(const _AUDIO_BLOCK& block) {
    m_soundBytesPerSecond = block.nSampleRate * block.nBitsPerSample / 8;
    if (m_meter != nullptr) {
        m_meter->SetBytesPerSecond(m_soundBytesPerSecond);
    }
    // Dry stops before this block were under-runs: the engine still had sound to give.
    if (auto* output = dynamic_cast<CDxSoundEx*>(m_sound)) {
        m_underRuns = output->DryStops();
    }
    const SoundBlockFormat format{block.nFormat, block.nSampleRate, block.nBitsPerSample};
    return FeedSoundBlock(*m_sound, format, block.samples, block.nLength, block.nFlag) > 0 ? 1 : 0;
}

// The sound being heard now against the front picture being shown (under m_mutex). The sound's
// place is tied to the picture clock at the first picture after the device began to play, which
// takes the constant latency of the queue out; the drift is measured after the first second.
void HeadlessViewer::MeasureDrift(std::int64_t pictureMs, std::int64_t wallMs) {
    const std::uint64_t consumed = m_meter->Consumed();
    if (m_soundBytesPerSecond <= 0 || consumed == 0) {
        return;
    }
    const double played = static_cast<double>(consumed) * 1000.0 / m_soundBytesPerSecond;
    const double lag = m_meter->DeviceLagMs();
    if (!m_tied) {
        m_tied = true;
        m_firstSoundMs = static_cast<double>(pictureMs) - played;
        m_tieLagMs = lag;
        m_tieWall = wallMs;
        return;
    }
    if (wallMs - m_tieWall < 1000) {
        return;
    }
    const double heard = m_firstSoundMs + played;
    const double picture = static_cast<double>(pictureMs);
    m_maxDrift = std::max(m_maxDrift, std::abs(heard - picture));
    m_maxEngineDrift = std::max(m_maxEngineDrift, std::abs(heard + (lag - m_tieLagMs) - picture));
}

// The device's clock goes to the meter through the output's tick; a previous output keeps none.
void HeadlessViewer::SetSoundOutput(ISoundEx* output, SoundMeter* meter) {
    const std::lock_guard<std::mutex> guard(m_mutex);
    if (auto* previous = dynamic_cast<CDxSoundEx*>(m_sound)) {
        previous->SetDeviceTick(nullptr);
    }
    m_sound = output;
    m_meter = meter;
    if (auto* device = dynamic_cast<CDxSoundEx*>(output); device != nullptr && meter != nullptr) {
        device->SetDeviceTick([meter](std::size_t bytes) { meter->OnTick(bytes); });
    }
    // Full volume, as the viewer sets it when it binds its output.
    if (output != nullptr) {
        output->SetVolume(100);
    }
}

int HeadlessViewer::UnderRuns() {
    const std::lock_guard<std::mutex> guard(m_mutex);
    return m_underRuns;
}

double HeadlessViewer::MaxDriftMs() {
    const std::lock_guard<std::mutex> guard(m_mutex);
    return m_maxDrift;
}

double HeadlessViewer::MaxDriftWithoutDeviceLagMs() {
    const std::lock_guard<std::mutex> guard(m_mutex);
    return m_maxEngineDrift;
}

void HeadlessViewer::SetChecked(std::vector<int> rows) {
    std::sort(rows.begin(), rows.end());
    const std::lock_guard<std::mutex> guard(m_mutex);
    m_checked = std::move(rows);
}

void HeadlessViewer::SetCurrentRow(int row) {
    const std::lock_guard<std::mutex> guard(m_mutex);
    m_currentRow = row;
}

std::vector<HeadlessViewer::Shown> HeadlessViewer::Pictures() {
    const std::lock_guard<std::mutex> guard(m_mutex);
    return m_pictures;
}

void HeadlessViewer::SetKeepRecords(bool keep) {
    const std::lock_guard<std::mutex> guard(m_mutex);
    m_keepRecords = keep;
}

int HeadlessViewer::ChannelCount(int channel) {
    const std::lock_guard<std::mutex> guard(m_mutex);
    return channel >= 0 && channel < 3 ? m_channelCounts[channel] : 0;
}

std::size_t HeadlessViewer::PictureCount() {
    const std::lock_guard<std::mutex> guard(m_mutex);
    return m_pictureCount;
}

std::vector<int> HeadlessViewer::Sequence() {
    const std::lock_guard<std::mutex> guard(m_mutex);
    return m_sequence;
}

int HeadlessViewer::Count(unsigned code) {
    const std::lock_guard<std::mutex> guard(m_mutex);
    return m_counts[code];
}

int HeadlessViewer::SoundBlocks() {
    const std::lock_guard<std::mutex> guard(m_mutex);
    return m_soundBlocks;
}

bool HeadlessViewer::WaitForEnd(double seconds) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::duration<double>(seconds), [this] { return m_counts[70] > 0; });
}

bool HeadlessViewer::WaitForPictures(std::size_t count, double seconds) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::duration<double>(seconds),
                              [&] { return m_pictureCount >= count; });
}

void HeadlessViewer::Clear() {
    const std::lock_guard<std::mutex> guard(m_mutex);
    m_pictures.clear();
    m_sequence.clear();
    m_pictureCount = 0;
    std::fill(std::begin(m_channelCounts), std::end(m_channelCounts), 0);
    m_counts.clear();
    m_soundBlocks = 0;
}

} // namespace tachy::play
