#pragma once
// The recorder's settings file: 1,313 bytes of five 32-byte ANSI text fields, 1,152 setting
// bytes (one byte per setting at a fixed offset) and a checksum byte.

#include <array>
#include <cstddef>
#include <cstdint>

namespace tachy::setupfile {

constexpr std::size_t kSetupFileSize = 1313;
constexpr std::size_t kTextFieldSize = 32;
constexpr std::size_t kSettingsOffset = 160;
constexpr std::size_t kSettingsSize = 1152;
constexpr std::size_t kChecksumOffset = 1312;
// The checksum covers the model name through the last setting byte.
constexpr std::size_t kChecksumFirst = 64;

// The text fields, by their offset in the file.
enum class SetupTextField : std::size_t {
    TextA = 0,             // written by the recorder; shown read-only
    TextB = 32,            // written by the recorder; shown read-only
    ModelName = 64,        // = "SetupModelName" of option.ini
    MakerName = 96,        // = "SetupCompanyName"
    StructureVersion = 128 // = "SetupStructureVer"
};

// The working copy and the copy as loaded are buffers of the file's exact size.
using SetupBuffer = std::array<std::uint8_t, kSetupFileSize>;

// The file as a record, to pin its layout.
struct _SETUP_FILE {
    char textA[kTextFieldSize];
    char textB[kTextFieldSize];
    char modelName[kTextFieldSize];
    char makerName[kTextFieldSize];
    char structureVersion[kTextFieldSize];
    std::uint8_t settings[kSettingsSize];
    std::uint8_t checksum;
};
static_assert(sizeof(_SETUP_FILE) == kSetupFileSize);
static_assert(offsetof(_SETUP_FILE, modelName) ==
              static_cast<std::size_t>(SetupTextField::ModelName));
static_assert(offsetof(_SETUP_FILE, makerName) ==
              static_cast<std::size_t>(SetupTextField::MakerName));
static_assert(offsetof(_SETUP_FILE, settings) == kSettingsOffset);
static_assert(offsetof(_SETUP_FILE, checksum) == kChecksumOffset);

} // namespace tachy::setupfile
