#include "engine/IIntrReplayEx.h"

#include "engine/CReplayMgrEx.h"

#include <new>

std::unique_ptr<IIntrReplayEx> IIntrReplayEx::Create() {
    // Out of memory answers null: no exception leaves the library.
    try {
        return std::make_unique<CReplayMgrEx>();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

IIntrReplayEx::IIntrReplayEx() = default;
IIntrReplayEx::~IIntrReplayEx() = default;

int IIntrReplayEx::Initialize(QWidget*, int) { return 0; }
void IIntrReplayEx::Release() {}
void IIntrReplayEx::SetCallback(ReplayCallback callback, void* user) {
    m_callback = callback;
    m_user = user;
}
void IIntrReplayEx::SetLogPath(const std::string& path) { m_logPath = path; }
void IIntrReplayEx::SetAviFileNameFormat(const _AVI_NAME_FORMAT2& format) { m_nameFormat = format; }
void IIntrReplayEx::SetAviFileNameFormat(const _AVI_NAME_FORMAT& format) { m_legacyFormat = format; }
void IIntrReplayEx::SetBrightness(int, int) {}
void IIntrReplayEx::SetContrast(int, int) {}
void IIntrReplayEx::SetSaturation(int, int) {}
void IIntrReplayEx::SetSharpeness(int, int) {}
void IIntrReplayEx::SetBlur(int, int) {}
void IIntrReplayEx::SetDbPath(const std::string& path) { m_dbPath = path; }
int IIntrReplayEx::CheckRecordMode() { return 0; }
int IIntrReplayEx::GetRecordMode() { return m_recordMode; }
void IIntrReplayEx::SetRecordMode(int kind) { m_recordMode = kind; }
void IIntrReplayEx::SetSearchType(int type) { m_searchType = type; }
int IIntrReplayEx::GetSearchType() { return m_searchType; }
void IIntrReplayEx::SetPBSpeed(double) {}
int IIntrReplayEx::PlayForward() { return 0; }
int IIntrReplayEx::PlayBackward() { return 0; }
int IIntrReplayEx::Pause() { return 0; }
int IIntrReplayEx::Stop() { return 0; }
int IIntrReplayEx::StepForward(int) { return 0; }
int IIntrReplayEx::StepForwardKeyframe(int) { return 0; }
int IIntrReplayEx::StepBackward(int) { return 0; }
int IIntrReplayEx::StepBackwardKeyframe(int) { return 0; }
void IIntrReplayEx::ClearData() {}
int IIntrReplayEx::PlayList(int, int) { return 0; }
int IIntrReplayEx::GetPlayerState() { return 0; }
void IIntrReplayEx::ShowCurrentImage() {}
void IIntrReplayEx::PopupRequest(int) {}
void IIntrReplayEx::InitPopupScreen() {}
void IIntrReplayEx::ClosePopup() {}
int IIntrReplayEx::HoldCurrentImage() { return 0; }
int IIntrReplayEx::ReleaseCurrentImage() { return 0; }
int IIntrReplayEx::GotoTimeSearch(int) { return 0; }
int IIntrReplayEx::GotoTimeSearchBegin(int) { return 0; }
unsigned char* IIntrReplayEx::GetLastVideoImage(int, int*, int*, int*) { return nullptr; }
int IIntrReplayEx::GetLastVideoImage2(int, int*, int*, int*, _AV_DATA*) { return 0; }
int IIntrReplayEx::GetCurrentIndex(int) { return 0; }
void IIntrReplayEx::SetAudioDelay(int) {}
int IIntrReplayEx::DeleteSelectedFile(int) { return -1; }
void IIntrReplayEx::SetPBSpeedOption(int) {}
int IIntrReplayEx::TotalStreamFileCount() { return 0; }
int IIntrReplayEx::procOpenList() { return 0; }
void IIntrReplayEx::SetProgressCallback(ReplayCallback, void*) {}
void IIntrReplayEx::SetRearCameraDelay(int) {}
void IIntrReplayEx::EnableRecovery(int enable) { m_recovery = enable; }
int IIntrReplayEx::IsAvailableDrive(const std::string&, int) { return 0; }
std::uint64_t IIntrReplayEx::GetDuration(const std::string&) { return 0; }
void IIntrReplayEx::SetColorControlMode(int) {}
