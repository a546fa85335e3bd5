#pragma once
// The second settings page's time-zone list: 39 offsets from "+14:00" (index 0) to "-12:00"
// (index 38). The byte holds the index.

#include <array>
#include <string_view>

namespace tachy::setupfile {

constexpr int kTimeZoneCount = 39;

const std::array<std::string_view, kTimeZoneCount>& TimeZoneList();

} // namespace tachy::setupfile
