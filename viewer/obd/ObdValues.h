#pragma once
// The vehicle values of one 512-byte driving-data record: the recorder's vehicle record copied
// unchanged behind the engine's 8-byte record header, so every value sits 8 bytes further on
// than in the recorder's own record. Read through bounded copies of the record's bytes.

#include "viewer/driving/DrivingDataRecord.h"

#include <cstdint>
#include <optional>

namespace viewer::obd {

// Byte offsets inside the viewer's 512-byte record.
constexpr std::size_t kValidityOffset = 12;    // uint8: values valid above kValidityThreshold
constexpr std::size_t kVoltageOffset = 34;     // uint16, tenths of a volt
constexpr std::size_t kSpeedOffset = 45;       // uint8, km/h
constexpr std::size_t kEngineSpeedOffset = 46; // uint16, rpm
constexpr std::size_t kDistanceOffset = 48;    // uint32, odometer
constexpr std::size_t kAcceleratorOffset = 52; // uint8, per cent
constexpr std::size_t kBrakeOffset = 53;       // uint8, non-zero = pressed
constexpr std::size_t kTurnSignalOffset = 54;  // uint8: bit 0 right, bit 1 left
constexpr std::size_t kGearOffset = 59;        // char
constexpr std::size_t kEconomyOffset = 60;     // uint8
constexpr std::uint8_t kValidityThreshold = 44;

enum class Gear { None, Drive, Neutral, Park, Reverse, Sport };
enum class Economy { Green, White, Red };

struct ObdValues {
    int speed = 0; // km/h (int: the display test shows 999)
    std::uint32_t distance = 0;
    int engineSpeed = 0; // rpm
    int accelerator = 0; // per cent
    bool brake = false;
    bool leftSignal = false;
    bool rightSignal = false;
    Gear gear = Gear::None;
    Economy economy = Economy::Green;
    int voltageTenths = 0;

    bool operator==(const ObdValues&) const = default;
};

// The record's values, or nothing when its byte 12 is at most 44 (no vehicle values).
std::optional<ObdValues> ReadObdValues(const driving::DrivingDataRecord& record);

// 'D', 'N', 'P', 'R', 'S' in either case; anything else is no gear.
Gear GearFromLetter(char letter);
// 1 white, 2 red, any other value green.
Economy EconomyFromByte(std::uint8_t value);

} // namespace viewer::obd
