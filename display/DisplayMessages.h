#pragma once
// The display window's notifications to its owner: message kDisplayNotify with one of the codes
// below, and the mouse moves it passes on to its parent.

#include <cstdint>

namespace tachy::display {

constexpr unsigned kDisplayNotify = 1123;  // WM_USER + 99
constexpr unsigned kMouseMove = 0x0200;    // forwarded to the parent: key flags, client point

constexpr std::uintptr_t kLeftDoubleClick = 1235;   // posted; argument: display ID
constexpr std::uintptr_t kRightButtonDown = 1236;   // posted; display ID
constexpr std::uintptr_t kLeftButtonDown = 1240;    // sent; display ID
constexpr std::uintptr_t kLeftButtonUp = 1242;      // sent; client point (x low 16 bits, y high)
constexpr std::uintptr_t kDrawFailed = 1243;        // posted to the parent; the display object
constexpr std::uintptr_t kRightDoubleClick = 1245;  // posted; display ID

// Key flags of mouse messages.
constexpr std::uintptr_t kKeyLeftButton = 0x0001;
constexpr std::uintptr_t kKeyRightButton = 0x0002;
constexpr std::uintptr_t kKeyShift = 0x0004;
constexpr std::uintptr_t kKeyControl = 0x0008;
constexpr std::uintptr_t kKeyMiddleButton = 0x0010;

constexpr std::intptr_t packPoint(int x, int y) {
    return static_cast<std::intptr_t>((static_cast<std::uint32_t>(y & 0xFFFF) << 16) |
                                      static_cast<std::uint32_t>(x & 0xFFFF));
}

} // namespace tachy::display
