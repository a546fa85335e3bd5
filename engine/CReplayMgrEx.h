#pragma once
// The replay engine: three channel workers and the playback thread behind IIntrReplayEx. The
// manager never holds a queue lock while it waits: it changes states, waits until the threads
// have taken in the new state (each says so as it begins its next pass), and only then touches
// the queues.

#include "engine/CArchiveAvi.h"
#include "engine/CPlayThreadEx.h"
#include "engine/CSearchDataEx.h"
#include "engine/CStreamCatalogue.h"
#include "engine/IIntrReplayEx.h"

#include <array>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>

class CReplayMgrEx : public IIntrReplayEx {
public:
    static constexpr int kChannels = 3;

    CReplayMgrEx();
    ~CReplayMgrEx() override;
    CReplayMgrEx(const CReplayMgrEx&) = delete;
    CReplayMgrEx& operator=(const CReplayMgrEx&) = delete;

    int Initialize(QWidget* parent, int format) override;
    void Release() override;
    void SetCallback(ReplayCallback callback, void* user) override;
    void SetLogPath(const std::string& path) override;
    void SetAviFileNameFormat(const _AVI_NAME_FORMAT2& format) override;
    using IIntrReplayEx::SetAviFileNameFormat;
    void SetBrightness(int channel, int value) override;
    void SetContrast(int channel, int value) override;
    void SetSaturation(int channel, int value) override;
    void SetSharpeness(int channel, int value) override;
    void SetBlur(int channel, int value) override;
    void SetDbPath(const std::string& path) override;
    int CheckRecordMode() override;
    int GetRecordMode() override;
    void SetRecordMode(int kind) override;
    void SetSearchType(int type) override;
    void SetPBSpeed(double speed) override;
    int PlayForward() override;
    int PlayBackward() override;
    int Pause() override;
    int Stop() override;
    int StepForward(int index) override;
    int StepForwardKeyframe(int index) override;
    int StepBackward(int index) override;
    int StepBackwardKeyframe(int index) override;
    void ClearData() override;
    int PlayList(int index, int forward) override;
    int GetPlayerState() override;
    void ShowCurrentImage() override;
    void PopupRequest(int channel) override;
    int HoldCurrentImage() override;
    int ReleaseCurrentImage() override;
    int GotoTimeSearch(int keyIndex) override;
    int GotoTimeSearchBegin(int keyIndex) override;
    unsigned char* GetLastVideoImage(int channel, int* width, int* height, int* sizeCode) override;
    int GetLastVideoImage2(int channel, int* width, int* height, int* sizeCode, _AV_DATA* data) override;
    int GetCurrentIndex(int channel) override;
    void SetAudioDelay(int milliseconds) override;
    int DeleteSelectedFile(int searchType) override;
    void SetPBSpeedOption(int option) override;
    int TotalStreamFileCount() override;
    int procOpenList() override;
    void SetProgressCallback(ReplayCallback callback, void* user) override;
    void SetRearCameraDelay(int milliseconds) override;
    void EnableRecovery(int enable) override;
    int IsAvailableDrive(const std::string& path, int depth) override;
    std::uint64_t GetDuration(const std::string& file) override;
    void SetColorControlMode(int mode) override;

    // The longest wait for the threads to take in a new state before the queues are touched.
    void SetSettleDelay(std::chrono::milliseconds delay) { m_settle = delay; }
    // How many of those waits (and of the waits for threads to end) ran out: each is a fault of
    // a thread that did not answer in time, logged when it happens.
    int TimedOutWaits() const { return m_timedOutWaits; }

private:
    void Send(unsigned code, std::intptr_t param, void* data);
    int Ask(unsigned code, std::intptr_t param);
    unsigned Code(unsigned base) const;
    bool StartEntry(int index, bool forward);
    void ApplyState(int state);
    int ChangeState(int state, int direction, std::initializer_list<int> realignAfter);
    int CurrentEntryFromViewer(std::intptr_t typeZeroParam, std::intptr_t otherParam);
    void OnChannelZeroMoved(int index, int direction);
    void Settle(int state);
    void EnableEntryHook(bool enable);
    template <typename Action> void ForDecoders(int channel, Action action);

    std::atomic<int> m_state{0};
    int m_heldState = 0;
    std::atomic<int> m_audioDelay{0};
    std::atomic<int> m_rearDelay{0};
    int m_speedOption = 1;
    double m_speed = 1.0;
    std::chrono::milliseconds m_settle{2000};
    std::atomic<int> m_timedOutWaits{0};
    // Channel 0's thread starts workers 1 and 2 when it moves to another entry; Stop and Release
    // turn that off first, so that it never starts a worker the caller is stopping.
    std::mutex m_hookLock;
    bool m_hookEnabled = false;  // guarded by m_hookLock
    int m_sizeCode = 2;

    CArchiveAvi m_catalogueReader;  // the catalogue's own reader: the workers' are busy playing
    CStreamCatalogue m_catalogue{m_catalogueReader};
    std::array<std::unique_ptr<CSearchDataEx>, kChannels> m_workers;
    std::unique_ptr<CPlayThreadEx> m_thread;
};
