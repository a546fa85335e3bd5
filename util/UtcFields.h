#pragma once
// UTC calendar breakdown of the suite's 64-bit time value.

#include <cstdint>
#include <ctime>

namespace util {

// False when t lies outside what the C library can break down.
bool utcFields(std::int64_t t, std::tm& fields);

} // namespace util
