#include "engine/CSearchDataEx.h"

#include "audio/adpcmdec/CAudDecoder.h"
#include "picturedec/DecodedPicture.h"
#include "picturedec/IVideoDecoder.h"
#include "platform/debug/DebugOut.h"

#include <algorithm>
#include <cstring>

namespace {

// An idle worker looks again after this long even without a signal: a safety net only, every
// change it waits for is signalled.
constexpr std::chrono::milliseconds kIdleRecheck{500};

bool markersRight(const _FRAME_DESC* descriptor) {
    return descriptor != nullptr && descriptor->nMarker == kFrameMarker &&
           (descriptor->dwMarkerWord & 0xFFFFFF) == kFrameMarkerWord;
}

} // namespace

CSearchDataEx::CSearchDataEx(int channel, std::unique_ptr<IVideoDecoder> decoder)
    : m_channel(channel), m_decoder(std::move(decoder)), m_audioDecoder(std::make_unique<CAudDecoder>()),
      m_entry(std::make_shared<CTimeList>()) {}

CSearchDataEx::~CSearchDataEx() {
    Stop(std::chrono::milliseconds(5000));
    if (m_thread.joinable()) {
        m_thread.join();  // logged by Stop; every wait inside the thread is short
    }
}

void CSearchDataEx::SetCallback(ReplayCallback callback, void* user) {
    m_callback = callback;
    m_user = user;
}

void CSearchDataEx::SetNameFormat(const _AVI_NAME_FORMAT2& format) {
    m_reader.SetNameFormat(format);
}

void CSearchDataEx::SetState(int state) {
    m_state = state;
    UpdateSoundEnabled();
    m_queues.Wake();
}

void CSearchDataEx::SetSpeed(double speed) {
    m_speed = speed;
    UpdateSoundEnabled();
    m_queues.Wake();
}

// Sound only while playing forward at exactly normal speed; otherwise the queue is emptied.
void CSearchDataEx::UpdateSoundEnabled() {
    const bool enabled = m_state == 2 && m_speed == 1.0;
    m_soundEnabled = enabled;
    if (!enabled) {
        m_queues.ClearSounds();
    }
}

bool CSearchDataEx::WaitForState(int state, std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> lock(m_seenLock);
    return m_seenChanged.wait_for(lock, limit, [&] { return m_seenState == state || !m_running; });
}

void CSearchDataEx::Send(unsigned code, std::intptr_t param, void* data) {
    if (m_callback != nullptr) {
        m_callback(code, param, data, m_user);
    }
}

void CSearchDataEx::Start(int listIndex, int direction) {
    if (!Stop(std::chrono::milliseconds(5000)) && m_thread.joinable()) {
        m_thread.join();  // logged by Stop; the thread's waits are short, so this ends
    }
    // Pictures and sound of the previous run must not be shown in the new one.
    FlushPictures();
    m_queues.ClearSounds();
    m_listIndex = listIndex;
    m_direction = direction;
    {
        const std::lock_guard<std::mutex> guard(m_seenLock);
        m_seenState = -1;
        m_running = true;
    }
    m_run = true;
    m_thread = std::thread(&CSearchDataEx::Run, this);
}

bool CSearchDataEx::Stop(std::chrono::milliseconds limit) {
    m_run = false;
    m_queues.Wake();
    {
        std::unique_lock<std::mutex> lock(m_seenLock);
        if (!m_seenChanged.wait_for(lock, limit, [this] { return !m_running; })) {
            // Every wait inside the thread is short; a thread that has not ended is reported and
            // joined when the worker is next started or destroyed.
            tachy::DebugOut::printf("channel %d worker did not end within %lld ms\n", m_channel,
                                    static_cast<long long>(limit.count()));
            return false;
        }
    }
    if (m_thread.joinable()) {
        m_thread.join();
    }
    return true;
}

// The thread's last act: it no longer runs, and whoever waits for that hears of it.
void CSearchDataEx::Ended() {
    {
        const std::lock_guard<std::mutex> guard(m_seenLock);
        m_running = false;
    }
    m_seenChanged.notify_all();
    if (m_endListener) {
        m_endListener();
    }
}

bool CSearchDataEx::FetchEntry(int listIndex, CTimeList& entry) {
    if (m_callback == nullptr) {
        return false;
    }
    const unsigned offset = m_searchType != 0 ? replay::kSecondListOffset : 0;
    entry = CTimeList();
    Send(replay::kGetEntry + offset, listIndex, &entry);
    return entry.m_nFirstFileNumber[0] != -1 || entry.m_nFirstFileNumber[1] != -1 ||
           entry.m_nFirstFileNumber[2] != -1;
}

void CSearchDataEx::Run() {
    bool opened = false;
    {
        // An entry the viewer cannot give is not played (not the one played before it).
        auto entry = std::make_shared<CTimeList>();
        if (FetchEntry(m_listIndex, *entry)) {
            {
                const std::lock_guard<std::mutex> guard(m_fileLock);
                m_entry = std::move(entry);
            }
            const int result = OpenEntry();
            // A first entry whose file cannot be read: play goes on from the next one that can.
            opened = result == 1 || ((result == -1 || result == 0) && MoveToNextEntry(false));
        }
    }
    if (!opened) {
        m_run = false;
        m_started = false;
        Ended();
        return;
    }
    m_started = true;
    while (m_run) {
        const std::uint64_t seen = m_queues.Generation();
        const int state = m_state.load();
        {
            const std::lock_guard<std::mutex> guard(m_seenLock);
            m_seenState = state;
        }
        m_seenChanged.notify_all();
        if (!Pass(state) && m_run) {
            m_queues.WaitForChange(seen, kIdleRecheck);
        }
    }
    {
        const std::lock_guard<std::mutex> guard(m_fileLock);
        m_reader.Close();
    }
    Ended();
}

// One pass of the steps of a state; true when it did something, so that the next pass follows
// at once, false when the worker has to wait for room, a state or a new entry.
bool CSearchDataEx::Pass(int state) {
    bool worked = false;
    switch (state) {
    case 2: {
        for (int i = 0; i < 8; ++i) {
            worked = SoundStep() || worked;
        }
        const int steps = std::max(1, static_cast<int>(m_speed * 1.5));
        for (int i = 0; i < steps && m_run; ++i) {
            worked = VideoStep() || worked;
        }
        break;
    }
    case 3:
    case 7:
        worked = KeyframeStep(false);
        break;
    case 4:
        worked = SoundStep();
        worked = VideoStep() || worked;
        break;
    case 5:
        worked = KeyframeStep(true);
        break;
    default:
        break;
    }
    return worked;
}

int CSearchDataEx::OpenEntry() {
    const std::lock_guard<std::mutex> guard(m_fileLock);
    m_reader.Close();
    const std::string path = m_entry->CurrentPath(m_channel);
    const int offset = m_kind == 6 ? m_channel : 0;
    if (path.empty()) {
        return -2;
    }
    if (m_reader.Open(path, offset) == 0) {
        return -1;
    }
    const auto c = static_cast<std::size_t>(m_channel);
    if (m_decoder) {
        m_decoder->ResetCodec(path);
    }
    m_reader.ClearKeyIndex();
    if (m_reader.BuildKeyIndexUntil(0, m_channel, m_entry->m_llEndSecond[c]) == 0) {
        m_reader.Close();
        return 0;
    }
    if (m_channel == kAudioChannel) {
        m_reader.OpenAudio(path);
        m_soundAtEnd = false;
    }
    const int count = m_reader.GetKeyCount();
    int key = -1;
    _KEY_ENTRY entry{};
    if (m_direction >= 0) {
        for (int i = 0; i < count && key < 0; ++i) {
            m_reader.GetKeyEntry(i, &entry);
            key = entry.dwSecond >= m_entry->m_llStartSecond[c] ? i : -1;
        }
    } else {
        for (int i = count - 1; i >= 0 && key < 0; --i) {
            m_reader.GetKeyEntry(i, &entry);
            key = entry.dwSecond <= m_entry->m_llEndSecond[c] ? i : -1;
        }
    }
    if (key < 0) {
        return 0;
    }
    m_reader.GetKeyEntry(key, &entry);
    m_reader.Seek(entry.llPosition);
    if (m_channel == kAudioChannel) {
        m_reader.SyncAudio(static_cast<int>(entry.llPosition));
        m_audioFormat = m_reader.GetAudioFormat();
        m_audioRate = m_reader.GetAudioFrequency();
        m_audioBits = m_reader.GetAudioBitPerSample();
    }
    m_keyIndex = key;
    const std::int64_t durationMs = m_entry->m_llEndTime[c] - m_entry->m_llStartTime[c];
    m_fileInfo = {};
    m_fileInfo.nFrames = m_reader.GetVideoLength(durationMs);
    m_fileInfo.nKeyframesLeft = count - key;
    m_fileInfo.llStartSecond = m_entry->m_llStartSecond[c];
    m_fileInfo.llEndSecond = m_entry->m_llEndSecond[c];
    m_fileInfo.nSearchType = m_searchType;
    m_fileInfo.nListIndex = m_listIndex;
    m_fileInfo.nKeySecond = static_cast<std::int32_t>(entry.dwSecond);
    m_fileInfo.nKeyIndex = key;
    if (m_channel == 0) {
        LoadDrivingData();
    }
    return 1;
}

void CSearchDataEx::LoadDrivingData() {
    const std::int64_t durationMs = m_entry->m_llEndTime[0] - m_entry->m_llStartTime[0];
    const int count = std::max(0, m_reader.GetUserDataCount(durationMs));
    m_driving = std::make_shared<std::vector<_DRIVING_RECORD>>(
        static_cast<std::size_t>(count > kDrivingCapacity ? count + 200 : kDrivingCapacity));
    m_drivingCount = 0;
    for (int i = 0; i < count && m_run; ++i) {
        std::uint32_t length = 0;
        const std::uint8_t* bytes = m_reader.ReadUserData(i, &length);
        _DRIVING_RECORD& record = (*m_driving)[static_cast<std::size_t>(i)];
        record = {};
        record.nType = driving::TypeCode(bytes, length);
        record.nLength = static_cast<std::int32_t>(length);
        if (bytes != nullptr) {
            std::memcpy(record.data, bytes, std::min<std::size_t>(length, sizeof record.data));
        }
        m_drivingCount = i + 1;
    }
}

// The next entry in the play direction whose file opens. An entry whose file is there but cannot
// be read (cut before its index, damaged headers, failing reads) is passed over, so that one bad
// file does not end play, or leave its channel dark for the rest of the list; an entry without a
// file for this channel stops the worker until channel 0 starts it again on a later entry.
// Channel 0 tells the other channels of its move (they start there when stopped) unless
// `announce` is false: while play starts, the engine is still starting them itself.
bool CSearchDataEx::MoveToNextEntry(bool announce) {
    const unsigned offset = m_searchType != 0 ? replay::kSecondListOffset : 0;
    const bool forward = m_direction >= 0;
    while (m_run) {
        const int from = m_listIndex;
        int answer = -1;
        Send(replay::kNextEntry + offset, from + (forward ? 1 : -1), &answer);
        // The list must move on in the play direction; anything else ends it.
        if (answer < 0 || (forward ? answer <= from : answer >= from)) {
            return false;
        }
        auto entry = std::make_shared<CTimeList>();
        if (!FetchEntry(answer, *entry)) {
            return false;
        }
        {
            const std::lock_guard<std::mutex> guard(m_fileLock);
            m_entry = std::move(entry);
        }
        m_listIndex = answer;
        const int result = OpenEntry();
        if (result == 1) {
            if (announce && m_channel == 0 && m_entryHook) {
                m_entryHook(answer, m_direction);
            }
            return true;
        }
        if (result == -2) {
            m_started = false;
            return false;
        }
    }
    return false;
}

bool CSearchDataEx::Usable(const _FRAME_DESC* descriptor, bool forward) const {
    if (!markersRight(descriptor)) {
        return false;
    }
    const auto c = static_cast<std::size_t>(m_channel);
    const std::int64_t time = static_cast<std::int64_t>(descriptor->dwSecond) * 1000 + descriptor->wMillisecond;
    return forward ? time <= m_entry->m_llEndTime[c] : time >= m_entry->m_llStartTime[c];
}

int CSearchDataEx::DecodeFrame(const _FRAME_DESC* descriptor, PictureRecord& record) {
    if (descriptor == nullptr) {
        return -1;
    }
    // The frame's whole size: the descriptor's 19-bit field cuts frames of 512 KiB and more.
    const std::uint32_t whole = m_reader.VideoFrameBytes();
    const std::uint32_t size = whole != 0 ? whole : descriptor->dwSizes & 0x7FFFF;
    const int frameChannel = static_cast<int>(descriptor->dwChannelRes & 0x0F);
    const int resolution = static_cast<int>((descriptor->dwChannelRes >> 8) & 0x0F);
    if (size == 0) {
        return -2;
    }
    if (frameChannel >= 3) {
        return -3;
    }
    const std::uint8_t* payload = m_reader.ReadVideoData(size);
    if (payload == nullptr) {
        return -4;
    }
    if (frameChannel != m_channel) {
        return -3;
    }
    if (m_lastResolution >= 0 && resolution != m_lastResolution && m_decoder) {
        // A new picture size: start the decoder afresh for the same codec.
        const int type = m_decoder->CodecType();
        m_decoder->ReleaseCodec();
        m_decoder->InitCodec(type);
        m_keyframeSeen = false;
    }
    m_lastResolution = resolution;
    const bool key = (descriptor->dwFrameType & 0x3) == 1;
    if (!m_keyframeSeen && !key) {
        return -5;
    }
    m_keyframeSeen = m_keyframeSeen || key;
    // The picture keeps the decoded planes itself, sized by what the stream holds, whatever
    // the file header claims.
    record.image = m_decoder ? m_decoder->DecodePicture(0, payload, static_cast<int>(size)) : nullptr;
    if (!record.image) {
        return 1;
    }
    const picturedec::DecodedPicture& image = *record.image;
    record.picture = image.Plane(0);
    record.frame.nWidth = image.Width();
    record.frame.nHeight = image.Height();
    record.frame.nFormat = image.ReportedFormat();
    for (int i = 0; i < 3; ++i) {
        record.frame.avData0to2[i] = reinterpret_cast<std::intptr_t>(image.Plane(i));
        record.frame.avData8to15[i] = image.Stride(i);
    }
    return 0;
}

void CSearchDataEx::Queue(std::unique_ptr<PictureRecord> record, const _FRAME_DESC& descriptor) {
    Describe(*record, descriptor);
    m_queues.PushPicture(std::move(record));
}

// The frame record and the entry of a decoded picture (under the file lock).
void CSearchDataEx::Describe(PictureRecord& record, const _FRAME_DESC& descriptor) {
    _FRAME_INFO& frame = record.frame;
    frame.nChannel = m_channel;
    frame.llSecond = descriptor.dwSecond;
    frame.nMillisecond = descriptor.wMillisecond;
    frame.llTime = static_cast<std::int64_t>(descriptor.dwSecond) * 1000 + descriptor.wMillisecond;
    frame.nFrameFlag = static_cast<std::int32_t>((descriptor.dwFlags >> 20) & 1);
    frame.nFramePosition = descriptor.nFramePosition;
    frame.fileInfo = m_fileInfo;
    frame.nRecordSize = sizeof(_DRIVING_RECORD);
    if (m_channel == 0 && m_driving) {
        frame.nRecordCount = m_drivingCount;
        frame.records = m_driving->data();
        record.driving = m_driving;
    }
    record.entry = m_entry;
    record.listIndex = m_listIndex;
    record.valid = true;
}

// Handles a frame that cannot be used: the end of the entry's pictures. The next entry is
// opened while the queue still holds the last pictures of this one, so that its first picture
// is ready when the clock gets there; waiting for the queue to drain first held the clock at
// every change of file (some 30 ms each, minutes of lag over hours of play). The sound of this
// file has to be read first (the reader moves to the next file for both); should the sound not
// be taken (its queue stays full), the move waits for the pictures to drain as a fall-back.
bool CSearchDataEx::HandleEndOfEntry() {
    if (m_callback != nullptr && PictureCount() > 1 && !SoundReadToEnd()) {
        return false;
    }
    if (!MoveToNextEntry()) {
        m_run = false;
        return false;
    }
    return true;
}

bool CSearchDataEx::SoundReadToEnd() const {
    return m_channel != kAudioChannel || !m_soundEnabled || m_soundAtEnd;
}

bool CSearchDataEx::VideoStep() {
    if (PictureCount() > kPictureQueueLimit) {
        return false;
    }
    std::unique_lock<std::mutex> file(m_fileLock);
    const _FRAME_DESC* descriptor = m_reader.ReadVideoFrame();
    if (!Usable(descriptor, true)) {
        file.unlock();
        if (!HandleEndOfEntry()) {
            return false;
        }
        file.lock();
        descriptor = m_reader.ReadVideoFrame();
        if (!Usable(descriptor, true)) {
            m_run = false;
            return false;
        }
    }
    const int option = m_speedOption;
    const double speed = m_speed;
    const bool keysOnly = (option == 1 && speed >= 4) || (option == 2 && speed >= 2);
    if (keysOnly && (descriptor->dwFrameType & 0x3) != 1) {
        _KEY_ENTRY key{};
        if (m_reader.GetKeyEntry(m_keyIndex, &key) >= 0) {
            m_reader.Seek(key.llPosition);
        }
        return true;
    }
    const _FRAME_DESC copy = *descriptor;
    auto record = std::make_unique<PictureRecord>();
    if (DecodeFrame(descriptor, *record) != 0) {
        return true;  // dropped; the next frame follows at once
    }
    const int keyIndex = m_reader.FindKeyByPosition(copy.nFramePosition, 0, 0);
    record->frame.nKeyIndex = keyIndex;
    m_keyIndex = keyIndex + 1;
    Queue(std::move(record), copy);
    return true;
}

bool CSearchDataEx::KeyframeStep(bool forward) {
    if (PictureCount() > kPictureQueueLimit) {
        return false;
    }
    std::unique_lock<std::mutex> file(m_fileLock);
    _KEY_ENTRY key{};
    const _FRAME_DESC* descriptor = nullptr;
    if (m_reader.GetKeyEntry(m_keyIndex, &key) >= 0) {
        m_reader.Seek(key.llPosition);
        descriptor = m_reader.ReadVideoFrame();
    }
    if (!Usable(descriptor, forward)) {
        file.unlock();
        if (PictureCount() != 0) {
            return false;  // the next entry once these are shown
        }
        if (!MoveToNextEntry()) {
            m_run = false;
            return false;
        }
        return true;
    }
    const _FRAME_DESC copy = *descriptor;
    auto record = std::make_unique<PictureRecord>();
    if (DecodeFrame(descriptor, *record) != 0) {
        m_keyIndex = m_keyIndex + (forward ? 1 : -1);
        return true;
    }
    const int keyIndex = m_reader.FindKeyByPosition(copy.nFramePosition, 0, 0);
    record->frame.nKeyIndex = keyIndex;
    m_keyIndex = keyIndex + (forward ? 1 : -1);
    Queue(std::move(record), copy);
    return true;
}

bool CSearchDataEx::SoundStep() {
    if (m_channel != kAudioChannel || !m_soundEnabled || m_queues.SoundCount() > kSoundQueueLimit) {
        return false;
    }
    const std::lock_guard<std::mutex> file(m_fileLock);
    const _FRAME_DESC* descriptor = m_reader.ReadAudioFrame();
    if (descriptor == nullptr) {
        m_soundAtEnd = true;
        return false;
    }
    // The block's whole size: the descriptor's 13-bit field cuts blocks of 8 KiB and more.
    const std::uint32_t whole = m_reader.AudioBlockBytes();
    const std::uint32_t size = whole != 0 ? whole : descriptor->dwSizes >> 19;
    const std::int64_t time =
        static_cast<std::int64_t>(descriptor->dwSecond) * 1000 + m_audioDelay + descriptor->wMillisecond;
    if (size == 0 || time == 0) {
        return true;
    }
    const std::uint8_t* data = m_reader.ReadAudioData(size);
    if (data == nullptr || (m_audioFormat != 7 && m_audioFormat != 1)) {
        return true;
    }
    std::unique_ptr<SoundBlock> block = m_queues.SpareSound();
    if (m_audioFormat == 7) {
        block->samples.resize(static_cast<std::size_t>(size) * 2);
        unsigned long written = 0;
        m_audioDecoder->DecodeAudio(data, size, block->samples.data(), &written);
        block->format = 1;
        block->bitsPerSample = 16;
    } else {
        block->samples.assign(data, data + size);
        block->format = 1;
        block->bitsPerSample = m_audioBits;
    }
    block->sampleRate = m_audioRate;
    block->second = descriptor->dwSecond;
    block->millisecond = descriptor->wMillisecond;
    block->timeMs = time;
    block->fileNumber = m_entry->m_nCurrentFileNumber[0];
    block->entryStartSecond = m_entry->m_llStartSecond[0];
    m_queues.PushSound(std::move(block));
    return true;
}


bool CSearchDataEx::Realign(const std::shared_ptr<const CTimeList>& entry, int listIndex, int direction,
                            int framePosition) {
    m_listIndex = listIndex;
    m_direction = direction;
    bool reopen = false;
    {
        const std::lock_guard<std::mutex> guard(m_fileLock);
        const auto c = static_cast<std::size_t>(m_channel);
        reopen = entry->m_llStartTime[c] != m_entry->m_llStartTime[c] ||
                 entry->m_llEndTime[c] != m_entry->m_llEndTime[c] ||
                 entry->CurrentPath(m_channel) != m_entry->CurrentPath(m_channel);
        if (reopen) {
            m_entry = entry;
        }
    }
    if (reopen && OpenEntry() != 1) {
        return false;
    }
    const std::lock_guard<std::mutex> guard(m_fileLock);
    const int key = m_reader.FindKeyByPosition(framePosition, direction >= 0 ? 1 : 0, 1);
    _KEY_ENTRY entryKey{};
    if (key < 0 || m_reader.GetKeyEntry(key, &entryKey) < 0) {
        return false;
    }
    m_keyIndex = key;
    if (m_reader.Seek(entryKey.llPosition) == 0) {
        return false;
    }
    // The sound follows the pictures: what was read ahead belongs to the old place, and the
    // reading goes on from the key frame the pictures go on from.
    if (m_channel == kAudioChannel) {
        m_reader.SyncAudio(static_cast<int>(entryKey.llPosition));
        m_soundAtEnd = false;
    }
    m_queues.ClearSounds();
    return true;
}

int CSearchDataEx::KeyCount() {
    const std::lock_guard<std::mutex> guard(m_fileLock);
    return m_reader.GetKeyCount();
}

std::unique_ptr<PictureRecord> CSearchDataEx::DecodeKeyFrame(int keyIndex, std::int64_t second) {
    const std::lock_guard<std::mutex> guard(m_fileLock);
    const int index = keyIndex >= 0 ? keyIndex : m_reader.FindKeyBySecond(second, 0);
    _KEY_ENTRY key{};
    if (index < 0 || m_reader.GetKeyEntry(index, &key) < 0) {
        return nullptr;
    }
    m_reader.Seek(key.llPosition);
    if (m_channel == kAudioChannel) {
        m_reader.SyncAudio(static_cast<int>(key.llPosition));
        m_soundAtEnd = false;
    }
    const _FRAME_DESC* descriptor = m_reader.ReadVideoFrame();
    if (!markersRight(descriptor)) {
        return nullptr;
    }
    const _FRAME_DESC copy = *descriptor;
    auto record = std::make_unique<PictureRecord>();
    m_keyframeSeen = false;  // a key frame starts the picture afresh
    if (DecodeFrame(descriptor, *record) != 0) {
        return nullptr;
    }
    Describe(*record, copy);
    record->frame.nKeyIndex = index;
    m_keyIndex = index;
    return record;
}

void CSearchDataEx::CloseFile() {
    const std::lock_guard<std::mutex> guard(m_fileLock);
    m_reader.CloseFile();
}
