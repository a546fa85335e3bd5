#include "tools/mkcard/CameraScene.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace mkcard {
namespace {

constexpr double kCameraHeight = 1.3;   // metres above the road
constexpr double kGroundTexels = 64;    // grain texels per metre of road and car
constexpr double kWallTexels = 48;      // grain texels per metre of house front
constexpr double kSpeed = 13.9;         // metres per second: 50 km/h through town
constexpr double kOncomingSpeed = 27.8; // the oncoming traffic's speed relative to ours
constexpr double kHouseLength = 14;     // metres of street per house
constexpr double kLeftHouses = 11;      // distance of the house fronts left of our lane's centre
constexpr double kRightHouses = 7;      // and right of it
constexpr double kCarWidth = 1.8;
constexpr double kCarHeight = 1.45;

// Surfaces under the chroma samples, for the colour pass.
enum Surface : std::uint8_t { kSky, kAsphalt, kVerge, kPaint, kWall };

// Road markings, in metres across the street from our lane's centre (positive: right).
constexpr double kRightEdgeLine = 1.85;
constexpr double kCentreLine = -1.75;
constexpr double kLeftEdgeLine = -5.35;
constexpr double kRoadLeft = -5.5;
constexpr double kRoadRight = 2.0;
constexpr double kLineHalfWidth = 0.075;

std::uint8_t toLuma(int value) {
    return static_cast<std::uint8_t>(std::clamp(value, 16, 235));
}

std::uint8_t toChroma(int value) {
    return static_cast<std::uint8_t>(std::clamp(value, 16, 240));
}

// The grain level at which one texel covers about as much as one pixel does.
int levelFor(double texelsPerPixel) {
    if (texelsPerPixel <= 1) {
        return 0;
    }
    return std::min(GrainTexture::kLevels - 1, static_cast<int>(std::log2(texelsPerPixel)));
}

double positiveRemainder(double value, double period) {
    const double remainder = std::fmod(value, period);
    return remainder < 0 ? remainder + period : remainder;
}

struct Car {
    double distance; // metres along the street, positive ahead of our car
    double lateral;  // metres across it, from our lane's centre
    std::uint64_t look;
    bool sameWay; // drives our way: its tail lights face us from ahead, its head lights from behind
};

} // namespace

CameraScene::CameraScene(std::uint32_t seed, int channel, int framesPerSecond)
    : m_grain(seed), m_seed(scrambleBits(seed)), m_channel(channel),
      m_framesPerSecond(std::max(1, framesPerSecond)), m_direction(channel == 0 ? 1.0 : -1.0) {}

CameraScene::View CameraScene::viewOf(const Planes& planes, std::int64_t frame) const {
    View view{};
    view.width = planes.width;
    view.height = planes.height;
    view.centre = planes.width / 2.0;
    view.horizon = planes.height * (m_channel == 0 ? 0.45 : 0.40);
    view.focal = planes.width * 0.55; // a wide lens: about 85 degrees across
    view.seconds = static_cast<double>(frame) / m_framesPerSecond;
    view.travel = kSpeed * view.seconds;
    view.frame = frame;
    return view;
}

void CameraScene::draw(const Planes& planes, std::int64_t frame, const std::string& label) {
    const View view = viewOf(planes, frame);
    prepareColumns(view);
    drawBackground(planes, view);
    drawBackgroundChroma(planes);
    drawCars(planes, view);
    addSensorNoise(planes, frame);
    drawLabel(planes, label);
}

void CameraScene::prepareColumns(const View& view) {
    m_columns.resize(static_cast<std::size_t>(view.width));
    for (int x = 0; x < view.width; ++x) {
        Column& column = m_columns[static_cast<std::size_t>(x)];
        const double offset = std::fabs(x + 0.5 - view.centre);
        // Which side of the street this column looks at: the rear cameras see it mirrored.
        const bool leftOfStreet = (x + 0.5 < view.centre) == (m_direction > 0);
        const double houses = leftOfStreet ? kLeftHouses : kRightHouses;
        const double distance = view.focal * houses / offset;
        const double along = view.travel + m_direction * distance;
        const auto house = static_cast<std::int64_t>(std::floor(along / kHouseLength));
        const std::uint64_t look =
            scrambleBits(m_seed ^ static_cast<std::uint64_t>(house * 2 + (leftOfStreet ? 0 : 1)));
        column.rowToHeight = houses / offset;
        column.along = static_cast<std::int64_t>(along * kWallTexels);
        column.level =
            levelFor(std::sqrt(column.rowToHeight * kWallTexels * distance / offset * kWallTexels));
        if (look % 7 == 0) {
            column.wallTop = column.wallBottom = 0; // a gap between houses: sky and verge behind it
            column.shade = 0;
            continue;
        }
        const double houseHeight = 4.0 + static_cast<double>((look >> 8) % 18);
        const double intoHouse = along - static_cast<double>(house) * kHouseLength;
        column.shade = intoHouse < 0.35 ? 30 : 70 + static_cast<int>((look >> 16) % 110);
        column.u = static_cast<std::uint8_t>(128 + static_cast<int>((look >> 24) % 41) - 20);
        column.v = static_cast<std::uint8_t>(128 + static_cast<int>((look >> 32) % 41) - 20);
        const auto row = [&](double height) {
            return std::clamp(
                static_cast<int>(
                    std::ceil(view.horizon + (kCameraHeight - height) / column.rowToHeight - 0.5)),
                0, view.height);
        };
        column.wallTop = row(houseHeight);
        column.wallBottom = row(0);
    }
    m_surface.resize(static_cast<std::size_t>(view.width / 2) *
                     static_cast<std::size_t>(view.height / 2));
}

void CameraScene::drawBackground(const Planes& planes, const View& view) {
    const std::size_t chromaWidth = static_cast<std::size_t>(view.width / 2);
    for (int y = 0; y < view.height; ++y) {
        if (y + 0.5 > view.horizon) {
            drawGroundRow(planes, view, y);
        } else {
            // Sky, lighter towards the top, with cloud drifting slowly across.
            std::uint8_t* row = planes.y + static_cast<std::ptrdiff_t>(y) * planes.yStride;
            const int base = 212 - static_cast<int>(40.0 * y / view.horizon);
            for (int x = 0; x < view.width; ++x) {
                row[x] = toLuma(base + m_grain.at(4, x * 3 + view.frame * 2, y * 3 + 4096));
            }
            if (y % 2 == 0 && y / 2 < view.height / 2) {
                std::fill_n(m_surface.begin() + static_cast<std::ptrdiff_t>(y / 2 * chromaWidth),
                            chromaWidth, kSky);
            }
        }
        // The house fronts, over sky and road.
        std::uint8_t* row = planes.y + static_cast<std::ptrdiff_t>(y) * planes.yStride;
        const double dy = y + 0.5 - view.horizon;
        for (int x = 0; x < view.width; ++x) {
            const Column& column = m_columns[static_cast<std::size_t>(x)];
            if (y < column.wallTop || y >= column.wallBottom) {
                continue;
            }
            const double height = kCameraHeight - dy * column.rowToHeight;
            const auto up = static_cast<std::int64_t>(height * kWallTexels);
            // Windows on each floor, shop windows at street level.
            const bool window = height > 2.6
                                    ? (up & 127) >= 30 && (up & 127) < 90 &&
                                          (column.along & 63) >= 12 && (column.along & 63) < 48
                                    : height > 0.3 && height < 2.3 && (column.along & 255) >= 20 &&
                                          (column.along & 255) < 200;
            int value = column.shade + m_grain.at(column.level, column.along, up) * 2 / 3;
            if (window && column.shade > 30) {
                value = 45 + static_cast<int>(((column.along >> 6) * 7 + (up >> 7) * 13) % 5) * 28 +
                        m_grain.at(column.level, column.along, up) / 3;
            }
            row[x] = toLuma(value);
            if ((x | y) % 2 == 0 && y / 2 < view.height / 2 && x / 2 < view.width / 2) {
                m_surface[static_cast<std::size_t>(y / 2) * chromaWidth +
                          static_cast<std::size_t>(x / 2)] = kWall;
            }
        }
    }
}

void CameraScene::drawGroundRow(const Planes& planes, const View& view, int y) {
    std::uint8_t* row = planes.y + static_cast<std::ptrdiff_t>(y) * planes.yStride;
    const double dy = y + 0.5 - view.horizon;
    const double distance = view.focal * kCameraHeight / dy;
    const double along = view.travel + m_direction * distance;
    const double metresPerPixel = kCameraHeight / dy;
    const int level =
        levelFor(std::sqrt(metresPerPixel * kGroundTexels * distance / dy * kGroundTexels));
    const auto v = static_cast<std::int64_t>(along * kGroundTexels);
    const bool dash = positiveRemainder(along, 12) < 4; // 4 m dashes, 8 m gaps
    // Across the street, in metres from our lane's centre: the rear cameras see it mirrored.
    const double step = metresPerPixel * m_direction;
    const double first = (0.5 - view.centre) * step;
    const bool chromaRow = y % 2 == 0 && y / 2 < view.height / 2;
    const std::size_t chromaWidth = static_cast<std::size_t>(view.width / 2);
    for (int x = 0; x < view.width; ++x) {
        const double across = first + x * step;
        const int grain = m_grain.at(level, static_cast<std::int64_t>(across * kGroundTexels), v);
        int value = 0;
        Surface surface = kAsphalt;
        if (across < kRoadLeft || across > kRoadRight) {
            value = 100 + grain * 3 / 2;
            surface = kVerge;
        } else if (std::fabs(across - kRightEdgeLine) < kLineHalfWidth ||
                   std::fabs(across - kLeftEdgeLine) < kLineHalfWidth ||
                   (dash && std::fabs(across - kCentreLine) < kLineHalfWidth)) {
            value = 190 + grain / 3;
            surface = kPaint;
        } else {
            value = 82 + grain;
        }
        row[x] = toLuma(value);
        if (chromaRow && x % 2 == 0 && x / 2 < view.width / 2) {
            m_surface[static_cast<std::size_t>(y / 2) * chromaWidth +
                      static_cast<std::size_t>(x / 2)] = surface;
        }
    }
}

void CameraScene::drawBackgroundChroma(const Planes& planes) {
    const int width = planes.width / 2;
    for (int y = 0; y < planes.height / 2; ++y) {
        std::uint8_t* u = planes.u + static_cast<std::ptrdiff_t>(y) * planes.uvStride;
        std::uint8_t* v = planes.v + static_cast<std::ptrdiff_t>(y) * planes.uvStride;
        const std::uint8_t* surface =
            m_surface.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        for (int x = 0; x < width; ++x) {
            switch (surface[x]) {
            case kSky:
                u[x] = 142;
                v[x] = 118;
                break;
            case kVerge:
                u[x] = 110;
                v[x] = 114;
                break;
            case kWall: {
                const Column& column = m_columns[static_cast<std::size_t>(2 * x)];
                u[x] = column.u;
                v[x] = column.v;
                break;
            }
            default:
                u[x] = 126;
                v[x] = 129;
                break;
            }
        }
    }
}

void CameraScene::drawCars(const Planes& planes, const View& view) const {
    std::vector<Car> cars;
    // The car we follow and the one following us, keeping roughly their distance.
    cars.push_back({14 + 5 * std::sin(view.seconds * 0.33), 0.1, scrambleBits(m_seed + 1), true});
    cars.push_back({-11 - 3 * std::sin(view.seconds * 0.45), -0.1, scrambleBits(m_seed + 2), true});
    // Oncoming traffic, passing every few seconds.
    for (int i = 0; i < 5; ++i) {
        const std::uint64_t look = scrambleBits(m_seed + 16 + static_cast<std::uint64_t>(i));
        const double start = i * 32.0 + static_cast<double>(look % 12);
        cars.push_back({positiveRemainder(start - kOncomingSpeed * view.seconds, 160) - 80, -3.5,
                        look, false});
    }
    // Cars parked along the right-hand kerb, standing still as we pass.
    constexpr double kBay = 25;
    for (auto bay = static_cast<std::int64_t>(std::floor((view.travel - 80) / kBay));
         bay * kBay < view.travel + 80; ++bay) {
        const std::uint64_t look =
            scrambleBits(m_seed ^ (static_cast<std::uint64_t>(bay) * 0x51ED27ULL));
        if (look % 3 == 0) {
            cars.push_back(
                {static_cast<double>(bay) * kBay + static_cast<double>(look % 10) - view.travel,
                 3.1, look, true});
        }
    }
    // The cameras see along their own direction; farther cars first, so that nearer ones cover
    // them.
    for (Car& car : cars) {
        car.distance *= m_direction;
    }
    std::sort(cars.begin(), cars.end(),
              [](const Car& a, const Car& b) { return a.distance > b.distance; });
    for (const Car& car : cars) {
        if (car.distance > 2.0) {
            // Whether a car's lights facing us are red: those driving our way show their tail
            // lights to the front camera and their head lights to the rear ones.
            const bool red = car.sameWay == (m_direction > 0);
            drawCar(planes, view, car.distance, car.lateral * m_direction,
                    car.look | (red ? 1U : 0U));
        }
    }
}

void CameraScene::drawCar(const Planes& planes, const View& view, double distance, double lateral,
                          std::uint64_t look) const {
    const double scale = view.focal / distance; // pixels per metre at the car
    const double left = view.centre + (lateral - kCarWidth / 2) * scale;
    const double right = view.centre + (lateral + kCarWidth / 2) * scale;
    const double top = view.horizon + (kCameraHeight - kCarHeight) * scale;
    const double bottom = view.horizon + kCameraHeight * scale;
    const int x0 = std::max(0, static_cast<int>(std::lround(left)));
    const int x1 = std::min(view.width, static_cast<int>(std::lround(right)));
    const int y0 = std::max(0, static_cast<int>(std::lround(top)));
    const int y1 = std::min(view.height, static_cast<int>(std::lround(bottom)));
    const int shade = 40 + static_cast<int>((look >> 8) % 170);
    const auto bodyU = toChroma(128 + static_cast<int>((look >> 20) % 61) - 30);
    const auto bodyV = toChroma(128 + static_cast<int>((look >> 28) % 61) - 30);
    const bool red = (look & 1U) != 0;
    const int level = levelFor(kGroundTexels / scale);
    const auto texels = static_cast<std::int64_t>(look >> 40);
    for (int y = y0; y < y1; ++y) {
        std::uint8_t* row = planes.y + static_cast<std::ptrdiff_t>(y) * planes.yStride;
        const double fy = (y + 0.5 - top) / (bottom - top);
        const auto v = static_cast<std::int64_t>((y - top) / scale * kGroundTexels) + texels;
        for (int x = x0; x < x1; ++x) {
            const double fx = (x + 0.5 - left) / (right - left);
            const int grain =
                m_grain.at(level, static_cast<std::int64_t>((x - left) / scale * kGroundTexels), v);
            int value = shade + grain / 2;
            std::uint8_t u = bodyU;
            std::uint8_t vColour = bodyV;
            if (fy < 0.06) {
                value = shade * 7 / 10 + grain / 2;
            } else if (fy < 0.42 && fx > 0.08 && fx < 0.92) {
                value = 38 + grain / 2; // glass
                u = vColour = 128;
            } else if (fy > 0.5 && fy < 0.62 && (fx < 0.16 || fx > 0.84)) {
                value = 215; // lights
                u = red ? 100 : 124;
                vColour = red ? 200 : 134;
            } else if (fy > 0.66 && fy < 0.76 && fx > 0.38 && fx < 0.62) {
                value = 200 + grain / 4; // number plate
                u = vColour = 128;
            } else if (fy >= 0.88) {
                value = 26 + grain / 3; // bumper and tyres
                u = vColour = 128;
            }
            row[x] = toLuma(value);
            if ((x | y) % 2 == 0 && x / 2 < view.width / 2 && y / 2 < view.height / 2) {
                planes.u[static_cast<std::ptrdiff_t>(y / 2) * planes.uvStride + x / 2] = u;
                planes.v[static_cast<std::ptrdiff_t>(y / 2) * planes.uvStride + x / 2] = vColour;
            }
        }
    }
}

void CameraScene::addSensorNoise(const Planes& planes, std::int64_t frame) const {
    // Each row's noise from its own stream of bits, so that a frame's noise depends on nothing
    // but the seed, the channel, the frame and the row. Luma moves by -3..3 (most often by
    // little), colour by -1..1.
    const std::uint64_t frameSeed = scrambleBits(
        m_seed ^ (static_cast<std::uint64_t>(m_channel) << 56) ^ static_cast<std::uint64_t>(frame));
    const auto noisy = [&](std::uint8_t* row, int width, std::uint64_t rowSeed, bool colour,
                           int low, int high) {
        std::uint64_t bits = 0;
        for (int x = 0; x < width; ++x) {
            if (x % 16 == 0) {
                bits = scrambleBits(rowSeed + static_cast<std::uint64_t>(x));
            }
            const int noise =
                colour ? static_cast<int>(bits & 1) - static_cast<int>((bits >> 1) & 1)
                       : static_cast<int>(bits & 3) + static_cast<int>((bits >> 2) & 3) - 3;
            bits >>= 4;
            row[x] = static_cast<std::uint8_t>(std::clamp(row[x] + noise, low, high));
        }
    };
    for (int y = 0; y < planes.height; ++y) {
        noisy(planes.y + static_cast<std::ptrdiff_t>(y) * planes.yStride, planes.width,
              scrambleBits(frameSeed + static_cast<std::uint64_t>(y)), false, 16, 235);
    }
    for (int y = 0; y < planes.height / 2; ++y) {
        const std::uint64_t rowSeed =
            scrambleBits(frameSeed ^ (0xC0105ULL << 32) ^ static_cast<std::uint64_t>(y));
        noisy(planes.u + static_cast<std::ptrdiff_t>(y) * planes.uvStride, planes.width / 2,
              rowSeed, true, 16, 240);
        noisy(planes.v + static_cast<std::ptrdiff_t>(y) * planes.uvStride, planes.width / 2,
              ~rowSeed, true, 16, 240);
    }
}

} // namespace mkcard
