#pragma once
// The newest recording of each record mode of a loaded list: the viewer reads each of them once
// after opening a card, because the file a recorder was writing when it lost power is the newest
// of its mode, and the recovery tool should see it before the user plays it.

#include "engine/CTimeList.h"

#include <functional>
#include <string>
#include <vector>

namespace viewer {

// `entry(row, out)` fills row `row` of a list of `rows`; false skips the row. Returns one file
// per mode that has one (the last front-camera file of the newest entry), in mode order.
std::vector<std::string> NewestRecordings(int rows,
                                          const std::function<bool(int, CTimeList&)>& entry);

} // namespace viewer
