#pragma once
// The stream-file name format: how the recorder names its files (channel, file number, start
// time, length, record mode, channel count), read from a naming-rule file, used to parse a
// file name and to build one. Shared by the catalogue, the viewer, the generator and tests.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#pragma pack(push, 1)
struct _AVI_NAME_ITEM {
    std::int32_t nOrder;   // position in the name, 0 to 12
    std::int32_t bUse;     // 0 leaves the component out
    std::int32_t bBar;     // non-zero puts "_" after it
    std::int32_t nLength;  // width; 0 for a number of any length
    std::int32_t nType;    // component 12 only: 1 characters, else digits
    char16_t tzString[64]; // component 0's prefix, component 11's table of mode codes
    std::int32_t nInfo;    // component 1: the number the first channel carries
};

struct _AVI_NAME_FORMAT2 {
    _AVI_NAME_ITEM items[13];
    std::int32_t nSearchDepth;
};
#pragma pack(pop)

static_assert(sizeof(_AVI_NAME_ITEM) == 152);
static_assert(sizeof(_AVI_NAME_FORMAT2) == 1980);

namespace naming {

enum Component {
    kPrefix = 0, kChannel, kFileNumber, kYear, kMonth, kDay, kHour, kMinute, kSecond,
    kMillisecond, kLength, kRecordMode, kChannelCount, kComponentCount
};

// What a stream file's name says.
struct StreamFileName {
    int channel = 0;          // channel index (number in the name minus the base)
    int fileNumber = 0;
    std::int64_t timeMs = 0;  // UTC start time
    int millisecond = 0;
    std::int64_t lengthMs = 0;
    int recordMode = -1;      // index into the mode table, -1 when none matches
    int channelCount = 0;
};

// Reads a naming-rule file; missing sections and keys take their defaults.
_AVI_NAME_FORMAT2 ReadNameFormat(const std::filesystem::path& ruleFile, int searchDepth);

std::string ItemText(const _AVI_NAME_ITEM& item);
void SetItemText(_AVI_NAME_ITEM& item, std::string_view utf8);

// Parses a file name (without folder); false when it does not follow the format.
bool ParseName(const _AVI_NAME_FORMAT2& format, std::string_view name, StreamFileName& out);

// Reads as many fields as the name holds, in order, into `out` (fields not read stay 0, the
// mode -1); answers how many were read and, through `wanted`, how many the format has.
int ParseNameFields(const _AVI_NAME_FORMAT2& format, std::string_view name, StreamFileName& out,
                    int& wanted);

// Composes a file name from all the figures a name can carry, with the given extension: the
// channel count is written as 'D'/'S' for a character component, else as a number.
std::string ComposeName(const _AVI_NAME_FORMAT2& format, const StreamFileName& fields,
                        const std::string& extension);

// Builds "<folder>/<name>.avi" for the given figures, as the repair of damaged files names
// them (the channel count component is always written "2"). `mode` is a mode index, or one of the
// letters 'N', 'E', 'P', 'M'.
std::string BuildName(const _AVI_NAME_FORMAT2& format, const std::string& folder, int channel,
                      int fileNumber, std::int64_t startSeconds, int millisecond,
                      std::int64_t lengthMs, int mode);

} // namespace naming
