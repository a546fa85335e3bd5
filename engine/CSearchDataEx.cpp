#include "engine/CSearchDataEx.h"

#include "audio/adpcmdec/CAudDecoder.h"
#include "picturedec/IVideoDecoder.h"
#include "platform/debug/DebugOut.h"

#include <algorithm>
#include <cstring>

namespace {

// Bytes of a picture buffer by resolution code, with room for four bytes per pixel.
std::size_t pictureBytes(int resolutionCode) {
    static constexpr std::size_t kSizes[] = {4177920, 1843200, 829440, 414720, 207360, 768000, 614400};
    const std::size_t base = resolutionCode >= 1 && resolutionCode <= 6 ? kSizes[resolutionCode] : kSizes[0];
    return base * 2;
}

bool markersRight(const _FRAME_DESC* descriptor) {
    return descriptor != nullptr && descriptor->nMarker == kFrameMarker &&
           (descriptor->dwMarkerWord & 0xFFFFFF) == kFrameMarkerWord;
}

} // namespace

CSearchDataEx::CSearchDataEx(int channel, std::unique_ptr<IVideoDecoder> decoder)
    : m_channel(channel), m_decoder(std::move(decoder)), m_audioDecoder(std::make_unique<CAudDecoder>()) {}

CSearchDataEx::~CSearchDataEx() {
    Stop(std::chrono::milliseconds(5000));
    if (m_thread.joinable()) {
        m_thread.join();
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
}

void CSearchDataEx::SetSpeed(double speed) {
    m_speed = speed;
    UpdateSoundEnabled();
}

// Sound only while playing forward at exactly normal speed; otherwise the queue is emptied.
void CSearchDataEx::UpdateSoundEnabled() {
    const bool enabled = m_state == 2 && m_speed == 1.0;
    m_soundEnabled = enabled;
    if (!enabled) {
        const std::lock_guard<std::mutex> guard(m_soundLock);
        m_sounds.clear();
    }
}

void CSearchDataEx::Send(unsigned code, std::intptr_t param, void* data) {
    if (m_callback != nullptr) {
        m_callback(code, param, data, m_user);
    }
}

int CSearchDataEx::Ask(unsigned code, std::intptr_t param) {
    int answer = -1;
    Send(code, param, &answer);
    return answer;
}

void CSearchDataEx::Start(int listIndex, int direction) {
    m_run = false;
    if (m_thread.joinable()) {
        m_thread.join();  // the previous thread ends at its next pass
    }
    // Pictures and sound of the previous run must not be shown in the new one.
    FlushPictures();
    {
        const std::lock_guard<std::mutex> guard(m_soundLock);
        m_sounds.clear();
    }
    m_listIndex = listIndex;
    m_direction = direction;
    m_run = true;
    m_running = true;
    m_thread = std::thread(&CSearchDataEx::Run, this);
}

bool CSearchDataEx::Stop(std::chrono::milliseconds limit) {
    m_run = false;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (m_running && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (m_running) {
        // Every wait inside the thread is short; a thread that has not ended is reported and
        // joined when the worker is next started or destroyed.
        tachy::DebugOut::printf("channel %d worker did not end within %lld ms\n", m_channel,
                                static_cast<long long>(limit.count()));
        return false;
    }
    if (m_thread.joinable()) {
        m_thread.join();
    }
    return true;
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
        CTimeList entry;
        if (FetchEntry(m_listIndex, entry)) {
            const std::lock_guard<std::mutex> guard(m_fileLock);
            m_entry = entry;
        }
        opened = OpenEntry() == 1;
    }
    if (!opened) {
        m_run = false;
        m_started = false;
        m_running = false;
        return;
    }
    m_started = true;
    while (m_run) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        switch (m_state.load()) {
        case 2: {
            for (int i = 0; i < 8; ++i) {
                SoundStep();
            }
            const int steps = std::max(1, static_cast<int>(m_speed * 1.5));
            for (int i = 0; i < steps && m_run; ++i) {
                VideoStep();
            }
            break;
        }
        case 3:
        case 7:
            KeyframeStep(false);
            break;
        case 4:
            SoundStep();
            VideoStep();
            break;
        case 5:
            KeyframeStep(true);
            break;
        default:
            break;
        }
    }
    {
        const std::lock_guard<std::mutex> guard(m_fileLock);
        m_reader.Close();
    }
    m_running = false;
}

int CSearchDataEx::OpenEntry() {
    const std::lock_guard<std::mutex> guard(m_fileLock);
    m_reader.Close();
    const std::string path = m_entry.CurrentPath(m_channel);
    const int offset = m_kind == 6 ? m_channel : 0;
    if (path.empty() || m_reader.Open(path, offset) == 0) {
        return -2;
    }
    const auto c = static_cast<std::size_t>(m_channel);
    if (m_decoder) {
        m_decoder->ResetCodec(path);
    }
    m_reader.ClearKeyIndex();
    if (m_reader.BuildKeyIndexUntil(0, m_channel, m_entry.m_llEndSecond[c]) == 0) {
        m_reader.Close();
        return 0;
    }
    if (m_channel == kAudioChannel) {
        m_reader.OpenAudio(path);
    }
    const int count = m_reader.GetKeyCount();
    int key = -1;
    _KEY_ENTRY entry{};
    if (m_direction >= 0) {
        for (int i = 0; i < count && key < 0; ++i) {
            m_reader.GetKeyEntry(i, &entry);
            key = entry.dwSecond >= m_entry.m_llStartSecond[c] ? i : -1;
        }
    } else {
        for (int i = count - 1; i >= 0 && key < 0; --i) {
            m_reader.GetKeyEntry(i, &entry);
            key = entry.dwSecond <= m_entry.m_llEndSecond[c] ? i : -1;
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
    const std::int64_t durationMs = m_entry.m_llEndTime[c] - m_entry.m_llStartTime[c];
    m_fileInfo = {};
    m_fileInfo.nFrames = m_reader.GetVideoLength(durationMs);
    m_fileInfo.nKeyframesLeft = count - key;
    m_fileInfo.llStartSecond = m_entry.m_llStartSecond[c];
    m_fileInfo.llEndSecond = m_entry.m_llEndSecond[c];
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
    const std::int64_t durationMs = m_entry.m_llEndTime[0] - m_entry.m_llStartTime[0];
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

bool CSearchDataEx::MoveToNextEntry() {
    const unsigned offset = m_searchType != 0 ? replay::kSecondListOffset : 0;
    const int next = m_listIndex + (m_direction >= 0 ? 1 : -1);
    int answer = -1;
    Send(replay::kNextEntry + offset, next, &answer);
    if (answer < 0) {
        return false;
    }
    CTimeList entry;
    if (!FetchEntry(answer, entry)) {
        return false;
    }
    {
        const std::lock_guard<std::mutex> guard(m_fileLock);
        m_entry = entry;
    }
    m_listIndex = answer;
    const int result = OpenEntry();
    if (result == -2) {
        m_started = false;
    }
    if (result != 1) {
        return false;
    }
    if (m_channel == 0 && m_entryHook) {
        m_entryHook(answer, m_direction);
    }
    return true;
}

bool CSearchDataEx::Usable(const _FRAME_DESC* descriptor, bool forward) const {
    if (!markersRight(descriptor)) {
        return false;
    }
    const auto c = static_cast<std::size_t>(m_channel);
    const std::int64_t time = static_cast<std::int64_t>(descriptor->dwSecond) * 1000 + descriptor->wMillisecond;
    return forward ? time <= m_entry.m_llEndTime[c] : time >= m_entry.m_llStartTime[c];
}

unsigned char* CSearchDataEx::NextRingBuffer(int resolutionCode) {
    std::vector<unsigned char>& buffer = m_ring[static_cast<std::size_t>(m_ringPosition)];
    m_ringPosition = (m_ringPosition + 1) % kRingSize;
    const std::size_t needed = pictureBytes(resolutionCode);
    if (buffer.size() < needed) {
        buffer.assign(needed, 0);
    }
    return buffer.data();
}

int CSearchDataEx::DecodeFrame(const _FRAME_DESC* descriptor, PictureRecord& record) {
    if (descriptor == nullptr) {
        return -1;
    }
    const std::uint32_t size = descriptor->dwSizes & 0x7FFFF;
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
    record.picture = NextRingBuffer(resolution);
    int width = 0;
    int height = 0;
    int format = 0;
    _AV_DATA planes{};
    if (!m_decoder || m_decoder->Decode(0, payload, &width, &height, static_cast<int>(size), record.picture,
                                        &planes, &format) == 0) {
        return 1;
    }
    record.frame.nWidth = width;
    record.frame.nHeight = height;
    record.frame.nFormat = format;
    for (int i = 0; i < 8; ++i) {
        record.frame.avData8to15[i] = planes.value[8 + i];
    }
    for (int i = 0; i < 3; ++i) {
        record.frame.avData0to2[i] = planes.value[i];
    }
    return 0;
}

void CSearchDataEx::Queue(std::unique_ptr<PictureRecord> record, const _FRAME_DESC& descriptor) {
    Describe(*record, descriptor);
    const std::lock_guard<std::mutex> guard(m_pictureLock);
    m_pictures.push_back(std::move(record));
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

// Handles a frame that cannot be used: let the queue drain first, then move on.
bool CSearchDataEx::HandleEndOfEntry() {
    if (m_callback != nullptr && PictureCount() > 1) {
        return false;
    }
    if (!MoveToNextEntry()) {
        m_run = false;
        return false;
    }
    return true;
}

void CSearchDataEx::VideoStep() {
    if (PictureCount() > kPictureQueueLimit) {
        return;
    }
    std::unique_lock<std::mutex> file(m_fileLock);
    const _FRAME_DESC* descriptor = m_reader.ReadVideoFrame();
    if (!Usable(descriptor, true)) {
        file.unlock();
        if (!HandleEndOfEntry()) {
            return;
        }
        file.lock();
        descriptor = m_reader.ReadVideoFrame();
        if (!Usable(descriptor, true)) {
            m_run = false;
            return;
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
        return;
    }
    const _FRAME_DESC copy = *descriptor;
    auto record = std::make_unique<PictureRecord>();
    if (DecodeFrame(descriptor, *record) != 0) {
        return;
    }
    const int keyIndex = m_reader.FindKeyByPosition(copy.nFramePosition, 0, 0);
    record->frame.nKeyIndex = keyIndex;
    m_keyIndex = keyIndex + 1;
    Queue(std::move(record), copy);
}

void CSearchDataEx::KeyframeStep(bool forward) {
    if (PictureCount() > kPictureQueueLimit) {
        return;
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
        if (PictureCount() == 0 && !MoveToNextEntry()) {
            m_run = false;
        }
        return;
    }
    const _FRAME_DESC copy = *descriptor;
    auto record = std::make_unique<PictureRecord>();
    if (DecodeFrame(descriptor, *record) != 0) {
        m_keyIndex = m_keyIndex + (forward ? 1 : -1);
        return;
    }
    const int keyIndex = m_reader.FindKeyByPosition(copy.nFramePosition, 0, 0);
    record->frame.nKeyIndex = keyIndex;
    m_keyIndex = keyIndex + (forward ? 1 : -1);
    Queue(std::move(record), copy);
}

void CSearchDataEx::SoundStep() {
    if (m_channel != kAudioChannel || !m_soundEnabled) {
        return;
    }
    {
        const std::lock_guard<std::mutex> guard(m_soundLock);
        if (m_sounds.size() > kSoundQueueLimit) {
            return;
        }
    }
    const std::lock_guard<std::mutex> file(m_fileLock);
    const _FRAME_DESC* descriptor = m_reader.ReadAudioFrame();
    if (descriptor == nullptr) {
        return;
    }
    const std::uint32_t size = descriptor->dwSizes >> 19;
    const std::int64_t time =
        static_cast<std::int64_t>(descriptor->dwSecond) * 1000 + m_audioDelay + descriptor->wMillisecond;
    if (size == 0 || time == 0) {
        return;
    }
    const std::uint8_t* data = m_reader.ReadAudioData(size);
    if (data == nullptr) {
        return;
    }
    auto block = std::make_unique<SoundBlock>();
    if (m_audioFormat == 7) {
        block->samples.resize(static_cast<std::size_t>(size) * 2);
        unsigned long written = 0;
        m_audioDecoder->DecodeAudio(data, size, block->samples.data(), &written);
        block->format = 1;
        block->bitsPerSample = 16;
    } else if (m_audioFormat == 1) {
        block->samples.assign(data, data + size);
        block->format = 1;
        block->bitsPerSample = m_audioBits;
    } else {
        return;
    }
    block->sampleRate = m_audioRate;
    block->second = descriptor->dwSecond;
    block->millisecond = descriptor->wMillisecond;
    block->timeMs = time;
    block->fileNumber = m_entry.m_nCurrentFileNumber[0];
    block->entryStartSecond = m_entry.m_llStartSecond[0];
    const std::lock_guard<std::mutex> guard(m_soundLock);
    m_sounds.push_back(std::move(block));
}

bool CSearchDataEx::PeekPictureTime(std::int64_t& timeMs) {
    const std::lock_guard<std::mutex> guard(m_pictureLock);
    if (m_pictures.empty()) {
        return false;
    }
    timeMs = m_pictures.front()->frame.llTime;
    return true;
}

std::unique_ptr<PictureRecord> CSearchDataEx::TakePicture() {
    const std::lock_guard<std::mutex> guard(m_pictureLock);
    if (m_pictures.empty()) {
        return nullptr;
    }
    auto record = std::move(m_pictures.front());
    m_pictures.pop_front();
    return record;
}

std::size_t CSearchDataEx::PictureCount() {
    const std::lock_guard<std::mutex> guard(m_pictureLock);
    return m_pictures.size();
}

void CSearchDataEx::FlushPictures() {
    const std::lock_guard<std::mutex> guard(m_pictureLock);
    m_pictures.clear();
}

void CSearchDataEx::WithSounds(const std::function<void(std::deque<std::unique_ptr<SoundBlock>>&)>& work) {
    const std::lock_guard<std::mutex> guard(m_soundLock);
    work(m_sounds);
}

bool CSearchDataEx::Realign(const CTimeList& entry, int listIndex, int direction, int framePosition) {
    m_listIndex = listIndex;
    m_direction = direction;
    bool reopen = false;
    {
        const std::lock_guard<std::mutex> guard(m_fileLock);
        const auto c = static_cast<std::size_t>(m_channel);
        reopen = entry.m_llStartTime[c] != m_entry.m_llStartTime[c] || entry.m_llEndTime[c] != m_entry.m_llEndTime[c] ||
                 entry.CurrentPath(m_channel) != m_entry.CurrentPath(m_channel);
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
    return m_reader.Seek(entryKey.llPosition) != 0;
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
