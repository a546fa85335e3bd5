#pragma once
// A viewer without a window for engine tests and tachy-play: it keeps the list the card walk gives,
// answers the engine's questions as the viewer does, accepts every sound block (or, with a sound
// output, those the output takes, as the viewer does), and records what it was shown. Its
// callback may be called from any of the engine's threads.

#include "engine/CTimeList.h"
#include "engine/EngineRecords.h"
#include "tools/tachy-play/SoundMeter.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

class ISoundEx;

namespace tachy::play {

class HeadlessViewer {
public:
    struct Shown {
        int channel;
        std::int64_t timeMs;
        int position;
        std::int64_t wallMs;  // steady-clock milliseconds when it was shown
    };

    static void Callback(unsigned code, std::intptr_t param, void* data, void* user);

    // The row the viewer says is selected (142), and the rows checked for deletion (144/145).
    void SetCurrentRow(int row);
    void SetChecked(std::vector<int> rows);
    // Plays sound through `output` as the viewer does (null: sound is only counted). `meter`
    // watches the output's device, for the drift figures: it is given the device's clock when
    // the output is a CDxSoundEx; the caller gives it the output's tap.
    void SetSoundOutput(ISoundEx* output, SoundMeter* meter);
    // The largest difference, after the first second, between the sound being heard and the
    // front picture shown (ms); and the same with the device's own clock error since the sound
    // began taken out. Both follow continuous play: the sound's place is counted from the bytes
    // played since the first start, so a stop and a new start (a file change) upset them.
    double MaxDriftMs();
    double MaxDriftWithoutDeviceLagMs();
    // Times the output's queue ran dry before the last sound block was handed over.
    int UnderRuns();
    std::vector<CTimeList>& Entries() { return m_entries; }

    // With records kept (the default) every picture shown is remembered; without, only the first
    // and the latest front picture and the counts, so that hours of play take no more memory
    // than minutes (the long-play measurement).
    void SetKeepRecords(bool keep);
    std::vector<Shown> Pictures();
    // The channel of every picture shown (170), in order (empty when records are not kept).
    std::vector<int> Sequence();
    // Pictures shown on `channel` (170), and front pictures reported with their time (133).
    int ChannelCount(int channel);
    std::size_t PictureCount();
    int Count(unsigned code);
    int SoundBlocks();
    // Waits (at most `seconds`) until the end of play (70) has been announced.
    bool WaitForEnd(double seconds);
    bool WaitForPictures(std::size_t count, double seconds);
    void Clear();

private:
    void Handle(unsigned code, std::intptr_t param, void* data);
    int AcceptSound(const _AUDIO_BLOCK& block);
    void MeasureDrift(std::int64_t pictureMs, std::int64_t wallMs);

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<CTimeList> m_entries;  // filled by the card walk before playback
    int m_currentRow = 0;
    std::vector<int> m_checked;
    std::vector<Shown> m_pictures;       // guarded by m_mutex
    std::vector<int> m_sequence;         // guarded by m_mutex
    bool m_keepRecords = true;           // guarded by m_mutex
    std::size_t m_pictureCount = 0;      // guarded by m_mutex
    int m_channelCounts[3] = {};         // guarded by m_mutex
    std::map<unsigned, int> m_counts;    // guarded by m_mutex
    int m_soundBlocks = 0;               // guarded by m_mutex
    ISoundEx* m_sound = nullptr;         // guarded by m_mutex
    SoundMeter* m_meter = nullptr;       // guarded by m_mutex
    bool m_tied = false;                 // sound tied to the picture clock; guarded by m_mutex
    double m_firstSoundMs = 0;           // recording time where the sound began; guarded by m_mutex
    double m_tieLagMs = 0;               // the device's lag then; guarded by m_mutex
    std::int64_t m_tieWall = -1;         // when that was fixed; guarded by m_mutex
    int m_soundBytesPerSecond = 0;       // guarded by m_mutex
    double m_maxDrift = 0;               // guarded by m_mutex
    double m_maxEngineDrift = 0;         // guarded by m_mutex
    int m_underRuns = 0;                 // guarded by m_mutex
};

} // namespace tachy::play
