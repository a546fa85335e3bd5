#include "util/avi/NalUnits.h"

#include <array>
#include <cctype>

namespace util {
namespace avi = tachy::avi;

namespace {

bool namesHevc(avi::FourCC code) {
    static constexpr std::array<const char*, 5> kNames = {"HEVC", "H265", "X265", "HVC1", "HEV1"};
    for (const char* name : kNames) {
        bool same = true;
        for (int i = 0; i < 4 && same; ++i) {
            const auto letter = static_cast<unsigned char>((code >> (8 * i)) & 0xFF);
            same = std::toupper(letter) == static_cast<unsigned char>(name[i]);
        }
        if (same) {
            return true;
        }
    }
    return false;
}

} // namespace

NalUnits::Codec NalUnits::codecOf(avi::FourCC compression, avi::FourCC handler) {
    return namesHevc(compression) || namesHevc(handler) ? Codec::Hevc : Codec::H264;
}

std::size_t NalUnits::nextStartCode(const std::uint8_t* bytes, std::size_t size, std::size_t from) {
    for (std::size_t i = from; i + 2 < size; ++i) {
        if (bytes[i + 2] > 1) {
            i += 2;  // no start code can end at or before i + 2
            continue;
        }
        if (bytes[i] == 0 && bytes[i + 1] == 0 && bytes[i + 2] == 1) {
            return i;
        }
    }
    return size;
}

int NalUnits::typeOf(const std::uint8_t* header, Codec codec) {
    return codec == Codec::Hevc ? (header[0] >> 1) & 0x3F : header[0] & 0x1F;
}

bool NalUnits::isSlice(int type, Codec codec) {
    return codec == Codec::Hevc ? type <= 31 : type >= 1 && type <= 5;
}

bool NalUnits::isKeySlice(int type, Codec codec) {
    return codec == Codec::Hevc ? type >= 16 && type <= 21 : type == 5;
}

bool NalUnits::isParameterSet(int type, Codec codec) {
    return codec == Codec::Hevc ? type >= 32 && type <= 34 : type == 7 || type == 8;
}

bool NalUnits::opensHeader(int type, Codec codec) {
    return codec == Codec::Hevc ? type == 32 : type == 7;
}

int NalUnits::keyFrameDecision(const std::uint8_t* bytes, std::size_t size, Codec codec) {
    for (std::size_t code = nextStartCode(bytes, size, 0); code + 3 < size;
         code = nextStartCode(bytes, size, code + 3)) {
        const int type = typeOf(bytes + code + 3, codec);
        if (isSlice(type, codec)) {
            return isKeySlice(type, codec) ? 1 : 0;
        }
    }
    return -1;
}

bool NalUnits::carriesParameterSets(const std::uint8_t* bytes, std::size_t size, Codec codec) {
    for (std::size_t code = nextStartCode(bytes, size, 0); code + 3 < size;
         code = nextStartCode(bytes, size, code + 3)) {
        const int type = typeOf(bytes + code + 3, codec);
        if (isParameterSet(type, codec)) {
            return true;
        }
        if (isSlice(type, codec)) {
            return false;
        }
    }
    return false;
}

bool NalUnits::beginsWithStartCode(const std::uint8_t* bytes, std::size_t size) {
    if (size >= 4 && bytes[0] == 0 && bytes[1] == 0 && bytes[2] == 0 && bytes[3] == 1) {
        return true;
    }
    return size >= 3 && bytes[0] == 0 && bytes[1] == 0 && bytes[2] == 1;
}

bool NalUnits::findCodecHeader(const std::uint8_t* bytes, std::size_t size, std::size_t lastPosition,
                               Codec codec, std::size_t& begin, std::size_t& end) {
    bool open = false;
    for (std::size_t code = nextStartCode(bytes, size, 0); code + 3 < size && code <= lastPosition;
         code = nextStartCode(bytes, size, code + 3)) {
        const int type = typeOf(bytes + code + 3, codec);
        if (opensHeader(type, codec)) {
            begin = code > 0 && bytes[code - 1] == 0 ? code - 1 : code;
            open = true;
        } else if (open && !isParameterSet(type, codec)) {
            end = code;
            return true;
        }
    }
    return false;
}

} // namespace util
