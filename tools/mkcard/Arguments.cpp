#include "tools/mkcard/CardGenerator.h"

#include <cstdlib>
#include <sstream>

namespace mkcard {
namespace {

std::vector<std::string> splitList(const std::string& text) {
    std::vector<std::string> items;
    std::stringstream stream(text);
    std::string item;
    while (std::getline(stream, item, ',')) {
        if (!item.empty()) {
            items.push_back(item);
        }
    }
    return items;
}

bool toNumber(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end != text.c_str() && *end == '\0';
}

} // namespace

bool parseArguments(int argc, char** argv, CardOptions& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--av2") {
            options.av2 = true;
            continue;
        }
        if (i + 1 >= argc) {
            error = option + " needs a value";
            return false;
        }
        const std::string value = argv[++i];
        double number = 0;
        const bool numeric = toNumber(value, number);
        if (option == "--rule") {
            options.rule = value;
        } else if (option == "--out") {
            options.out = value;
        } else if (option == "--channels" && numeric && number >= 1 && number <= 3) {
            options.channels = static_cast<int>(number);
        } else if (option == "--seconds" && numeric && number > 0) {
            options.seconds = number;
        } else if (option == "--period" && numeric && number > 0) {
            options.periodSeconds = number;
        } else if (option == "--codec" && (value == "h264" || value == "hevc")) {
            options.codec = value == "h264" ? VideoEncoder::Codec::H264 : VideoEncoder::Codec::Hevc;
        } else if ((option == "--size" || option == "--rear-size") && value.find('x') != std::string::npos) {
            double width = 0;
            double height = 0;
            const std::size_t cross = value.find('x');
            if (!toNumber(value.substr(0, cross), width) || !toNumber(value.substr(cross + 1), height)) {
                error = option + " wants WIDTHxHEIGHT";
                return false;
            }
            const int w = static_cast<int>(width);
            const int h = static_cast<int>(height);
            if (w < 16 || h < 16 || w % 2 != 0 || h % 2 != 0 || w > 4096 || h > 4096) {
                error = option + " wants even sizes from 16x16 to 4096x4096";
                return false;
            }
            (option == "--size" ? options.width : options.rearWidth) = w;
            (option == "--size" ? options.height : options.rearHeight) = h;
        } else if (option == "--content" && (value == "test" || value == "camera")) {
            options.content = value == "camera" ? CardOptions::Content::Camera
                                                : CardOptions::Content::TestPicture;
        } else if (option == "--fps" && numeric && number >= 1 && number <= 60) {
            options.framesPerSecond = static_cast<int>(number);
        } else if (option == "--keyint" && numeric && number >= 1) {
            options.keyInterval = static_cast<int>(number);
        } else if (option == "--audio" && (value == "none" || value == "mulaw" || value == "pcm")) {
            options.audio = value == "none"    ? CardOptions::Audio::None
                            : value == "pcm"   ? CardOptions::Audio::Pcm
                                               : CardOptions::Audio::MuLaw;
        } else if (option == "--audio-rate" && (value == "8000" || value == "16000")) {
            options.audioRate = static_cast<int>(number);
        } else if (option == "--record" && (value == "72" || value == "80" || value == "400" || value == "57")) {
            options.recordKind = static_cast<int>(number);
        } else if (option == "--modes") {
            options.modes = splitList(value);
            for (const std::string& mode : options.modes) {
                if (mode != "normal" && mode != "event" && mode != "parking" && mode != "manual") {
                    error = "unknown record mode " + mode;
                    return false;
                }
            }
            if (options.modes.empty()) {
                error = "--modes needs at least one mode";
                return false;
            }
        } else if (option == "--damage") {
            for (const std::string& item : splitList(value)) {
                if (item != "noidx1" && item != "cut" && item != "preamble" && item != "tiny" &&
                    item != "badname" && item != "system_run") {
                    error = "unknown damage " + item;
                    return false;
                }
                options.damage.insert(item);
            }
        } else if (option == "--seed" && numeric && number >= 0) {
            options.seed = static_cast<std::uint32_t>(number);
        } else if (option == "--first-chunk") {
            options.firstChunk = value;
        } else if (option == "--start" && numeric) {
            options.startUtc = static_cast<std::int64_t>(number);
        } else {
            error = "bad option ";
            error.append(option).append(" ").append(value);
            return false;
        }
    }
    if (options.rule.empty() || options.out.empty()) {
        error = "--rule and --out are required";
        return false;
    }
    return true;
}

} // namespace mkcard
