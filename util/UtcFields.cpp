#include "util/UtcFields.h"


namespace util {

bool utcFields(std::int64_t t, std::tm& fields) {
    static_assert(sizeof(std::time_t) == 8, "the time value needs a 64-bit time_t");
    const auto value = static_cast<std::time_t>(t);
    return gmtime_r(&value, &fields) != nullptr;
}

} // namespace util
