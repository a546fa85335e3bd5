#pragma once
// The viewer's command numbers: the window controls, the toolbar, and the internal command bus
// the child windows use (message kUserMessage with the command and an argument).

#include <cstdint>

namespace viewer {

constexpr unsigned kUserMessage = 0x0400;  // WM_USER

enum Command : std::uintptr_t {
    kExit = 1000,
    kMaximise = 1001,
    kRestore = 1002,
    kMinimise = 1003,
    kAbout = 1024,
    kHoldImage = 1056,
    kReleaseImage = 1057,
    kGotoTime = 1058,
    kGotoTimeBegin = 1059,
    kSetVolume = 1072,
    kGetVolume = 1073,
    kEngineStateAndPause = 1080,
    kPlayArgument = 1081,
    kStopAndReset = 1082,
    kReopenPath = 1083,
    kPreviousFile = 8448,
    kStepBackwardKey = 8449,
    kPlay = 8450,
    kPause = 8451,
    kStepForwardKey = 8452,
    kNextFile = 8453,
    kStepForward = 8454,
    kApplySpeed = 8455,
    kDeleteCurrent = 8456,
    kSpeedDown = 8457,
    kSpeedUp = 8458,
    kZoomOut = 8459,
    kZoomIn = 8460,
    kFullScreen = 8461,
    kRestoreFromFull = 8462,
    kRotateMain = 8463,
    kFlip = 8488,
    kMirror = 8492,
    kBackup = 8512,
    kDeleteChecked = 8513,
    kListAll = 8517,
    kListActivate = 8528,
    kObdLog = 8536,
    kOpenFolder = 8544,
    kOpenCard = 8545,
    kSetup = 8546,
    kPrint = 8547,
    kSnapshot = 8548,
    kInfo = 8549,
    kLanguage = 8550,
    kSetBrightness = 8562,
    kSetContrast = 8563,
    kExportTrack = 8580,
    kExportVideo = 8581,
};

// Load states of the main window.
enum LoadState { kNothingLoaded = 0, kLoaded = 1, kPlaying = 2 };

} // namespace viewer
