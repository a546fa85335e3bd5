// CReplayMgrEx: starting entries, the play, step, pause and stop operations, holding the
// picture, speed options and the last pictures.

#include "engine/CReplayMgrEx.h"

#include "engine/PlayerStates.h"

#include "platform/debug/DebugOut.h"

#include <algorithm>
#include <limits>
#include <thread>

namespace {

using namespace player;

constexpr unsigned kStoppedByStop = 20;
constexpr unsigned kAboutToStart = 60;


bool isRunning(int state) {
    return state != kStopped && state != kPaused;
}

} // namespace

void CReplayMgrEx::ApplyState(int state) {
    for (auto& worker : m_workers) {
        if (worker) {
            worker->SetState(state);
        }
    }
    if (m_thread) {
        m_thread->SetState(state);
    }
}

// Waits until the playback thread and every running worker have begun a pass in `state`, so
// that none is still in the middle of work of the state before.
void CReplayMgrEx::Settle(int state) {
    bool answered = !m_thread || m_thread->WaitForState(state, m_settle);
    for (auto& worker : m_workers) {
        if (worker && worker->IsRunning()) {
            answered = worker->WaitForState(state, m_settle) && answered;
        }
    }
    if (!answered) {
        ++m_timedOutWaits;
        tachy::DebugOut::printf("engine threads did not take in state %d within %lld ms\n", state,
                                static_cast<long long>(m_settle.count()));
    }
}

void CReplayMgrEx::EnableEntryHook(bool enable) {
    const std::lock_guard<std::mutex> guard(m_hookLock);
    m_hookEnabled = enable;
}

bool CReplayMgrEx::StartEntry(int index, bool forward) {
    if (!m_thread) {
        return false;
    }
    EnableEntryHook(true);
    CTimeList entry;
    Send(Code(replay::kGetEntry), index, &entry);
    std::int64_t earliest = std::numeric_limits<std::int64_t>::max();
    std::int64_t latest = std::numeric_limits<std::int64_t>::min();
    for (int channel = 0; channel < kChannels; ++channel) {
        if (entry.CurrentPath(channel).empty()) {
            continue;  // a channel this entry does not hold
        }
        const auto c = static_cast<std::size_t>(channel);
        earliest = std::min(earliest, entry.m_llStartTime[c]);
        latest = std::max(latest, entry.m_llEndTime[c]);
    }
    if (earliest == std::numeric_limits<std::int64_t>::max()) {
        earliest = latest = entry.m_llStartTime[0];
    }
    m_thread->SetClock(forward ? earliest + m_audioDelay + m_rearDelay : latest + m_rearDelay);
    for (auto& worker : m_workers) {
        if (worker) {
            worker->Start(index, forward ? 1 : -1);
        }
    }
    ApplyState(m_state);
    return true;
}

void CReplayMgrEx::OnChannelZeroMoved(int index, int direction) {
    const std::lock_guard<std::mutex> guard(m_hookLock);
    if (!m_hookEnabled) {
        return;
    }
    for (int channel = 1; channel < kChannels; ++channel) {
        CSearchDataEx* worker = m_workers[static_cast<std::size_t>(channel)].get();
        if (worker != nullptr && !worker->IsRunning()) {
            worker->Start(index, direction);
            worker->SetState(m_state);
        }
    }
}

int CReplayMgrEx::CurrentEntryFromViewer(std::intptr_t typeZeroParam, std::intptr_t otherParam) {
    Send(kAboutToStart, 0, nullptr);
    return Ask(Code(replay::kCurrentEntry), m_searchType == 0 ? typeZeroParam : otherParam);
}

// From another running state or from pause: the new state; when the last running state read
// the other way, the workers are first re-aligned to the pictures on screen.
int CReplayMgrEx::ChangeState(int state, int direction, std::initializer_list<int> realignAfter) {
    const int previous = m_state;
    m_state = state;
    const int last = m_thread ? m_thread->LastRunningState() : 0;
    if (m_thread && std::find(realignAfter.begin(), realignAfter.end(), last) != realignAfter.end()) {
        ApplyState(kPaused);
        Settle(kPaused);
        const bool aligned = m_thread->Realign(direction);
        m_thread->FlushPictures();
        if (!aligned) {
            m_state = previous;
        }
    }
    ApplyState(m_state);
    return 1;
}

int CReplayMgrEx::PlayForward() {
    if (m_state == kStopped) {
        const int index = CurrentEntryFromViewer(-2, 0);
        if (index < 0) {
            return 0;
        }
        m_state = kForward;
        return StartEntry(index, true) ? 1 : 0;
    }
    if (m_state == kForward) {
        return 1;
    }
    return ChangeState(kForward, 1, {kBackward, kStepKey, kStepKeyBack});
}

int CReplayMgrEx::PlayBackward() {
    if (m_state == kStopped) {
        const int index = CurrentEntryFromViewer(-2, -1);
        if (index < 0) {
            return 0;
        }
        m_state = kBackward;
        return StartEntry(index, false) ? 1 : 0;
    }
    ChangeState(kBackward, -1, {kForward, kStepFrame, kStepKey});
    return 0;
}

int CReplayMgrEx::Pause() {
    m_state = kPaused;
    ApplyState(kPaused);
    return 1;
}

int CReplayMgrEx::Stop() {
    EnableEntryHook(false);
    m_state = kStopped;
    ApplyState(kStopped);
    Settle(kStopped);
    if (m_thread && !m_thread->WaitIdle(std::chrono::milliseconds(5000))) {
        ++m_timedOutWaits;
    }
    Send(kStoppedByStop, 0, nullptr);
    for (auto& worker : m_workers) {
        if (worker && !worker->Stop(std::chrono::milliseconds(1000))) {
            ++m_timedOutWaits;
        }
    }
    return 1;
}

int CReplayMgrEx::StepForward(int index) {
    if (m_state == kStopped) {
        if (index < 0) {
            return 1;
        }
        m_state = kStepFrame;
        StartEntry(index, true);
        return 1;
    }
    return ChangeState(kStepFrame, 1, {kBackward, kStepKey, kStepKeyBack});
}

int CReplayMgrEx::StepForwardKeyframe(int index) {
    if (m_state == kStopped) {
        if (index < 0) {
            return 1;
        }
        m_state = kStepKey;
        StartEntry(index, true);
        return 1;
    }
    return ChangeState(kStepKey, 1, {kForward, kBackward, kStepFrame, kStepKeyBack});
}

int CReplayMgrEx::StepBackward(int) {
    return 0;
}

int CReplayMgrEx::StepBackwardKeyframe(int) {
    if (m_state == kStopped) {
        // The current entry is asked for as PlayForward asks for it.
        const int current = CurrentEntryFromViewer(-2, 0);
        if (current < 0) {
            return 0;
        }
        m_state = kStepKeyBack;
        StartEntry(current, false);
        return 1;
    }
    return ChangeState(kStepKeyBack, -1, {kForward, kStepFrame, kStepKey});
}

int CReplayMgrEx::PlayList(int index, int forward) {
    if (isRunning(m_state)) {
        Stop();
    }
    m_state = forward != 0 ? kForward : kBackward;
    StartEntry(index, forward != 0);
    return 0;
}

int CReplayMgrEx::GetPlayerState() {
    return m_state;
}

void CReplayMgrEx::ClearData() {
    if (m_thread) {
        m_thread->ClearCurrent();
    }
}

void CReplayMgrEx::ShowCurrentImage() {
    if (m_thread && m_state == kPaused) {
        m_thread->ShowCurrent();
    }
}

void CReplayMgrEx::PopupRequest(int channel) {
    if (m_thread) {
        m_thread->SetPopupChannel(channel);
    }
}

void CReplayMgrEx::SetPBSpeed(double speed) {
    m_speed = speed;
    if (m_thread) {
        m_thread->SetSpeed(speed);
    }
    for (auto& worker : m_workers) {
        if (worker) {
            worker->SetSpeed(speed);
        }
    }
}

void CReplayMgrEx::SetPBSpeedOption(int option) {
    const int speed = static_cast<int>(m_speed);
    const bool oldThreshold = (m_speedOption == 1 && speed >= 128) || (m_speedOption == 2 && speed >= 64);
    const bool keeps = (option == 1 && speed >= 128) || (option == 2 && speed >= 64);
    const auto store = [&] {
        m_speedOption = option;
        for (auto& worker : m_workers) {
            if (worker) {
                worker->SetSpeedOption(option);
            }
        }
    };
    if (oldThreshold && !keeps && m_thread) {
        ApplyState(kPaused);
        Settle(kPaused);
        m_thread->Realign(1);
        m_thread->FlushPictures();
        store();
        ApplyState(m_state);
        return;
    }
    store();
}

int CReplayMgrEx::HoldCurrentImage() {
    if (m_state == kStopped || !m_thread) {
        return 0;
    }
    m_heldState = m_state;
    Pause();
    // The threads take in the pause; the playback thread passes through "stopped" only when
    // play ends, so its idle signal is not what a hold waits for.
    Settle(kPaused);
    m_thread->FlushPictures();
    const std::shared_ptr<PictureRecord> front = m_thread->Current(0);
    if (front && m_workers[0] && front->listIndex != m_workers[0]->ListIndex()) {
        // Channel 0 has read on into the next entry: the re-alignment opens the picture's entry.
        tachy::DebugOut::printf("hold: channel 0 shows entry %d while its worker reads entry %d\n",
                                front->listIndex, m_workers[0]->ListIndex());
    }
    const int last = m_thread->LastRunningState();
    if (last == kForward || last == kStepFrame || last == kStepKey) {
        return m_thread->Realign(1) ? 1 : 0;
    }
    if (last == kBackward || last == kStepKeyBack) {
        return m_thread->Realign(-1) ? 1 : 0;
    }
    return 1;
}

int CReplayMgrEx::ReleaseCurrentImage() {
    if (m_state != kPaused) {
        return 1;
    }
    switch (m_heldState) {
    case kForward:
        PlayForward();
        break;
    case kBackward:
        PlayBackward();
        break;
    case kStepFrame:
        StepForward(-1);
        break;
    case kStepKey:
        StepForwardKeyframe(-1);
        break;
    case kStepKeyBack:
        StepBackwardKeyframe(-1);
        break;
    default:
        break;
    }
    return 1;
}

int CReplayMgrEx::GotoTimeSearch(int keyIndex) {
    if (!m_thread || m_state != kPaused) {
        return 0;
    }
    return m_thread->GotoTimeSearch(keyIndex);
}

int CReplayMgrEx::GotoTimeSearchBegin(int keyIndex) {
    return GotoTimeSearch(keyIndex);
}

unsigned char* CReplayMgrEx::GetLastVideoImage(int channel, int* width, int* height, int* sizeCode) {
    if (width != nullptr) {
        *width = 640;
    }
    if (height != nullptr) {
        *height = 360;
    }
    if (sizeCode != nullptr) {
        *sizeCode = 2;
    }
    if (!m_thread) {
        return nullptr;
    }
    if (sizeCode != nullptr) {
        *sizeCode = m_sizeCode;
    }
    const std::shared_ptr<PictureRecord> current = m_thread->Current(channel);
    if (!current) {
        return nullptr;
    }
    if (width != nullptr) {
        *width = current->frame.nWidth;
    }
    if (height != nullptr) {
        *height = current->frame.nHeight;
    }
    return current->picture;
}

int CReplayMgrEx::GetLastVideoImage2(int channel, int* width, int* height, int* sizeCode, _AV_DATA* data) {
    if (width != nullptr) {
        *width = 640;
    }
    if (height != nullptr) {
        *height = 360;
    }
    if (sizeCode != nullptr) {
        *sizeCode = 2;
    }
    const std::shared_ptr<PictureRecord> current = m_thread ? m_thread->Current(channel) : nullptr;
    if (!current) {
        return 0;
    }
    if (width != nullptr) {
        *width = current->frame.nWidth;
    }
    if (height != nullptr) {
        *height = current->frame.nHeight;
    }
    if (sizeCode != nullptr) {
        *sizeCode = current->frame.nFormat;
    }
    if (data != nullptr) {
        *data = {};
        for (int i = 0; i < 3; ++i) {
            data->value[i] = current->frame.avData0to2[i];
        }
        for (int i = 0; i < 8; ++i) {
            data->value[8 + i] = current->frame.avData8to15[i];
        }
    }
    return 1;
}
