#pragma once
// The AVI-file error codes the recording readers use inside.

#include <cstdint>

namespace util {

constexpr std::int32_t kAviOk = 0;
constexpr std::int32_t kAviErrFileOpen = static_cast<std::int32_t>(0x8004406FU);
constexpr std::int32_t kAviErrBadFormat = static_cast<std::int32_t>(0x80044066U);
constexpr std::int32_t kAviErrError = static_cast<std::int32_t>(0x800440C7U);

} // namespace util
