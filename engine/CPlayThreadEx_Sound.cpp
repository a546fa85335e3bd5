// CPlayThreadEx: channel 0's sound, fed to the viewer in step with the playback clock.

#include "engine/CPlayThreadEx.h"

#include "engine/PlayerStates.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr unsigned kSoundBlock = 180;
constexpr unsigned kMayQueueSound = 182;
constexpr unsigned kStopSound = 183;

// Sound and pictures may part by this much (clock time held back while sound played on) before
// the sound is stopped and started again in step.
constexpr std::int64_t kSoundSlipLimitMs = 30;
// While sound waits for room in the viewer's queue, it is offered again this often.
constexpr std::chrono::milliseconds kSoundRetry{10};

} // namespace

// The clock was held back by `milliseconds` while sound played on. Past the limit the sound is
// stopped; the next pass starts it again at the clock.
void CPlayThreadEx::SoundSlipped(std::int64_t milliseconds) {
    if (!m_soundActive || milliseconds <= 0) {
        return;
    }
    m_soundSlipMs += milliseconds;
    if (m_soundSlipMs > kSoundSlipLimitMs) {
        Send(kStopSound, 0, nullptr);
        m_soundActive = false;
        m_soundSync = -1;
        m_soundSlipMs = 0;
    }
}

bool CPlayThreadEx::SendBlock(const SoundBlock& block, int flag) {
    _AUDIO_BLOCK audio{1, block.sampleRate, block.bitsPerSample, block.samples.data(),
                       static_cast<std::int32_t>(block.samples.size()), 0, flag};
    Send(kSoundBlock, 0, &audio);
    return audio.nResult != 0;
}

bool CPlayThreadEx::MayQueueSound() {
    int answer = 0;
    Send(kMayQueueSound, 0, &answer);
    return answer != 0;
}

// Channel 0's sound up to the clock. Blocks are taken out of the queue to be offered, so that
// no queue lock is held while the viewer is called; a block not taken goes back in front.
// Returns how soon sound wants another look (kUntilWoken when it has nothing waiting).
CPlayThreadEx::Nap CPlayThreadEx::Sound(std::int64_t clock) {
    CSearchDataEx* worker = m_workers[CSearchDataEx::kAudioChannel];
    if (worker == nullptr) {
        return kUntilWoken;
    }
    ChannelQueues& queues = worker->Queues();
    std::uint64_t generation = 0;
    std::unique_ptr<SoundBlock> block = queues.TakeSound(generation);
    if (!block) {
        return kUntilWoken;
    }
    // In step with the same file: keep the viewer's queue filled in order.
    if (m_soundSync == 1 && block->fileNumber == m_lastSoundFile) {
        while (block && MayQueueSound()) {
            SendBlock(*block, 1);
            queues.RecycleSound(std::move(block));
            block = queues.TakeSound(generation);
        }
        if (block) {
            queues.ReturnSound(std::move(block), generation);
            return kSoundRetry;
        }
        return kUntilWoken;
    }
    bool accepted = false;
    while (block) {
        const int bytesPerSecond = block->sampleRate * block->bitsPerSample / 8;
        const std::int64_t duration =
            bytesPerSecond > 0 ? static_cast<std::int64_t>(block->samples.size()) * 1000 / bytesPerSecond : 0;
        if (block->timeMs + duration < clock && m_soundSync < 0) {
            queues.RecycleSound(std::move(block));  // too late to be heard
            block = queues.TakeSound(generation);
            continue;
        }
        if (block->timeMs <= clock) {
            // Starting in the middle of a block: its part before the clock is left out, so that
            // the sound begins where the pictures are.
            const std::int64_t late = std::min<std::int64_t>(clock - block->timeMs, duration);
            const auto skip = static_cast<std::size_t>(late * bytesPerSecond / 1000) & ~std::size_t{3};
            if (m_soundSync < 0 && skip > 0 && skip < block->samples.size()) {
                block->samples.erase(block->samples.begin(), block->samples.begin() + static_cast<long>(skip));
                block->timeMs += late;
            }
            accepted = SendBlock(*block, 1);
            m_soundActive = true;
            m_lastSoundFile = block->fileNumber;
            m_soundSync = 1;
            break;
        }
        m_soundSync = 0;
        const auto due = Nap(std::max<std::int64_t>(1, block->timeMs - clock));
        queues.ReturnSound(std::move(block), generation);
        return due;
    }
    if (!block) {
        return kUntilWoken;
    }
    if (!accepted) {
        queues.ReturnSound(std::move(block), generation);
        return kSoundRetry;
    }
    queues.RecycleSound(std::move(block));
    for (int more = 0; more < 3; ++more) {
        block = queues.TakeSound(generation);
        if (!block) {
            return kUntilWoken;
        }
        if (!MayQueueSound()) {
            queues.ReturnSound(std::move(block), generation);
            return kSoundRetry;
        }
        SendBlock(*block, more == 0 ? 0 : 1);
        queues.RecycleSound(std::move(block));
    }
    return queues.SoundCount() > 0 ? kSoundRetry : kUntilWoken;
}

