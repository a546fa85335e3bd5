#include "engine/CPlayThreadEx.h"

#include "engine/PlayerStates.h"

#include "picturedec/IVideoDecoder.h"
#include "platform/debug/DebugOut.h"

#include <algorithm>
#include <limits>

namespace {

using namespace player;

constexpr unsigned kPicture = 170;
constexpr unsigned kNoPicture = 171;
constexpr unsigned kPopup = 40;
constexpr unsigned kPopupNoPicture = 41;
constexpr unsigned kEndOfPlay = 70;
constexpr unsigned kFrameRecord = 133;
constexpr unsigned kSoundBlock = 180;
constexpr unsigned kMayQueueSound = 182;
constexpr unsigned kStopSound = 183;


} // namespace

CPlayThreadEx::CPlayThreadEx(std::array<CSearchDataEx*, kChannels> workers) : m_workers(workers) {
    m_thread = std::thread(&CPlayThreadEx::Loop, this);
}

CPlayThreadEx::~CPlayThreadEx() {
    m_state = kEnding;
    // Every pass of the loop is short; the join cannot wait long.
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void CPlayThreadEx::SetCallback(ReplayCallback callback, void* user) {
    m_callback = callback;
    m_user = user;
}

void CPlayThreadEx::Send(unsigned code, std::intptr_t param, void* data) {
    if (m_callback != nullptr) {
        m_callback(code, param, data, m_user);
    }
}

void CPlayThreadEx::SetState(int state) {
    const int previous = m_state.exchange(state);
    if (state != previous && state != kPaused && state != kStopped) {
        m_lastRunning = state;
    }
}

void CPlayThreadEx::SetChannelOffset(int channel, int milliseconds) {
    if (channel >= 0 && channel < kChannels) {
        m_offsets[static_cast<std::size_t>(channel)] = milliseconds;
    }
}

int CPlayThreadEx::ChannelOffset(int channel) const {
    return channel >= 0 && channel < kChannels ? m_offsets[static_cast<std::size_t>(channel)].load() : 0;
}

bool CPlayThreadEx::WaitIdle(std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> lock(m_idleLock);
    const bool idle = m_idleChanged.wait_for(lock, limit, [this] { return m_idle; });
    m_idle = false;  // auto-reset
    return idle;
}

std::shared_ptr<PictureRecord> CPlayThreadEx::Current(int channel) {
    const std::lock_guard<std::mutex> guard(m_currentLock);
    return channel >= 0 && channel < kChannels ? m_current[static_cast<std::size_t>(channel)] : nullptr;
}

void CPlayThreadEx::ClearCurrent() {
    FlushPictures();
    const std::lock_guard<std::mutex> guard(m_currentLock);
    for (auto& current : m_current) {
        current.reset();
    }
}

void CPlayThreadEx::FlushPictures() {
    for (CSearchDataEx* worker : m_workers) {
        if (worker != nullptr) {
            worker->FlushPictures();
        }
    }
}

bool CPlayThreadEx::AllWorkersStopped() const {
    return std::none_of(m_workers.begin(), m_workers.end(),
                        [](const CSearchDataEx* worker) { return worker != nullptr && worker->IsRunning(); });
}

void CPlayThreadEx::Loop() {
    auto previous = std::chrono::steady_clock::now();
    while (m_state != kEnding) {
        // Whole milliseconds since the last pass; the remainder is carried to the next pass so
        // that the clock does not lose the fractions of every pass.
        const auto passed = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - previous);
        const std::int64_t elapsed = passed.count();
        previous += passed;
        switch (m_state.load()) {
        case kStopped:
            Stopped();
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            break;
        case kForward:
            Forward(elapsed);
            break;
        case kBackward:
            Backward(elapsed);
            break;
        case kStepFrame:
        case kStepKey:
        case kStepKeyBack:
            Step();
            break;
        case kPaused:
            ShowCurrent();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            break;
        default:
            break;
        }
        if (m_soundActive && (m_speed != 1.0 || m_state != kForward)) {
            Send(kStopSound, 0, nullptr);
            m_soundActive = false;
        }
        if (!m_soundActive) {
            m_soundSync = -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void CPlayThreadEx::Stopped() {
    {
        const std::lock_guard<std::mutex> guard(m_idleLock);
        m_idle = true;
    }
    m_idleChanged.notify_all();
    if (m_lastRunning == 0) {
        return;
    }
    for (int channel = 0; channel < kChannels; ++channel) {
        Send(kNoPicture, channel, nullptr);
    }
    if (m_popup >= 0) {
        Send(kPopupNoPicture, 0, nullptr);
    }
    _PLAY_END_INFO end{m_lastRunning, m_searchType, m_workers[0] != nullptr && m_workers[0]->IsRunning() ? 1 : 0};
    Send(kEndOfPlay, 0, &end);
    if (end.nFlag == 0) {
        m_lastRunning = 0;
    }
}

// The display time (picture time plus the channel's offset) of the channel's oldest queued
// picture. A channel with none whose worker has stopped loses its current picture.
bool CPlayThreadEx::PeekDisplayTime(int channel, std::int64_t& display) {
    CSearchDataEx* worker = m_workers[static_cast<std::size_t>(channel)];
    std::int64_t time = 0;
    if (worker == nullptr || !worker->PeekPictureTime(time)) {
        if (worker == nullptr || !worker->IsRunning()) {
            NoPicture(channel);
        }
        return false;
    }
    display = time + ChannelOffset(channel);
    return true;
}

// With no picture queued anywhere and every worker stopped, play has ended.
void CPlayThreadEx::EndWhenDone(bool anyPicture) {
    if (anyPicture || !AllWorkersStopped()) {
        return;
    }
    const std::lock_guard<std::mutex> guard(m_currentLock);
    for (auto& current : m_current) {
        current.reset();
    }
    m_state = kStopped;
}

void CPlayThreadEx::NoPicture(int channel) {
    const auto c = static_cast<std::size_t>(channel);
    {
        const std::lock_guard<std::mutex> guard(m_currentLock);
        m_current[c].reset();
    }
    if (!m_noPictureSent[c]) {
        m_noPictureSent[c] = true;
        Send(kNoPicture, channel, nullptr);
    }
}

void CPlayThreadEx::Announce(int channel, const PictureRecord& record) {
    _PICTURE_INFO info{};
    info.nChannel = channel;
    info.picture = record.picture;
    info.nWidth = record.frame.nWidth;
    info.nHeight = record.frame.nHeight;
    info.nFrameFlag = record.frame.nFrameFlag;
    info.nFormat = record.frame.nFormat;
    std::copy(std::begin(record.frame.avData8to15), std::end(record.frame.avData8to15), info.avData8to15);
    std::copy(std::begin(record.frame.avData0to2), std::end(record.frame.avData0to2), info.avData0to2);
    Send(kPicture, 0, &info);
    if (channel == m_popup) {
        _POPUP_INFO popup{record.picture, record.frame.nWidth, record.frame.nHeight, record.frame.nFrameFlag,
                          m_sizeCode};
        Send(kPopup, channel, &popup);
    }
}

void CPlayThreadEx::Present(int channel, std::unique_ptr<PictureRecord> record) {
    std::shared_ptr<PictureRecord> shown(std::move(record));
    {
        const std::lock_guard<std::mutex> guard(m_currentLock);
        m_current[static_cast<std::size_t>(channel)] = shown;
    }
    m_noPictureSent[static_cast<std::size_t>(channel)] = false;
    Announce(channel, *shown);
    if (channel == 0) {
        _FRAME_INFO frame = shown->frame;
        Send(kFrameRecord, 0, &frame);
    }
}

void CPlayThreadEx::ShowCurrent() {
    for (int channel = 0; channel < kChannels; ++channel) {
        const std::shared_ptr<PictureRecord> current = Current(channel);
        if (current) {
            Announce(channel, *current);
        } else {
            Send(kNoPicture, channel, nullptr);
        }
    }
}

void CPlayThreadEx::Forward(std::int64_t elapsed) {
    const std::int64_t newClock =
        m_clock + static_cast<std::int64_t>(static_cast<double>(elapsed) * m_speed.load() + m_clockRemainder);
    Sound(newClock);
    // The clock waits for decoders that have nothing queued yet.
    int waiting = 0;
    for (CSearchDataEx* worker : m_workers) {
        waiting += worker != nullptr && worker->IsRunning() && worker->PictureCount() == 0 ? 1 : 0;
    }
    if (waiting > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(waiting));
        return;
    }
    Sweep(elapsed, 1);
}

void CPlayThreadEx::Backward(std::int64_t elapsed) {
    Sweep(elapsed, -1);
}

// Presents every picture whose display time the clock has reached, moving the clock by the
// elapsed time in the direction (1 forward, -1 backward). "Before" and "after" below are in the
// direction of play.
void CPlayThreadEx::Sweep(std::int64_t elapsed, int direction) {
    const double speed = m_speed;
    // The clock moves in whole milliseconds; the fraction is carried to the next pass, else a
    // pass of 1 ms at half speed would never move it.
    const double exact = static_cast<double>(elapsed) * speed + m_clockRemainder;
    const auto whole = static_cast<std::int64_t>(exact);
    m_clockRemainder = exact - static_cast<double>(whole);
    const std::int64_t advance = whole * direction;
    const std::int64_t oldClock = m_clock;
    std::int64_t newClock = oldClock + advance;
    const auto reached = [direction](std::int64_t time, std::int64_t clock) {
        return direction > 0 ? time <= clock : time >= clock;
    };
    const int sweeps = std::max(1, static_cast<int>(speed * 4)) + 1;
    bool havePending = false;
    std::int64_t pending = 0;  // the nearest display time still to come
    bool anyInFirstSweep = false;
    for (int sweep = 0; sweep < sweeps; ++sweep) {
        bool presented = false;
        for (int channel = 0; channel < kChannels; ++channel) {
            CSearchDataEx* worker = m_workers[static_cast<std::size_t>(channel)];
            std::int64_t display = 0;
            if (!PeekDisplayTime(channel, display)) {
                continue;
            }
            anyInFirstSweep = anyInFirstSweep || sweep == 0;
            if (reached(display, oldClock)) {
                newClock = speed > 1 ? display + advance : display;  // re-base on a late picture
            }
            if (reached(display, newClock)) {
                Present(channel, worker->TakePicture());
                presented = true;
            } else if (!havePending || reached(display, pending)) {
                pending = display;
                havePending = true;
            }
        }
        if (!presented) {
            break;
        }
    }
    m_clock = newClock;
    if (havePending && (pending - newClock) * direction > kJumpMs) {
        m_clock = pending;  // a long gap between recordings is skipped at once
    }
    EndWhenDone(anyInFirstSweep);
}

void CPlayThreadEx::Step() {
    // As in forward play, wait until every running decoder has its picture: otherwise a step
    // could show the rear picture and pause before the front one is ready.
    for (CSearchDataEx* worker : m_workers) {
        if (worker != nullptr && worker->IsRunning() && worker->PictureCount() == 0) {
            return;
        }
    }
    std::array<bool, kChannels> served{};
    bool any = false;
    for (int round = 0; round < 3; ++round) {
        int best = -1;
        std::int64_t bestTime = std::numeric_limits<std::int64_t>::max();
        for (int channel = 0; channel < kChannels; ++channel) {
            std::int64_t display = 0;
            if (!PeekDisplayTime(channel, display)) {
                continue;
            }
            any = true;
            if (display < bestTime) {
                bestTime = display;
                best = channel;
            }
        }
        if (best < 0 || served[static_cast<std::size_t>(best)]) {
            continue;
        }
        served[static_cast<std::size_t>(best)] = true;
        Present(best, m_workers[static_cast<std::size_t>(best)]->TakePicture());
        m_clock = bestTime;
        // A step shows at most one picture per channel.
        int expected = m_state.load();
        if (expected != kPaused && expected != kStopped && expected != kEnding) {
            m_state.compare_exchange_strong(expected, kPaused);
        }
    }
    EndWhenDone(any);
}

void CPlayThreadEx::SendBlock(const SoundBlock& block, int flag, bool& accepted) {
    _AUDIO_BLOCK audio{1, block.sampleRate, block.bitsPerSample, block.samples.data(),
                       static_cast<std::int32_t>(block.samples.size()), 0, flag};
    Send(kSoundBlock, 0, &audio);
    accepted = audio.nResult != 0;
}

void CPlayThreadEx::Sound(std::int64_t clock) {
    CSearchDataEx* worker = m_workers[CSearchDataEx::kAudioChannel];
    if (worker == nullptr) {
        return;
    }
    worker->WithSounds([&](std::deque<std::unique_ptr<SoundBlock>>& blocks) {
        const auto mayQueue = [&] {
            int answer = 0;
            Send(kMayQueueSound, 0, &answer);
            return answer != 0;
        };
        // In step with the same file: keep the viewer's queue filled in order.
        if (m_soundSync == 1 && !blocks.empty() && blocks.front()->fileNumber == m_lastSoundFile) {
            while (!blocks.empty() && mayQueue()) {
                bool accepted = false;
                SendBlock(*blocks.front(), 1, accepted);
                blocks.pop_front();
            }
            return;
        }
        bool accepted = false;
        while (!blocks.empty()) {
            const SoundBlock& block = *blocks.front();
            const int bytesPerSecond = block.sampleRate * block.bitsPerSample / 8;
            const std::int64_t duration =
                bytesPerSecond > 0 ? static_cast<std::int64_t>(block.samples.size()) * 1000 / bytesPerSecond : 0;
            if (block.timeMs + duration < clock && m_soundSync < 0) {
                blocks.pop_front();  // too late to be heard
                continue;
            }
            if (block.timeMs <= clock) {
                SendBlock(block, 1, accepted);
                m_soundActive = true;
                m_lastSoundFile = block.fileNumber;
                m_soundSync = 1;
                break;
            }
            m_soundSync = 0;
            break;
        }
        if (!accepted) {
            return;
        }
        blocks.pop_front();
        for (int more = 0; more < 3 && !blocks.empty() && mayQueue(); ++more) {
            bool taken = false;
            SendBlock(*blocks.front(), more == 0 ? 0 : 1, taken);
            blocks.pop_front();
        }
    });
}

bool CPlayThreadEx::Realign(int direction) {
    for (int channel = 0; channel < kChannels; ++channel) {
        const std::shared_ptr<PictureRecord> current = Current(channel);
        CSearchDataEx* worker = m_workers[static_cast<std::size_t>(channel)];
        if (!current || worker == nullptr) {
            continue;
        }
        if (!worker->Realign(current->entry, current->listIndex, direction, current->frame.nFramePosition)) {
            return false;
        }
    }
    return true;
}

int CPlayThreadEx::GotoTimeSearch(int keyIndex) {
    if (m_state != kPaused) {
        return 0;
    }
    std::int64_t earliest = std::numeric_limits<std::int64_t>::max();
    std::int64_t channel0Time = 0;
    for (int channel = 0; channel < kChannels; ++channel) {
        CSearchDataEx* worker = m_workers[static_cast<std::size_t>(channel)];
        if (worker == nullptr) {
            continue;
        }
        auto record = channel == 0 ? worker->DecodeKeyFrame(keyIndex, -1)
                                   : worker->DecodeKeyFrame(-1, (channel0Time + ChannelOffset(channel)) / 1000);
        if (!record) {
            if (channel == 0) {
                return 0;
            }
            continue;
        }
        if (channel == 0) {
            channel0Time = record->frame.llTime;
        }
        earliest = std::min(earliest, record->frame.llTime + ChannelOffset(channel));
        Present(channel, std::move(record));
    }
    m_clock = earliest;
    return 1;
}
