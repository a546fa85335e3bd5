#pragma once
// The replay engine's interface: the viewer points it at a card, asks for the file kind and
// the time list, plays list entries on the engine's threads and hears back through one
// callback. IIntrReplayEx::Create gives the engine; every operation of this base is a stub
// (0, or -1 for DeleteSelectedFile) apart from the stored values.

#include "engine/ReplayCallback.h"
#include "picturedec/IVideoDecoder.h"
#include "util/naming/AviNameFormat.h"

#include <cstdint>
#include <memory>
#include <string>

class QWidget;

// The legacy name format: three values, stored and not used.
struct _AVI_NAME_FORMAT {
    std::int32_t value[3];
};

class IIntrReplayEx {
public:
    static std::unique_ptr<IIntrReplayEx> Create();

    IIntrReplayEx();
    virtual ~IIntrReplayEx();
    IIntrReplayEx(const IIntrReplayEx&) = delete;
    IIntrReplayEx& operator=(const IIntrReplayEx&) = delete;

    virtual int Initialize(QWidget* parent, int format);
    virtual void Release();
    virtual void SetCallback(ReplayCallback callback, void* user);
    virtual void SetLogPath(const std::string& path);
    virtual void SetAviFileNameFormat(const _AVI_NAME_FORMAT2& format);
    virtual void SetAviFileNameFormat(const _AVI_NAME_FORMAT& format);
    virtual void SetBrightness(int channel, int value);
    virtual void SetContrast(int channel, int value);
    virtual void SetSaturation(int channel, int value);
    virtual void SetSharpeness(int channel, int value);
    virtual void SetBlur(int channel, int value);
    virtual void SetDbPath(const std::string& path);
    virtual int CheckRecordMode();
    virtual int GetRecordMode();
    virtual void SetRecordMode(int kind);
    virtual void SetSearchType(int type);
    virtual int GetSearchType();
    virtual void SetPBSpeed(double speed);
    virtual int PlayForward();
    virtual int PlayBackward();
    virtual int Pause();
    virtual int Stop();
    virtual int StepForward(int index);
    virtual int StepForwardKeyframe(int index);
    virtual int StepBackward(int index);
    virtual int StepBackwardKeyframe(int index);
    virtual void ClearData();
    virtual int PlayList(int index, int forward);
    virtual int GetPlayerState();
    virtual void ShowCurrentImage();
    virtual void PopupRequest(int channel);
    virtual void InitPopupScreen();
    virtual void ClosePopup();
    virtual int HoldCurrentImage();
    virtual int ReleaseCurrentImage();
    virtual int GotoTimeSearch(int keyIndex);
    virtual int GotoTimeSearchBegin(int keyIndex);
    virtual unsigned char* GetLastVideoImage(int channel, int* width, int* height, int* sizeCode);
    virtual int GetLastVideoImage2(int channel, int* width, int* height, int* sizeCode, _AV_DATA* data);
    virtual int GetCurrentIndex(int channel);
    virtual void SetAudioDelay(int milliseconds);
    virtual int DeleteSelectedFile(int searchType);
    virtual void SetPBSpeedOption(int option);
    virtual int TotalStreamFileCount();
    virtual int procOpenList();
    virtual void SetProgressCallback(ReplayCallback callback, void* user);
    virtual void SetRearCameraDelay(int milliseconds);
    virtual void EnableRecovery(int enable);
    virtual int IsAvailableDrive(const std::string& path, int depth);
    virtual std::uint64_t GetDuration(const std::string& file);
    virtual void SetColorControlMode(int mode);

protected:
    ReplayCallback m_callback = nullptr;
    void* m_user = nullptr;
    int m_recordMode = -1;
    _AVI_NAME_FORMAT m_legacyFormat{};
    _AVI_NAME_FORMAT2 m_nameFormat{};
    std::string m_logPath;
    std::string m_dbPath;
    int m_searchType = 0;
    int m_recovery = 0;
};
