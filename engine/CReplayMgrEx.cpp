#include "engine/CReplayMgrEx.h"

#include <thread>

CReplayMgrEx::CReplayMgrEx() = default;

CReplayMgrEx::~CReplayMgrEx() {
    CReplayMgrEx::Release();
}

int CReplayMgrEx::Initialize(QWidget*, int format) {
    Release();
    for (int channel = 0; channel < kChannels; ++channel) {
        std::unique_ptr<IVideoDecoder> decoder = IVideoDecoder::Create(2, 1);
        if (decoder && decoder->InitCodec() == 0) {
            decoder.reset();  // the channel goes on without a decoder
        }
        if (decoder) {
            decoder->SetTargetFormat(format);
        }
        auto worker = std::make_unique<CSearchDataEx>(channel, std::move(decoder));
        worker->SetCallback(m_callback, m_user);
        worker->SetNameFormat(m_nameFormat);
        worker->SetRecordMode(m_recordMode);
        worker->SetSearchType(m_searchType);
        worker->SetAudioDelay(m_audioDelay);
        worker->SetSpeedOption(m_speedOption);
        if (channel == 0) {
            worker->SetEntryHook([this](int index, int direction) { OnChannelZeroMoved(index, direction); });
        }
        m_workers[static_cast<std::size_t>(channel)] = std::move(worker);
    }
    m_thread = std::make_unique<CPlayThreadEx>(
        std::array<CSearchDataEx*, kChannels>{m_workers[0].get(), m_workers[1].get(), m_workers[2].get()});
    m_thread->SetCallback(m_callback, m_user);
    m_thread->SetSearchType(m_searchType);
    m_thread->SetChannelOffset(1, m_rearDelay);
    m_sizeCode = format == 0 ? 1 : format == 1 ? 2 : format == 2 ? 4 : 2;
    m_thread->SetPictureSizeCode(m_sizeCode);
    return 1;
}

void CReplayMgrEx::Release() {
    EnableEntryHook(false);
    for (auto& worker : m_workers) {
        if (worker) {
            worker->Stop(std::chrono::milliseconds(1000));
        }
    }
    m_thread.reset();  // ends the playback thread before the workers it reads from
    for (auto& worker : m_workers) {
        worker.reset();
    }
    m_state = 0;
}

void CReplayMgrEx::Send(unsigned code, std::intptr_t param, void* data) {
    if (m_callback != nullptr) {
        m_callback(code, param, data, m_user);
    }
}

int CReplayMgrEx::Ask(unsigned code, std::intptr_t param) {
    int answer = -1;
    Send(code, param, &answer);
    return answer;
}

unsigned CReplayMgrEx::Code(unsigned base) const {
    return m_searchType != 0 ? base + replay::kSecondListOffset : base;
}

void CReplayMgrEx::SetCallback(ReplayCallback callback, void* user) {
    IIntrReplayEx::SetCallback(callback, user);
    m_catalogue.SetCallback(callback, user);
    for (auto& worker : m_workers) {
        if (worker) {
            worker->SetCallback(callback, user);
        }
    }
    if (m_thread) {
        m_thread->SetCallback(callback, user);
    }
}

void CReplayMgrEx::SetLogPath(const std::string& path) {
    IIntrReplayEx::SetLogPath(path);
    m_catalogue.SetLogPath(path);
}

void CReplayMgrEx::SetAviFileNameFormat(const _AVI_NAME_FORMAT2& format) {
    IIntrReplayEx::SetAviFileNameFormat(format);
    m_catalogue.SetNameFormat(format);
    m_catalogueReader.SetNameFormat(format);
    for (auto& worker : m_workers) {
        if (worker) {
            worker->SetNameFormat(format);
        }
    }
}

template <typename Action> void CReplayMgrEx::ForDecoders(int channel, Action action) {
    for (int c = 0; c < kChannels; ++c) {
        CSearchDataEx* worker = m_workers[static_cast<std::size_t>(c)].get();
        if ((channel < 0 || channel == c) && worker != nullptr && worker->Decoder() != nullptr) {
            action(*worker->Decoder());
        }
    }
}

void CReplayMgrEx::SetBrightness(int channel, int value) {
    ForDecoders(channel, [value](IVideoDecoder& decoder) { decoder.SetBrightness(value); });
}
void CReplayMgrEx::SetContrast(int channel, int value) {
    ForDecoders(channel, [value](IVideoDecoder& decoder) { decoder.SetContrast(value); });
}
void CReplayMgrEx::SetSaturation(int channel, int value) {
    ForDecoders(channel, [value](IVideoDecoder& decoder) { decoder.SetSaturation(value); });
}
void CReplayMgrEx::SetSharpeness(int channel, int value) {
    ForDecoders(channel, [value](IVideoDecoder& decoder) { decoder.SetSharpeness(value); });
}
void CReplayMgrEx::SetBlur(int channel, int value) {
    ForDecoders(channel, [value](IVideoDecoder& decoder) { decoder.SetBlur(value); });
}
void CReplayMgrEx::SetColorControlMode(int mode) {
    ForDecoders(-1, [mode](IVideoDecoder& decoder) { decoder.SetColorControlMode(mode); });
}

void CReplayMgrEx::SetDbPath(const std::string& path) {
    IIntrReplayEx::SetDbPath(path);
    m_catalogue.SetDbPath(path);
}

int CReplayMgrEx::CheckRecordMode() {
    const int found = m_catalogue.CheckRecordMode();
    SetRecordMode(m_catalogue.GetRecordMode());
    return found;
}

int CReplayMgrEx::GetRecordMode() {
    return m_catalogue.GetRecordMode();
}

void CReplayMgrEx::SetRecordMode(int kind) {
    IIntrReplayEx::SetRecordMode(kind);
    m_catalogue.SetRecordMode(kind);
    for (auto& worker : m_workers) {
        if (worker) {
            worker->SetRecordMode(kind);
        }
    }
}

void CReplayMgrEx::SetSearchType(int type) {
    IIntrReplayEx::SetSearchType(type);
    for (auto& worker : m_workers) {
        if (worker) {
            worker->SetSearchType(type);
        }
    }
    if (m_thread) {
        m_thread->SetSearchType(type);
    }
}

void CReplayMgrEx::SetAudioDelay(int milliseconds) {
    m_audioDelay = milliseconds;
    for (auto& worker : m_workers) {
        if (worker) {
            worker->SetAudioDelay(milliseconds);
        }
    }
}

void CReplayMgrEx::SetRearCameraDelay(int milliseconds) {
    m_rearDelay = milliseconds;
    if (m_thread) {
        m_thread->SetChannelOffset(1, milliseconds);
    }
}

int CReplayMgrEx::GetCurrentIndex(int channel) {
    if (channel < 0 || channel >= kChannels || !m_workers[static_cast<std::size_t>(channel)]) {
        return -1;
    }
    return m_workers[static_cast<std::size_t>(channel)]->ListIndex();
}

int CReplayMgrEx::DeleteSelectedFile(int searchType) {
    for (auto& worker : m_workers) {
        if (worker) {
            worker->CloseFile();
        }
    }
    return m_catalogue.DeleteSelectedFile(searchType);
}

int CReplayMgrEx::TotalStreamFileCount() {
    return m_catalogue.TotalStreamFileCount();
}

int CReplayMgrEx::procOpenList() {
    return m_catalogue.procOpenList();
}

void CReplayMgrEx::SetProgressCallback(ReplayCallback callback, void* user) {
    m_catalogue.SetProgressCallback(callback, user);
}

void CReplayMgrEx::EnableRecovery(int enable) {
    IIntrReplayEx::EnableRecovery(enable);
    m_catalogue.EnableRecovery(enable);
}

int CReplayMgrEx::IsAvailableDrive(const std::string& path, int depth) {
    const int available = m_catalogue.IsAvailableDrive(path, depth);
    SetRecordMode(m_catalogue.GetRecordMode());
    return available;
}

std::uint64_t CReplayMgrEx::GetDuration(const std::string& file) {
    return m_catalogueReader.GetDuration(file);
}
