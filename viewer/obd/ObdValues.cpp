#include "viewer/obd/ObdValues.h"

#include <cstring>
#include <type_traits>

namespace viewer::obd {

namespace {

template <typename T> T ReadAt(const driving::DrivingDataRecord& record, std::size_t offset) {
    static_assert(std::is_trivially_copyable_v<T>);
    T value{};
    if (offset + sizeof value <= record.bytes.size()) {
        std::memcpy(&value, record.bytes.data() + offset, sizeof value);
    }
    return value;
}

} // namespace

Gear GearFromLetter(char letter) {
    switch (letter) {
    case 'D':
    case 'd':
        return Gear::Drive;
    case 'N':
    case 'n':
        return Gear::Neutral;
    case 'P':
    case 'p':
        return Gear::Park;
    case 'R':
    case 'r':
        return Gear::Reverse;
    case 'S':
    case 's':
        return Gear::Sport;
    default:
        return Gear::None;
    }
}

Economy EconomyFromByte(std::uint8_t value) {
    switch (value) {
    case 1:
        return Economy::White;
    case 2:
        return Economy::Red;
    default:
        return Economy::Green;
    }
}

std::optional<ObdValues> ReadObdValues(const driving::DrivingDataRecord& record) {
    if (ReadAt<std::uint8_t>(record, kValidityOffset) <= kValidityThreshold) {
        return std::nullopt;
    }
    ObdValues values;
    values.voltageTenths = ReadAt<std::uint16_t>(record, kVoltageOffset);
    values.speed = ReadAt<std::uint8_t>(record, kSpeedOffset);
    values.engineSpeed = ReadAt<std::uint16_t>(record, kEngineSpeedOffset);
    values.distance = ReadAt<std::uint32_t>(record, kDistanceOffset);
    values.accelerator = ReadAt<std::uint8_t>(record, kAcceleratorOffset);
    values.brake = ReadAt<std::uint8_t>(record, kBrakeOffset) != 0;
    const auto signals = ReadAt<std::uint8_t>(record, kTurnSignalOffset);
    values.rightSignal = (signals & 1U) != 0;
    values.leftSignal = (signals & 2U) != 0;
    values.gear = GearFromLetter(ReadAt<char>(record, kGearOffset));
    values.economy = EconomyFromByte(ReadAt<std::uint8_t>(record, kEconomyOffset));
    return values;
}

} // namespace viewer::obd
