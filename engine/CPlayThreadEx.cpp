#include "engine/CPlayThreadEx.h"

#include "engine/PlayerStates.h"

#include "picturedec/IVideoDecoder.h"
#include "platform/debug/DebugOut.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

using namespace player;

constexpr unsigned kPicture = 170;
constexpr unsigned kNoPicture = 171;
constexpr unsigned kPopup = 40;
constexpr unsigned kPopupNoPicture = 41;
constexpr unsigned kEndOfPlay = 70;
constexpr unsigned kFrameRecord = 133;
constexpr unsigned kStopSound = 183;

// How long the end-of-play notices repeat while the viewer keeps their flag set.
constexpr std::chrono::milliseconds kNoticeInterval{50};
// A running channel with nothing queued holds the clock at most this long; after it the others
// go on and the channel catches up when it has pictures again.
constexpr std::chrono::milliseconds kDecoderGrace{1000};
// How long the destructor waits for the thread, in rounds (each logged when it runs out).
constexpr std::chrono::milliseconds kEndWait{1000};
constexpr int kEndRounds = 10;

} // namespace

CPlayThreadEx::CPlayThreadEx(std::array<CSearchDataEx*, kChannels> workers) : m_workers(workers) {
    for (CSearchDataEx* worker : m_workers) {
        if (worker != nullptr) {
            worker->Queues().SetListener([this] { Wake(); });
            worker->SetEndListener([this] { Wake(); });
        }
    }
    m_thread = std::thread(&CPlayThreadEx::Loop, this);
}

CPlayThreadEx::~CPlayThreadEx() {
    m_state = kEnding;
    Wake();
    for (int round = 0; round < kEndRounds; ++round) {
        std::unique_lock<std::mutex> lock(m_wakeLock);
        if (m_wake.wait_for(lock, kEndWait, [this] { return m_ended; })) {
            break;
        }
        tachy::DebugOut::printf("playback thread has not ended after %d s\n", round + 1);
    }
    if (m_thread.joinable()) {
        m_thread.join();
    }
    for (CSearchDataEx* worker : m_workers) {
        if (worker != nullptr) {
            worker->Queues().SetListener(nullptr);
            worker->SetEndListener(nullptr);
        }
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
    if (state == kStopped) {
        // A wait for the idle signal waits for a stopped pass that follows this change.
        const std::lock_guard<std::mutex> guard(m_idleLock);
        m_idle = false;
    }
    {
        // The state and the last running state change together, so that the thread never
        // pairs a state it read before the change with a last running state set by it.
        const std::lock_guard<std::mutex> guard(m_stateLock);
        const int previous = m_state.exchange(state);
        if (state != previous && state != kPaused && state != kStopped) {
            m_lastRunning = state;
        }
    }
    Wake();
}

void CPlayThreadEx::SetSpeed(double speed) {
    m_speed = speed;
    Wake();
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

bool CPlayThreadEx::WaitForState(int state, std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> lock(m_wakeLock);
    return m_wake.wait_for(lock, limit, [&] { return m_executed == state || m_ended; });
}

void CPlayThreadEx::Wake() {
    {
        const std::lock_guard<std::mutex> guard(m_wakeLock);
        ++m_wakeups;
    }
    m_wake.notify_all();
}

void CPlayThreadEx::MarkExecuted(int state) {
    {
        const std::lock_guard<std::mutex> guard(m_wakeLock);
        m_executed = state;
    }
    m_wake.notify_all();
}

// Sleeps for the nap, or until woken; a nap of zero only yields.
void CPlayThreadEx::Sleep(Nap nap, std::uint64_t seen) {
    std::unique_lock<std::mutex> lock(m_wakeLock);
    const auto woken = [&] { return m_wakeups != seen; };
    if (nap == kUntilWoken) {
        m_wake.wait(lock, woken);
    } else if (nap.count() > 0) {
        m_wake.wait_for(lock, nap, woken);
    }
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
        std::uint64_t seen = 0;
        {
            const std::lock_guard<std::mutex> guard(m_wakeLock);
            seen = m_wakeups;
        }
        // Whole milliseconds since the last pass; the remainder is carried to the next pass so
        // that the clock does not lose the fractions of every pass.
        const auto passed = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - previous);
        previous += passed;
        const int state = m_state.load();
        MarkExecuted(state);
        Nap nap = RunState(state, passed.count());
        if (m_state.load() != state) {
            nap = Nap(0);  // the pass ended play or a step: the new state runs at once
        }
        if (m_soundActive && (m_speed != 1.0 || m_state != kForward)) {
            Send(kStopSound, 0, nullptr);
            m_soundActive = false;
        }
        if (!m_soundActive) {
            m_soundSync = -1;
            m_soundSlipMs = 0;
        }
        m_lastState = state;
        Sleep(nap, seen);
    }
    {
        const std::lock_guard<std::mutex> guard(m_wakeLock);
        m_ended = true;
    }
    m_wake.notify_all();
}

CPlayThreadEx::Nap CPlayThreadEx::RunState(int state, std::int64_t elapsed) {
    switch (state) {
    case kStopped:
        return Stopped();
    case kForward:
        return Forward(elapsed);
    case kBackward:
        return Sweep(elapsed, -1, state);
    case kStepFrame:
    case kStepKey:
    case kStepKeyBack:
        return Step(state);
    case kPaused:
        // The pictures are shown once on pausing; ShowCurrent shows them again on request.
        if (m_lastState != kPaused) {
            ShowCurrent();
        }
        return kUntilWoken;
    default:
        return kUntilWoken;
    }
}

// The stopped pass: the end-of-play notices of a play that has ended, then the idle signal, so
// that a Stop waiting for it returns only once the stopped play's notices have been given (and
// none of them can reach the viewer after a new play has begun).
CPlayThreadEx::Nap CPlayThreadEx::Stopped() {
    const Nap nap = Notices();
    {
        const std::lock_guard<std::mutex> guard(m_idleLock);
        m_idle = true;
    }
    m_idleChanged.notify_all();
    return nap;
}

CPlayThreadEx::Nap CPlayThreadEx::Notices() {
    int last = 0;
    {
        // Only a play that has ended is announced: a pass that read "stopped" just before a new
        // play began must not announce the end of that new play.
        const std::lock_guard<std::mutex> guard(m_stateLock);
        if (m_state.load() != kStopped) {
            return Nap(0);
        }
        last = m_lastRunning;
    }
    if (last == 0) {
        return kUntilWoken;
    }
    for (int channel = 0; channel < kChannels; ++channel) {
        Send(kNoPicture, channel, nullptr);
    }
    if (m_popup >= 0) {
        Send(kPopupNoPicture, 0, nullptr);
    }
    _PLAY_END_INFO end{last, m_searchType, m_workers[0] != nullptr && m_workers[0]->IsRunning() ? 1 : 0};
    Send(kEndOfPlay, 0, &end);
    if (end.nFlag != 0) {
        return kNoticeInterval;
    }
    const std::lock_guard<std::mutex> guard(m_stateLock);
    if (m_state.load() == kStopped) {
        m_lastRunning = 0;  // a play started meanwhile keeps its own
    }
    return kUntilWoken;
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

// With no picture queued anywhere and every worker stopped, play has ended. Only the state
// this pass ran in gives way to "stopped": a pause or the end of the thread set meanwhile stays.
void CPlayThreadEx::EndWhenDone(bool anyPicture, int state) {
    if (anyPicture || !AllWorkersStopped()) {
        return;
    }
    {
        const std::lock_guard<std::mutex> guard(m_currentLock);
        for (auto& current : m_current) {
            current.reset();
        }
    }
    int expected = state;
    m_state.compare_exchange_strong(expected, kStopped);
}

void CPlayThreadEx::NoPicture(int channel) {
    const auto c = static_cast<std::size_t>(channel);
    {
        const std::lock_guard<std::mutex> guard(m_currentLock);
        m_current[c].reset();
    }
    if (!m_noPictureSent[c].exchange(true)) {
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
    if (!record) {
        return;  // the queue was flushed between the look and the take
    }
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

// Whether the clock has to wait for a running decoder that has nothing queued yet. A channel
// empty for longer than the grace stops holding the others: it is marked as lagging.
bool CPlayThreadEx::WaitingForDecoders(Nap& nap) {
    const auto now = std::chrono::steady_clock::now();
    bool waiting = false;
    nap = kUntilWoken;
    for (std::size_t c = 0; c < kChannels; ++c) {
        CSearchDataEx* worker = m_workers[c];
        const bool empty = worker != nullptr && worker->IsRunning() && worker->PictureCount() == 0;
        if (!empty) {
            m_emptySince[c] = {};
            continue;
        }
        if (m_lagging[c]) {
            continue;
        }
        if (m_emptySince[c] == std::chrono::steady_clock::time_point{}) {
            m_emptySince[c] = now;
        }
        const auto waited = now - m_emptySince[c];
        if (waited >= kDecoderGrace) {
            m_lagging[c] = true;
            tachy::DebugOut::printf("channel %zu has had no picture for %lld ms: the others go on\n", c,
                                    static_cast<long long>(kDecoderGrace.count()));
            continue;
        }
        waiting = true;
        nap = std::chrono::ceil<Nap>(kDecoderGrace - waited);  // or until a picture comes
    }
    return waiting;
}

CPlayThreadEx::Nap CPlayThreadEx::Forward(std::int64_t elapsed) {
    const std::int64_t newClock =
        m_clock + static_cast<std::int64_t>(static_cast<double>(elapsed) * m_speed.load() + m_clockRemainder);
    const Nap soundNap = Sound(newClock);
    Nap nap = kUntilWoken;
    if (WaitingForDecoders(nap)) {
        SoundSlipped(elapsed);  // the clock stands, the sound already given plays on
        return soundNap != kUntilWoken && (nap == kUntilWoken || soundNap < nap) ? soundNap : nap;
    }
    const Nap pictureNap = Sweep(elapsed, 1, kForward);
    return soundNap != kUntilWoken && (pictureNap == kUntilWoken || soundNap < pictureNap) ? soundNap : pictureNap;
}

// Presents every picture whose display time the clock has reached, moving the clock by the
// elapsed time in the direction (1 forward, -1 backward). "Before" and "after" below are in the
// direction of play. Returns how long until the next picture is due.
CPlayThreadEx::Nap CPlayThreadEx::Sweep(std::int64_t elapsed, int direction, int state) {
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
    bool presentedAny = false;
    bool presentedInLast = false;
    for (int sweep = 0; sweep < sweeps; ++sweep) {
        bool presented = false;
        havePending = false;
        for (int channel = 0; channel < kChannels; ++channel) {
            const auto c = static_cast<std::size_t>(channel);
            std::int64_t display = 0;
            if (!PeekDisplayTime(channel, display)) {
                continue;
            }
            anyInFirstSweep = anyInFirstSweep || sweep == 0;
            if (m_lagging[c] && !reached(display, newClock)) {
                m_lagging[c] = false;  // caught up with the clock
            }
            if (reached(display, oldClock) && !m_lagging[c]) {
                const std::int64_t rebased = speed > 1 ? display + advance : display;  // a late picture
                if (direction > 0) {
                    SoundSlipped(newClock - rebased);
                }
                newClock = rebased;
            }
            if (reached(display, newClock)) {
                Present(channel, m_workers[c]->TakePicture());
                presented = true;
            } else if (!havePending || reached(display, pending)) {
                pending = display;
                havePending = true;
            }
        }
        presentedInLast = presented;
        presentedAny = presentedAny || presented;
        if (!presented) {
            break;
        }
    }
    m_clock = newClock;
    if (havePending && (pending - newClock) * direction > kJumpMs) {
        m_clock = pending;  // a long gap between recordings is skipped at once
        return Nap(0);
    }
    EndWhenDone(anyInFirstSweep, state);
    if (presentedInLast) {
        return Nap(0);  // more may be due at once
    }
    if (!havePending) {
        // A queued picture or a worker's end wakes the thread; after the last picture one more
        // pass finds whether play has ended.
        return presentedAny ? Nap(0) : kUntilWoken;
    }
    const double clockMs = static_cast<double>((pending - m_clock) * direction) - m_clockRemainder;
    return Nap(std::max<std::int64_t>(1, static_cast<std::int64_t>(std::ceil(clockMs / std::max(speed, 1e-3)))));
}

CPlayThreadEx::Nap CPlayThreadEx::Step(int state) {
    // As in forward play, wait until every running decoder has its picture: otherwise a step
    // could show the rear picture and pause before the front one is ready.
    Nap nap = kUntilWoken;
    if (WaitingForDecoders(nap)) {
        return nap;
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
        int expected = state;
        m_state.compare_exchange_strong(expected, kPaused);
    }
    EndWhenDone(any, state);
    return kUntilWoken;
}

bool CPlayThreadEx::Realign(int direction) {
    for (int channel = 0; channel < kChannels; ++channel) {
        const std::shared_ptr<PictureRecord> current = Current(channel);
        CSearchDataEx* worker = m_workers[static_cast<std::size_t>(channel)];
        if (!current || !current->entry || worker == nullptr) {
            continue;
        }
        if (!worker->Realign(current->entry, current->listIndex, direction, current->frame.nFramePosition)) {
            return false;
        }
    }
    // The sound in step before belongs to the old place: the paused pass that the manager
    // waited for has stopped it, and it starts again at the clock.
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
