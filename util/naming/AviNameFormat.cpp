#include "util/naming/AviNameFormat.h"

#include "platform/profile/ProfileFile.h"
#include "platform/text/CaseFold.h"
#include "platform/text/TextCodec.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <limits>

namespace naming {
namespace {

const char* const kSections[kComponentCount] = {
    "AviNameFormat_FileName_Identifier", "AviNameFormat_Channel_Number", "AviNameFormat_Index",
    "AviNameFormat_Year",   "AviNameFormat_Month",  "AviNameFormat_Day",
    "AviNameFormat_Hour",   "AviNameFormat_Minute", "AviNameFormat_Second",
    "AviNameFormat_Millisec", "AviNameFormat_Elapse", "AviNameFormat_RecType",
    "AviNameFormat_Dontcare1"};

// The component standing at `position`, or -1.
int componentAt(const _AVI_NAME_FORMAT2& format, int position) {
    for (int k = 0; k < kComponentCount; ++k) {
        if (format.items[k].nOrder == position) {
            return k;
        }
    }
    return -1;
}

// The seconds whose time in milliseconds, with a millisecond added, fits 64 bits.
constexpr std::int64_t kEarliestSecond = std::numeric_limits<std::int64_t>::min() / 1000 + 1;
constexpr std::int64_t kLatestSecond = std::numeric_limits<std::int64_t>::max() / 1000 - 1;

// Reads up to `width` digits (any number when 0), with an optional sign, as scanf's %d does.
bool readNumber(std::string_view name, std::size_t& at, int width, std::int64_t& value) {
    std::size_t end = at;
    const std::size_t limit = width > 0 ? at + static_cast<std::size_t>(width) : name.size();
    bool negative = false;
    if (end < name.size() && end < limit && (name[end] == '-' || name[end] == '+')) {
        negative = name[end] == '-';
        ++end;
    }
    const std::size_t digitsStart = end;
    value = 0;
    while (end < name.size() && end < limit && name[end] >= '0' && name[end] <= '9' &&
           end - digitsStart < 18) {
        value = value * 10 + (name[end] - '0');
        ++end;
    }
    if (end == digitsStart) {
        return false;
    }
    value = negative ? -value : value;
    at = end;
    return true;
}

int modeIndex(const _AVI_NAME_ITEM& item, std::string_view code) {
    const std::string table = ItemText(item);
    const auto width = static_cast<std::size_t>(item.nLength);
    int found = -1;
    for (std::size_t slice = 0; width > 0 && (slice + 1) * width <= table.size(); ++slice) {
        if (tachy::text::equalsIgnoreCase(std::string_view(table).substr(slice * width, width), code)) {
            found = static_cast<int>(slice);
        }
    }
    return found;
}

// Reads one component from the name into `numbers` / `texts`; false when it is not there.
bool readComponent(const _AVI_NAME_FORMAT2& format, int k, std::string_view name, std::size_t& at,
                   std::int64_t (&numbers)[kComponentCount], std::string (&texts)[kComponentCount]) {
    const _AVI_NAME_ITEM& item = format.items[k];
    const bool characters = k == kRecordMode || (k == kChannelCount && item.nType == 1);
    if (k == kPrefix || characters) {
        const auto width = static_cast<std::size_t>(std::max(item.nLength, 0));
        if (at + width > name.size()) {
            return false;
        }
        texts[k] = std::string(name.substr(at, width));
        at += width;
        return k != kPrefix || texts[k] == ItemText(item).substr(0, width);
    }
    if (!readNumber(name, at, item.nLength, numbers[k])) {
        return false;
    }
    // A year or a millisecond no recorder's clock gives is not read as one: a year past 9999
    // would overflow the time in milliseconds, and a millisecond outside 0..999 would make the
    // name and the name composed again from its time name different moments.
    if (k == kYear) {
        return numbers[k] >= 0 && numbers[k] <= 9999;
    }
    if (k == kMillisecond) {
        return numbers[k] >= 0 && numbers[k] <= 999;
    }
    return true;
}

std::string zeroPadded(std::int64_t value, int width) {
    char text[32];
    std::snprintf(text, sizeof text, "%0*lld", std::clamp(width, 0, 20), static_cast<long long>(value));
    return text;
}

} // namespace

std::string ItemText(const _AVI_NAME_ITEM& item) {
    std::string utf8;
    for (const char16_t unit : item.tzString) {
        if (unit == 0) {
            break;
        }
        tachy::text::appendUtf8(utf8, unit);
    }
    return utf8;
}

void SetItemText(_AVI_NAME_ITEM& item, std::string_view utf8) {
    std::fill(std::begin(item.tzString), std::end(item.tzString), u'\0');
    std::size_t position = 0;
    std::size_t unit = 0;
    // At most 63 characters are kept, so that the text always ends with a NUL.
    while (position < utf8.size() && unit < 63) {
        const char32_t codePoint = tachy::text::nextCodePoint(utf8, position);
        item.tzString[unit++] = codePoint > 0xFFFF ? u'?' : static_cast<char16_t>(codePoint);
    }
}

_AVI_NAME_FORMAT2 ReadNameFormat(const std::filesystem::path& ruleFile, int searchDepth) {
    const tachy::ProfileFile profile = tachy::ProfileFile::load(ruleFile);
    _AVI_NAME_FORMAT2 format{};
    for (int k = 0; k < kComponentCount; ++k) {
        _AVI_NAME_ITEM& item = format.items[k];
        item.nOrder = profile.readInt(kSections[k], "nOrder", k);
        item.bUse = profile.readInt(kSections[k], "bUse", 1);
        item.bBar = profile.readInt(kSections[k], "bBar", 1);
        item.nLength = profile.readInt(kSections[k], "nLength", 1);
        item.nType = profile.readInt(kSections[k], "nType", 1);
        item.nInfo = profile.readInt(kSections[k], "nInfo", 1);
        SetItemText(item, profile.readString(kSections[k], "tzString", "", 64));
    }
    format.nSearchDepth = searchDepth;
    return format;
}

int ParseNameFields(const _AVI_NAME_FORMAT2& format, std::string_view name, StreamFileName& out,
                    int& wanted) {
    std::int64_t numbers[kComponentCount] = {};
    std::string texts[kComponentCount];
    bool used[kComponentCount] = {};
    int fields = 0;
    wanted = 0;
    std::size_t at = 0;
    bool scanning = true;
    for (int position = 0; position < kComponentCount; ++position) {
        const int k = componentAt(format, position);
        if (k < 0 || format.items[k].bUse == 0) {
            continue;
        }
        // The literal prefix must match but is not a field of its own.
        wanted += k == kPrefix ? 0 : 1;
        if (!scanning) {
            continue;
        }
        if (!readComponent(format, k, name, at, numbers, texts)) {
            scanning = false;
            continue;
        }
        used[k] = true;
        fields += k == kPrefix ? 0 : 1;
        if (format.items[k].bBar != 0) {
            if (at >= name.size() || name[at] != '_') {
                scanning = false;
                continue;
            }
            ++at;
        }
    }
    out = StreamFileName{};
    out.channel = used[kChannel] ? static_cast<int>(numbers[kChannel] - format.items[kChannel].nInfo) : 0;
    out.fileNumber = static_cast<int>(numbers[kFileNumber]);
    std::tm start{};
    start.tm_year = static_cast<int>(numbers[kYear]) - 1900;
    start.tm_mon = static_cast<int>(numbers[kMonth]) - 1;
    start.tm_mday = static_cast<int>(numbers[kDay]);
    start.tm_hour = static_cast<int>(numbers[kHour]);
    start.tm_min = static_cast<int>(numbers[kMinute]);
    start.tm_sec = static_cast<int>(numbers[kSecond]);
    out.millisecond = static_cast<int>(numbers[kMillisecond]);
    const std::int64_t seconds = timegm(&start);
    if (seconds >= kEarliestSecond && seconds <= kLatestSecond) {
        out.timeMs = seconds * 1000 + out.millisecond;
    } else {
        // Fields of any size (a month or a day of many digits) make moments no time in
        // milliseconds can hold; the time fields then count as not read.
        out.timeMs = 0;
        for (int k = kYear; k <= kMillisecond; ++k) {
            fields -= used[k] ? 1 : 0;
        }
    }
    out.lengthMs = numbers[kLength];
    out.recordMode = used[kRecordMode] ? modeIndex(format.items[kRecordMode], texts[kRecordMode]) : -1;
    if (!used[kChannelCount]) {
        out.channelCount = 0;
    } else if (format.items[kChannelCount].nType == 1) {
        const char code = texts[kChannelCount].empty() ? '\0' : texts[kChannelCount][0];
        out.channelCount = (code == 'D' || code == 'd') ? 2 : (code == 'S' || code == 's') ? 1 : 0;
    } else {
        out.channelCount = static_cast<int>(numbers[kChannelCount]);
    }
    return fields;
}

bool ParseName(const _AVI_NAME_FORMAT2& format, std::string_view name, StreamFileName& out) {
    int wanted = 0;
    StreamFileName parsed;
    const int fields = ParseNameFields(format, name, parsed, wanted);
    if (fields < wanted) {
        return false;
    }
    out = parsed;
    return true;
}

namespace {

// Shared by ComposeName and BuildName; `countText` is what the channel-count component writes.
std::string compose(const _AVI_NAME_FORMAT2& format, const StreamFileName& fields,
                    const std::string& countText) {
    // Whole seconds rounded down, so that a time before 1970 with milliseconds names its own
    // second and not the one after it.
    const std::int64_t wholeSeconds = fields.timeMs / 1000 - (fields.timeMs % 1000 < 0 ? 1 : 0);
    const auto seconds = static_cast<std::time_t>(wholeSeconds);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    std::string name;
    for (int position = 0; position < kComponentCount; ++position) {
        const int k = componentAt(format, position);
        if (k < 0 || format.items[k].bUse == 0) {
            continue;
        }
        const _AVI_NAME_ITEM& item = format.items[k];
        switch (k) {
        case kPrefix: name += ItemText(item); break;
        case kChannel: name += zeroPadded(item.nInfo + fields.channel, item.nLength); break;
        case kFileNumber: name += zeroPadded(fields.fileNumber, item.nLength); break;
        case kYear: name += zeroPadded(utc.tm_year + 1900, 4); break;
        case kMonth: name += zeroPadded(utc.tm_mon + 1, 2); break;
        case kDay: name += zeroPadded(utc.tm_mday, 2); break;
        case kHour: name += zeroPadded(utc.tm_hour, 2); break;
        case kMinute: name += zeroPadded(utc.tm_min, 2); break;
        case kSecond: name += zeroPadded(utc.tm_sec, 2); break;
        case kMillisecond: name += zeroPadded(fields.millisecond, item.nLength); break;
        case kLength: name += std::to_string(fields.lengthMs); break;
        case kRecordMode: {
            const std::string table = ItemText(item);
            const auto width = static_cast<std::size_t>(std::max(item.nLength, 0));
            const auto start = static_cast<std::size_t>(std::max(fields.recordMode, 0)) * width;
            name += start < table.size() ? table.substr(start, width) : std::string();
            break;
        }
        default: name += countText; break;
        }
        if (item.bBar != 0) {
            name += "_";
        }
    }
    return name;
}

} // namespace

std::string ComposeName(const _AVI_NAME_FORMAT2& format, const StreamFileName& fields,
                        const std::string& extension) {
    const bool characters = format.items[kChannelCount].nType == 1;
    const std::string count = characters ? (fields.channelCount >= 2 ? "D" : "S")
                                         : std::to_string(fields.channelCount);
    return compose(format, fields, count) + extension;
}

std::string BuildName(const _AVI_NAME_FORMAT2& format, const std::string& folder, int channel,
                      int fileNumber, std::int64_t startSeconds, int millisecond,
                      std::int64_t lengthMs, int mode) {
    if (mode >= 'A') {
        mode = mode == 'E' ? 1 : mode == 'P' ? 2 : mode == 'M' ? 3 : 0;
    }
    StreamFileName fields;
    fields.channel = channel;
    fields.fileNumber = fileNumber;
    fields.timeMs = startSeconds * 1000;
    fields.millisecond = millisecond;
    fields.lengthMs = lengthMs;
    fields.recordMode = mode;
    const std::string name = compose(format, fields, "2") + ".avi";
    return folder.empty() ? name : folder + "/" + name;
}

} // namespace naming
