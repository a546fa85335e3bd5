#include "setupfile/TimeZoneList.h"

namespace tachy::setupfile {

const std::array<std::string_view, kTimeZoneCount>& TimeZoneList() {
    static constexpr std::array<std::string_view, kTimeZoneCount> kList = {
        "+14:00", "+13:45", "+13:00", "+12:45", "+12:00", "+11:30", "+11:00", "+10:30",
        "+10:00", "+9:30",  "+9:00",  "+8:00",  "+7:00",  "+6:30",  "+6:00",  "+5:45",
        "+5:30",  "+5:00",  "+4:30",  "+4:00",  "+3:30",  "+3:00",  "+2:00",  "+1:00",
        "0:00",   "-1:00",  "-2:00",  "-3:00",  "-4:00",  "-4:30",  "-5:00",  "-6:00",
        "-7:00",  "-8:00",  "-9:00",  "-9:30",  "-10:00", "-11:00", "-12:00"};
    return kList;
}

} // namespace tachy::setupfile
